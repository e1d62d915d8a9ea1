#pragma once

#include <QObject>
#include <optional>

#include "common/result.h"
#include "ghostscript/gs_command.h"
#include "platform/processes.h"

// One Ghostscript run, the same for a conversion, a single-file run and a
// merge: started with its arguments one by one, never through a shell, its
// input empty, in a process group of its own; waited for through the end
// signal, never a loop of its own; ended with every process it started.
class GhostscriptRun : public QObject {
    Q_OBJECT
  public:
    explicit GhostscriptRun(Processes& processes, QObject* parent = nullptr);
    ~GhostscriptRun() override;

    // Starts the run; it fails when Ghostscript cannot be started. finished
    // comes later, never before this returns.
    Status start(const GsCommand& command, const QString& workingFolder = QString());
    // Ends a run in progress; finished follows with its end Ended.
    void end();
    bool isRunning() const { return process_.has_value(); }

  signals:
    void finished(RunEnd end);

  private:
    void onRunEnded(ProcessId id);

    Processes& processes_;
    std::optional<ProcessId> process_;
};
