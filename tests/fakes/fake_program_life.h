#pragma once

#include "platform/program_life.h"

// The program's life for tests: scripted folders and instance, an end that
// is counted instead of carried out.
class FakeProgramLife : public ProgramLife {
    Q_OBJECT
  public:
    bool claimInstance() override { return !otherInstance; }
    void watchTermination() override { watching = true; }
    void endProgram() override { ++endCount; }
    QString programFolder() override { return programFolderPath; }
    QString configFolder() override { return configFolderPath; }

    // As SIGTERM would.
    void requestTermination() { emit terminationRequested(); }

    QString programFolderPath;
    QString configFolderPath;
    bool otherInstance = false;
    bool watching = false;
    int endCount = 0;
};
