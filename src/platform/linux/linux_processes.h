#pragma once

#include <QHash>
#include <memory>

#include "platform/processes.h"

// Runs on Linux: each run has a keeper process of its own (run_keeper.h),
// tied to this program by a pipe, so that a run and everything it started
// ends with endRun, at its own end, and when this program ends, even by
// SIGKILL.
class LinuxProcesses : public Processes {
    Q_OBJECT
  public:
    LinuxProcesses();
    ~LinuxProcesses() override;

    Result<ProcessId> startRun(const RunRequest& request) override;
    void endRun(ProcessId id) override;
    std::optional<RunEnd> runEnd(ProcessId id) override;
    Status sendInput(ProcessId id, const QByteArray& bytes) override;
    Status startProgram(const QString& commandLine, WindowMode mode) override;

  private:
    struct Run;

    void readReports(ProcessId id);
    void readOutput(Run& run, ProcessId id);
    void writeInput(Run& run);
    void finish(ProcessId id, RunEnd end);

    QHash<ProcessId, std::shared_ptr<Run>> runs_;
    QHash<ProcessId, RunEnd> ended_;
    ProcessId nextId_ = 1;
};
