#pragma once

#include <QObject>
#include <QString>

// The program's own life: its one instance, its folders, how it is asked to
// end and how it ends.
class ProgramLife : public QObject {
    Q_OBJECT
  public:
    // Claims the one instance of the program this user may run. False when
    // another instance holds it; a claim left by an ended instance is taken.
    virtual bool claimInstance() = 0;
    // From now on SIGTERM, SIGINT and the end of the session come as
    // terminationRequested.
    virtual void watchTermination() = 0;
    // Ends the program at once: no further event of any window runs.
    virtual void endProgram() = 0;
    // The folder of the program's executable, without a trailing separator.
    virtual QString programFolder() = 0;
    // The user's configuration folder for the program, without a trailing
    // separator; it may not exist yet.
    virtual QString configFolder() = 0;

  signals:
    // The program was asked to end from outside (a signal, the end of the
    // session).
    void terminationRequested();
};
