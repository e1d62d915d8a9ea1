#include "platform/linux/linux_processes.h"

#include <QSocketNotifier>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "common/byte_text.h"
#include "common/command_split.h"
#include "platform/linux/retrying_io.h"
#include "platform/linux/run_keeper.h"
#include "platform/linux/system_error.h"

extern char** environ;

namespace {

// The argument vector of a start, made before the fork.
class ArgumentVector {
  public:
    ArgumentVector(const QByteArray& program, const QStringList& arguments) {
        bytes_.push_back(program);
        for (const QString& argument : arguments) {
            bytes_.push_back(bytesOfText(argument));
        }
        for (QByteArray& bytes : bytes_) {
            pointers_.push_back(bytes.data());
        }
        pointers_.push_back(nullptr);
    }
    char* const* data() { return pointers_.data(); }

  private:
    std::vector<QByteArray> bytes_;
    std::vector<char*> pointers_;
};

bool isRegularFile(const QString& path) {
    struct stat info {};
    return stat(bytesOfText(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// A program named without a folder is looked for on PATH, as a shell would.
Result<QByteArray> programPath(const QString& program) {
    if (program.isEmpty()) {
        return systemFailure(ENOENT);
    }
    if (program.contains(QLatin1Char('/'))) {
        return bytesOfText(program);
    }
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        return systemFailure(ENOENT);
    }
    return bytesOfText(found);
}

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

void setNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

struct LinuxProcesses::Run {
    pid_t keeper = -1;
    int control = -1;  // closing it ends the run
    int reports = -1;
    int input = -1;
    int output = -1;
    bool endRequested = false;
    QByteArray pendingInput;
    std::unique_ptr<QSocketNotifier> reportNotifier;
    std::unique_ptr<QSocketNotifier> outputNotifier;
    std::unique_ptr<QSocketNotifier> inputNotifier;

    ~Run() {
        reportNotifier.reset();
        outputNotifier.reset();
        inputNotifier.reset();
        for (int* fd : {&control, &reports, &input, &output}) {
            closeIfOpen(*fd);
        }
        if (keeper > 0) {
            waitpid(keeper, nullptr, 0);
        }
    }
};

LinuxProcesses::LinuxProcesses() = default;

// Closing the control pipes ends the runs; each keeper is waited for.
LinuxProcesses::~LinuxProcesses() = default;

Result<ProcessId> LinuxProcesses::startRun(const RunRequest& request) {
    const Result<QByteArray> path = programPath(request.program);
    if (!path) {
        return path.failure();
    }
    ArgumentVector argv(path.value(), request.arguments);
    const QByteArray folder = bytesOfText(request.workingFolder);
    int control[2] = {-1, -1};
    int reports[2] = {-1, -1};
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    const bool piped =
        pipe2(control, O_CLOEXEC) == 0 && pipe2(reports, O_CLOEXEC) == 0 &&
        (!request.conversation || (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) == 0 &&
                                   pipe2(output, O_CLOEXEC) == 0));
    auto run = std::make_shared<Run>();
    run->control = control[1];
    run->reports = reports[0];
    run->input = input[1];
    run->output = output[0];
    int childEnds[] = {control[0], reports[1], input[0], output[1]};
    const auto closeChildEnds = [&childEnds] {
        for (int& fd : childEnds) {
            closeIfOpen(fd);
        }
    };
    if (!piped) {
        const Failure failure = systemFailure(errno);
        closeChildEnds();
        return failure;
    }

    SpawnPlan plan;
    plan.path = path.value().constData();
    plan.argv = argv.data();
    plan.envp = environ;
    plan.workingFolder = request.workingFolder.isEmpty() ? nullptr : folder.constData();
    plan.input = input[0];
    plan.output = output[1];
    const pid_t keeper = fork();
    if (keeper == 0) {
        close(control[1]);
        close(reports[0]);
        closeIfOpen(input[1]);
        closeIfOpen(output[0]);
        runKeeper(plan, control[0], reports[1]);
    }
    const int forkError = errno;
    closeChildEnds();
    if (keeper < 0) {
        return systemFailure(forkError);
    }
    run->keeper = keeper;

    // The first report says whether the program runs: a run is never taken
    // as ended before it has begun.
    KeeperReport first;
    if (readSome(run->reports, reinterpret_cast<char*>(&first), sizeof first) != sizeof first ||
        first.kind != KeeperReport::Started) {
        return systemFailure(first.kind == KeeperReport::NotStarted ? first.value : ECHILD);
    }
    const ProcessId id = nextId_++;
    setNonBlocking(run->reports);
    run->reportNotifier = std::make_unique<QSocketNotifier>(run->reports, QSocketNotifier::Read);
    connect(run->reportNotifier.get(), &QSocketNotifier::activated, this,
            [this, id] { readReports(id); });
    if (request.conversation) {
        setNonBlocking(run->output);
        setNonBlocking(run->input);
        run->outputNotifier = std::make_unique<QSocketNotifier>(run->output, QSocketNotifier::Read);
        connect(run->outputNotifier.get(), &QSocketNotifier::activated, this,
                [this, id, raw = run.get()] { readOutput(*raw, id); });
        run->inputNotifier = std::make_unique<QSocketNotifier>(run->input, QSocketNotifier::Write);
        run->inputNotifier->setEnabled(false);
        connect(run->inputNotifier.get(), &QSocketNotifier::activated, this,
                [this, raw = run.get()] { writeInput(*raw); });
    }
    runs_.insert(id, run);
    return id;
}

void LinuxProcesses::readReports(ProcessId id) {
    const std::shared_ptr<Run> run = runs_.value(id);
    if (!run) {
        return;
    }
    KeeperReport record;
    const ssize_t got = readSome(run->reports, reinterpret_cast<char*>(&record), sizeof record);
    if (got < 0 && errno == EAGAIN) {
        return;
    }
    RunEnd end;
    if (got != sizeof record) {
        // The keeper itself was killed.
        end = {RunEnd::How::Signalled, SIGKILL};
    } else if (record.kind == KeeperReport::Exited) {
        end = {RunEnd::How::Exited, record.value};
    } else if (record.kind == KeeperReport::Signalled) {
        end = {run->endRequested ? RunEnd::How::Ended : RunEnd::How::Signalled, record.value};
    } else {
        end = {RunEnd::How::Ended, 0};
    }
    finish(id, end);
}

void LinuxProcesses::readOutput(Run& run, ProcessId id) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = readSome(run.output, buffer, sizeof buffer);
        if (got > 0) {
            emit outputRead(id, QByteArray(buffer, got));
            continue;
        }
        if (got == 0) {
            run.outputNotifier.reset();
            closeIfOpen(run.output);
        }
        return;
    }
}

