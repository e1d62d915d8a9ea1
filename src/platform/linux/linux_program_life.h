#pragma once

#include <memory>

#include "platform/program_life.h"

class QLockFile;

// The program's life on Linux: a per-user lock in the runtime folder, the
// termination signals and the session manager's quit event.
class LinuxProgramLife : public ProgramLife {
    Q_OBJECT
  public:
    LinuxProgramLife();
    ~LinuxProgramLife() override;

    bool claimInstance() override;
    void watchTermination() override;
    void endProgram() override;
    QString programFolder() override;
    QString configFolder() override;

  protected:
    // The session manager ends the program at logout with a quit event.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<QLockFile> instanceLock_;
};
