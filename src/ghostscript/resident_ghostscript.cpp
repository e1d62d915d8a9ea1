#include "ghostscript/resident_ghostscript.h"

#include "common/byte_text.h"

ResidentGhostscript::ResidentGhostscript(Processes& processes, QObject* parent)
    : QObject(parent), processes_(processes) {
    connect(&processes_, &Processes::outputRead, this, &ResidentGhostscript::outputRead);
    connect(&processes_, &Processes::runEnded, this, &ResidentGhostscript::runEnded);
}

ResidentGhostscript::~ResidentGhostscript() {
    jobInHand_.reset();
    end();
}

Status ResidentGhostscript::convert(const GsCommand& command, const QString& input,
                                    const QString& output) {
    if (process_ &&
        (command.program != command_.program || command.arguments != command_.arguments)) {
        end();
    }
    if (!process_) {
        if (const Status started = start(command); !started) {
            return started;
        }
    }
    jobInHand_ = ++lastJob_;
    if (const Status sent = processes_.sendInput(
            *process_, residentJob(*jobInHand_, bytesOfText(input), bytesOfText(output)));
        !sent) {
        jobInHand_.reset();
        return sent;
    }
    return {};
}

Status ResidentGhostscript::start(const GsCommand& command) {
    const Result<ProcessId> started = processes_.startRun(runRequestOf(command, QString(), true));
    if (!started) {
        return started.failure();
    }
    const QByteArray token = residentToken();
    process_ = started.value();
    command_ = command;
    parser_.emplace(token);
    return processes_.sendInput(*process_, residentPrologue(token));
}

void ResidentGhostscript::end() {
    if (process_) {
        processes_.endRun(*process_);
    }
}

void ResidentGhostscript::outputRead(ProcessId id, const QByteArray& bytes) {
    if (!process_ || id != *process_) {
        return;
    }
    for (const ResidentEvent& event : parser_->feed(bytes)) {
        if (event.kind != ResidentEvent::Kind::JobEnded || event.job != jobInHand_) {
            continue;
        }
        // A server the job changed is not given the next file.
        if (!event.serverClean) {
            end();
        }
        jobEnded({RunEnd::How::Exited, event.failed ? 1 : 0});
    }
}

void ResidentGhostscript::runEnded(ProcessId id) {
    if (!process_ || id != *process_) {
        return;
    }
    process_.reset();
    parser_.reset();
    if (jobInHand_) {
        jobEnded(processes_.runEnd(id).value_or(RunEnd{RunEnd::How::Ended, 0}));
    }
}

// Told after the call that caused it has returned.
void ResidentGhostscript::jobEnded(RunEnd end) {
    jobInHand_.reset();
    QMetaObject::invokeMethod(
        this, [this, end] { emit finished(end); }, Qt::QueuedConnection);
}
