#pragma once

#include <sys/types.h>

// What a child of this program does between fork and exec. The program has
// threads, so the child may make async-signal-safe calls only: no memory is
// allocated, everything was prepared before the fork.

// A program to start: the resolved path, its argument and environment
// vectors, and where it runs.
struct SpawnPlan {
    const char* path = nullptr;
    char* const* argv = nullptr;
    char* const* envp = nullptr;
    const char* workingFolder = nullptr;  // nullptr: the caller's
    int input = -1;                       // becomes standard input; -1: /dev/null
    int output = -1;                      // becomes standard output; -1: the caller's
};

// What a keeper tells the program, one record at a time, on its report pipe.
struct KeeperReport {
    enum Kind : int { Started = 1, NotStarted, Exited, Signalled, Ended };
    int kind = 0;
    int value = 0;  // the process id, the error number, the exit code or the signal
};

// The keeper of a run, in the forked child: it starts the program in a
// process group of its own and adopts whatever the program leaves behind
// (a child subreaper). When the program ends, or when the control pipe
// closes (the run is ended, or this program ended however it ended), it
// kills every process of the run, reports how the run ended and exits.
[[noreturn]] void runKeeper(const SpawnPlan& plan, int controlFd, int reportFd);

// In the forked child of a detached start: leaves this program's session and
// starts the program in a grandchild that nothing waits for. A failed exec
// writes its error number to errorFd (close-on-exec otherwise).
[[noreturn]] void startDetached(const SpawnPlan& plan, int errorFd);
