#include "ghostscript/ghostscript_run.h"

GhostscriptRun::GhostscriptRun(Processes& processes, QObject* parent)
    : QObject(parent), processes_(processes) {
    connect(&processes_, &Processes::runEnded, this, &GhostscriptRun::onRunEnded);
}

// A run is never left behind by whoever started it; its end is not
// reported to an owner that is going.
GhostscriptRun::~GhostscriptRun() {
    if (process_) {
        const ProcessId id = *process_;
        process_.reset();
        processes_.endRun(id);
    }
}

Status GhostscriptRun::start(const GsCommand& command, const QString& workingFolder) {
    const Result<ProcessId> started = processes_.startRun(runRequestOf(command, workingFolder));
    if (!started) {
        return started.failure();
    }
    const ProcessId id = started.value();
    process_ = id;
    // A run that ended before its start returned is reported afterwards:
    // finished never comes before start has returned.
    if (processes_.runEnd(id)) {
        QMetaObject::invokeMethod(
            this, [this, id] { onRunEnded(id); }, Qt::QueuedConnection);
    }
    return {};
}

void GhostscriptRun::end() {
    if (process_) {
        processes_.endRun(*process_);
    }
}

void GhostscriptRun::onRunEnded(ProcessId id) {
    if (!process_ || id != *process_) {
        return;
    }
    process_.reset();
    emit finished(processes_.runEnd(id).value_or(RunEnd{RunEnd::How::Ended, 0}));
}