void LinuxProcesses::writeInput(Run& run) {
    while (!run.pendingInput.isEmpty()) {
        // A socket rather than a pipe: a program that has gone must not end
        // this one with SIGPIPE.
        const ssize_t written = send(run.input, run.pendingInput.constData(),
                                     static_cast<size_t>(run.pendingInput.size()), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            // A full pipe is written on once the program has read from it;
            // a closed one has nobody to read any more.
            if (errno != EAGAIN) {
                run.pendingInput.clear();
            }
            break;
        }
        run.pendingInput.remove(0, written);
    }
    run.inputNotifier->setEnabled(!run.pendingInput.isEmpty());
}

void LinuxProcesses::finish(ProcessId id, RunEnd end) {
    std::shared_ptr<Run> run = runs_.take(id);
    // What the run wrote before it ended comes before its end.
    if (run->output >= 0) {
        readOutput(*run, id);
    }
    run.reset();
    ended_.insert(id, end);
    emit runEnded(id);
}

void LinuxProcesses::endRun(ProcessId id) {
    const std::shared_ptr<Run> run = runs_.value(id);
    if (run && run->control >= 0) {
        run->endRequested = true;
        closeIfOpen(run->control);
    }
}

std::optional<RunEnd> LinuxProcesses::runEnd(ProcessId id) {
    const auto end = ended_.constFind(id);
    if (end == ended_.cend()) {
        return std::nullopt;
    }
    return *end;
}

Status LinuxProcesses::sendInput(ProcessId id, const QByteArray& bytes) {
    const std::shared_ptr<Run> run = runs_.value(id);
    if (!run || run->input < 0) {
        return systemFailure(EPIPE);
    }
    run->pendingInput.append(bytes);
    writeInput(*run);
    return {};
}

Status LinuxProcesses::startProgram(const QString& commandLine, WindowMode mode) {
    // A window manager places and sizes windows on X11: the mode is not passed on.
    Q_UNUSED(mode);
    const SplitCommand split = splitCommandLine(commandLine, isRegularFile);
    const Result<QByteArray> path = programPath(split.program);
    if (!path) {
        return path.failure();
    }
    ArgumentVector argv(path.value(), split.arguments);
    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0) {
        return systemFailure(errno);
    }
    SpawnPlan plan;
    plan.path = path.value().constData();
    plan.argv = argv.data();
    plan.envp = environ;
    const pid_t child = fork();
    if (child == 0) {
        close(errors[0]);
        startDetached(plan, errors[1]);
    }
    const int forkError = errno;
    close(errors[1]);
    int error = child < 0 ? forkError : 0;
    if (child > 0) {
        waitpid(child, nullptr, 0);
        if (readSome(errors[0], reinterpret_cast<char*>(&error), sizeof error) != sizeof error) {
            error = 0;
        }
    }
    close(errors[0]);
    if (error != 0) {
        return systemFailure(error);
    }
    return {};
}
