#pragma once

#include <QList>
#include <QSet>
#include <functional>

#include "platform/processes.h"

// Runs for tests: nothing is started; every start is recorded, and a test
// ends a run (as Ghostscript ends) or lets onStart do so.
class FakeProcesses : public Processes {
    Q_OBJECT
  public:
    struct Started {
        RunRequest request;
        ProcessId id = 0;
    };
    struct Program {
        QString commandLine;
        WindowMode mode;
    };

    Result<ProcessId> startRun(const RunRequest& request) override;
    void endRun(ProcessId id) override;
    std::optional<RunEnd> runEnd(ProcessId id) override;
    Status sendInput(ProcessId id, const QByteArray& bytes) override;
    Status startProgram(const QString& commandLine, WindowMode mode) override;

    // Ends a run as its program would: with an exit code, or by a signal.
    void finishRun(ProcessId id, RunEnd end = {});
    bool isRunning(ProcessId id) const { return running_.contains(id); }

    QList<Started> started;
    QList<Program> programs;
    QList<ProcessId> endedRuns;
    QByteArray input;  // everything sent to conversation runs
    bool failStart = false;
    // Called for every run started; a test writes Ghostscript's output here
    // and may end the run at once.
    std::function<void(const Started&)> onStart;

  private:
    QSet<ProcessId> running_;
    QHash<ProcessId, RunEnd> ends_;
    ProcessId nextId_ = 100;
};
