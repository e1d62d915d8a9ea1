#include "platform/linux/run_keeper.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>

#include "platform/linux/retrying_io.h"

namespace {

void setDisposition(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// The program's handlers live in its memory, which the child shares no more.
void defaultSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD, SIGURG}) {
        setDisposition(signal, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// A failed write has nobody to tell: the reader learns it from what is missing.
void writeAllBytes(int fd, const void* data, size_t size) {
    [[maybe_unused]] const bool written =
        writeAll(fd, static_cast<const char*>(data), static_cast<qint64>(size));
}

void report(int fd, int kind, int value) {
    const KeeperReport record{kind, value};
    writeAllBytes(fd, &record, sizeof record);
}

// Closes every descriptor from 3 on but the given ones.
void keepOnly(int* keep, int count) {
    std::sort(keep, keep + count);
    unsigned int from = 3;
    for (int i = 0; i < count; ++i) {
        if (keep[i] < 3) {
            continue;
        }
        const auto fd = static_cast<unsigned int>(keep[i]);
        if (fd > from) {
            close_range(from, fd - 1, 0);
        }
        from = std::max(from, fd + 1);
    }
    close_range(from, UINT_MAX, 0);
}

// "/proc/self/task/<pid>/children", written without the library's help.
void childrenFile(char* path, size_t size) {
    const char head[] = "/proc/self/task/";
    const char tail[] = "/children";
    size_t at = 0;
    for (const char c : head) {
        if (c != '\0' && at + 1 < size) {
            path[at++] = c;
        }
    }
    char digits[16];
    int count = 0;
    for (long pid = getpid(); pid > 0 && count < 16; pid /= 10) {
        digits[count++] = static_cast<char>('0' + pid % 10);
    }
    while (count > 0 && at + 1 < size) {
        path[at++] = digits[--count];
    }
    for (const char c : tail) {
        if (c != '\0' && at + 1 < size) {
            path[at++] = c;
        }
    }
    path[at] = '\0';
}

// Kills the keeper's children: the run's program and whatever was left to
// the keeper when its parent ended.
void killChildren() {
    char path[64];
    childrenFile(path, sizeof path);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    char text[4096];
    const qint64 got = readSome(fd, text, sizeof text);
    close(fd);
    long pid = 0;
    for (qint64 i = 0; i < got; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            pid = pid * 10 + (text[i] - '0');
        } else {
            if (pid > 0) {
                kill(static_cast<pid_t>(pid), SIGKILL);
            }
            pid = 0;
        }
    }
    if (pid > 0) {
        kill(static_cast<pid_t>(pid), SIGKILL);
    }
}

// Ends the run's process group and every process that has come to the
// keeper, until none is left: killing a process hands its children on to
// the keeper, which then kills them in turn.
void endEverything(pid_t group) {
    for (;;) {
        kill(-group, SIGKILL);
        killChildren();
        int status = 0;
        if (waitpid(-1, &status, 0) < 0 && errno == ECHILD) {
            return;
        }
    }
}

void redirect(int from, int to) {
    if (from >= 0 && from != to) {
        dup2(from, to);
        close(from);
    }
}

[[noreturn]] void execProgram(const SpawnPlan& plan, int errorFd) {
    if (plan.workingFolder != nullptr && chdir(plan.workingFolder) != 0) {
        const int error = errno;
        writeAllBytes(errorFd, &error, sizeof error);
        _exit(127);
    }
    execve(plan.path, plan.argv, plan.envp);
    const int error = errno;
    writeAllBytes(errorFd, &error, sizeof error);
    _exit(127);
}

void standardStreams(const SpawnPlan& plan) {
    int input = plan.input;
    if (input < 0) {
        input = open("/dev/null", O_RDONLY);
    }
    redirect(input, STDIN_FILENO);
    redirect(plan.output, STDOUT_FILENO);
}

[[noreturn]] void startRunProgram(const SpawnPlan& plan, pid_t keeper, int errorFd) {
    // A group of its own, so that the run's children can be reached as one;
    // and it goes when the keeper goes.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != keeper) {
        _exit(127);
    }
    defaultSignals();
    standardStreams(plan);
    close_range(3, UINT_MAX, CLOSE_RANGE_CLOEXEC);
    execProgram(plan, errorFd);
}

// Reads the exec error of a started child: nothing (0) when it ran.
int execError(int fd) {
    int error = 0;
    const qint64 got = readSome(fd, reinterpret_cast<char*>(&error), sizeof error);
    close(fd);
    return got == sizeof error ? error : 0;
}

}  // namespace

void runKeeper(const SpawnPlan& plan, int controlFd, int reportFd) {
    // The program's own signals are not the keeper's: Ctrl-C in a terminal
    // reaches the whole foreground group, and the program then ends the run.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        setDisposition(signal, SIG_IGN);
    }
    setDisposition(SIGCHLD, SIG_DFL);
    int keep[] = {controlFd, reportFd, plan.input, plan.output};
    keepOnly(keep, 4);
    prctl(PR_SET_CHILD_SUBREAPER, 1);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        report(reportFd, KeeperReport::NotStarted, errno);
        _exit(0);
    }
    const pid_t keeper = getpid();
    // The keeper is a copy of the whole program: its child borrows its memory
    // until the exec rather than copying it again (the keeper has one thread,
    // and the child only closes, redirects and execs).
    const pid_t child = vfork();
    if (child == 0) {
        close(controlFd);
        close(reportFd);
        close(errorPipe[0]);
        startRunProgram(plan, keeper, errorPipe[1]);
    }
    const int forkError = errno;
    close(errorPipe[1]);
    for (const int fd : {plan.input, plan.output}) {
        if (fd >= 0) {
            close(fd);
        }
    }
    if (child < 0) {
        close(errorPipe[0]);
        report(reportFd, KeeperReport::NotStarted, forkError);
        _exit(0);
    }
    if (const int error = execError(errorPipe[0])) {
        waitpid(child, nullptr, 0);
        report(reportFd, KeeperReport::NotStarted, error);
        _exit(0);
    }
    report(reportFd, KeeperReport::Started, child);

    const int childFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    pollfd watched[2] = {{controlFd, POLLIN, 0}, {childFd, POLLIN, 0}};
    for (;;) {
        // Without a pidfd the child's end is looked for a few times a second.
        poll(watched, childFd >= 0 ? 2 : 1, childFd >= 0 ? -1 : 20);
        if (watched[0].revents != 0) {
            endEverything(child);
            report(reportFd, KeeperReport::Ended, 0);
            _exit(0);
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            // What the run started in the background goes with it.
            endEverything(child);
            if (WIFSIGNALED(status)) {
                report(reportFd, KeeperReport::Signalled, WTERMSIG(status));
            } else {
                report(reportFd, KeeperReport::Exited, WEXITSTATUS(status));
            }
            _exit(0);
        }
    }
}

void startDetached(const SpawnPlan& plan, int errorFd) {
    setsid();
    const pid_t child = fork();
    if (child == 0) {
        defaultSignals();
        standardStreams(plan);
        close_range(3, UINT_MAX, CLOSE_RANGE_CLOEXEC);
        execProgram(plan, errorFd);
    }
    if (child < 0) {
        const int error = errno;
        writeAllBytes(errorFd, &error, sizeof error);
    }
    _exit(0);
}
