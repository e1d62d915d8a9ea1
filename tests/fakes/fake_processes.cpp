#include "fakes/fake_processes.h"

#include <cerrno>

#include "platform/linux/system_error.h"

Result<ProcessId> FakeProcesses::startRun(const RunRequest& request) {
    if (failStart) {
        return systemFailure(ENOENT);
    }
    const Started start{request, nextId_++};
    started.append(start);
    running_.insert(start.id);
    if (onStart) {
        onStart(start);
    }
    return start.id;
}

void FakeProcesses::endRun(ProcessId id) {
    if (running_.contains(id)) {
        endedRuns.append(id);
        finishRun(id, {RunEnd::How::Ended, 0});
    }
}

std::optional<RunEnd> FakeProcesses::runEnd(ProcessId id) {
    const auto end = ends_.constFind(id);
    return end == ends_.cend() ? std::nullopt : std::optional<RunEnd>(*end);
}

Status FakeProcesses::sendInput(ProcessId id, const QByteArray& bytes) {
    if (!running_.contains(id)) {
        return systemFailure(EPIPE);
    }
    input.append(bytes);
    return {};
}

Status FakeProcesses::startProgram(const QString& commandLine, WindowMode mode) {
    if (failStart) {
        return systemFailure(ENOENT);
    }
    programs.append({commandLine, mode});
    return {};
}

void FakeProcesses::finishRun(ProcessId id, RunEnd end) {
    if (running_.remove(id)) {
        ends_.insert(id, end);
        emit runEnded(id);
    }
}
