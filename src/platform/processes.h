#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "common/result.h"
#include "platform/process_id.h"

// How a started program's window is to be shown. The value travels with every
// start; on X11 it has no effect, a window manager decides.
enum class WindowMode { Normal = 1, Minimised = 2, Maximised = 3 };

// A program run that belongs to this program: started with its arguments as
// they are (never through a shell), in its own process group, it and every
// process it starts end with it, with endRun and when this program ends,
// however it ends.
struct RunRequest {
    QString program;
    QStringList arguments;
    QString workingFolder;  // empty: ours
    // Its standard input is empty, or a pipe fed by sendInput; its standard
    // output goes where ours goes, or comes back through outputRead.
    bool conversation = false;
};

// How a run ended.
struct RunEnd {
    enum class How { Exited, Signalled, Ended };
    How how = How::Exited;
    int code = 0;  // the exit code, or the number of the signal
};

// Starting and ending other programs.
class Processes : public QObject {
    Q_OBJECT
  public:
    // Starts a run; the id is handed out once. It fails when the program
    // cannot be started, and then nothing runs.
    virtual Result<ProcessId> startRun(const RunRequest& request) = 0;
    // Ends a run that has not yet ended, with every process it started; its
    // end is then Ended.
    virtual void endRun(ProcessId id) = 0;
    // How the run ended; nothing while it runs.
    virtual std::optional<RunEnd> runEnd(ProcessId id) = 0;
    // Writes to the standard input of a conversation run.
    virtual Status sendInput(ProcessId id, const QByteArray& bytes) = 0;
    // Starts a command line written in the original quoting (blanks separate,
    // double quotes group) without a shell and without waiting; the program
    // runs on by itself after this one ends.
    virtual Status startProgram(const QString& commandLine, WindowMode mode) = 0;

  signals:
    // Comes once per run, after runEnd has its answer.
    void runEnded(ProcessId id);
    // What a conversation run wrote to its standard output.
    void outputRead(ProcessId id, const QByteArray& bytes);
};
