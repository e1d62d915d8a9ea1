#include "platform/linux/linux_job_delivery.h"

#include "platform/linux/retrying_io.h"

#include <QScopeGuard>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

// The hidden file a delivery writes, for the SIGTERM handler: armed only
// while the file exists, and changed only with SIGTERM blocked.
int hiddenFolder = -1;
char hiddenName[64];
volatile sig_atomic_t hiddenArmed = 0;
int terminationExitCode = 0;

void onTermination(int) {
    if (hiddenArmed) {
        unlinkat(hiddenFolder, hiddenName, 0);
    }
    _exit(terminationExitCode);
}

void setTerminationBlocked(bool blocked) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigprocmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

// Removes the hidden file (SIGTERM blocked meanwhile) and says why.
DeliveryFailure dropHidden(DeliveryFault fault, int error) {
    setTerminationBlocked(true);
    unlinkat(hiddenFolder, hiddenName, 0);
    hiddenArmed = 0;
    setTerminationBlocked(false);
    return {fault, error};
}

JobAccount accountOf(const passwd& entry, bool isJobUser) {
    return {entry.pw_uid, entry.pw_gid, QByteArray(entry.pw_name), isJobUser};
}

// The hidden files of deliveries whose process is gone (cupsd killed mid-job)
// are removed; one whose process still runs, as whoever, is left alone.
void clearDeadAsides(int folder) {
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            close(listing);
        }
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        long long job = 0;
        int pid = 0;
        int attempt = 0;
        int end = 0;
        if (std::sscanf(entry->d_name, ".tarnwick-%lld-%d-%d%n", &job, &pid, &attempt, &end) == 3 &&
            entry->d_name[end] == '\0' && pid > 0 && pid != getpid() && kill(pid, 0) != 0 &&
            errno == ESRCH) {
            unlinkat(folder, entry->d_name, 0);
        }
    }
    closedir(dir);
}

// Makes the hidden file: a name no other delivery uses, made only where
// nothing is (so never through a link or into a pipe).
std::variant<int, DeliveryFailure> createHidden(int folder, qint64 jobId) {
    constexpr int kNameTries = 100;
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        std::snprintf(hiddenName, sizeof hiddenName, ".tarnwick-%lld-%d-%d",
                      static_cast<long long>(jobId), static_cast<int>(getpid()), attempt);
        setTerminationBlocked(true);
        const int file =
            openat(folder, hiddenName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        const int error = errno;
        if (file >= 0) {
            hiddenFolder = folder;
            hiddenArmed = 1;
        }
        setTerminationBlocked(false);
        if (file >= 0) {
            return file;
        }
        if (error != EEXIST) {
            return DeliveryFailure{DeliveryFault::WriteFile, error};
        }
    }
    return DeliveryFailure{DeliveryFault::WriteFile, EEXIST};
}

// Whether the job's last bytes end a PostScript document: "%%EOF", then only
// line ends, blanks or the end-of-job character. A filter that died mid-job
// leaves a job without it.
bool endsWhole(QByteArrayView tail) {
    while (!tail.isEmpty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' ' ||
                               tail.back() == '\t' || tail.back() == '\x04')) {
        tail.chop(1);
    }
    return tail.endsWith("%%EOF");
}

constexpr qsizetype kWholeTail = 256;

// Copies all of data into file and makes it stay on disk; a job that does
// not end whole is refused.
std::optional<DeliveryFailure> copyWhole(int data, int file) {
    char buffer[64 * 1024];
    QByteArray tail;
    for (;;) {
        const ssize_t got = readSome(data, buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            return DeliveryFailure{DeliveryFault::ReadJob, errno};
        }
        if (!writeAll(file, buffer, got)) {
            return DeliveryFailure{DeliveryFault::WriteFile, errno};
        }
        tail.append(buffer, got);
        tail = tail.right(kWholeTail);
    }
    if (!endsWhole(tail)) {
        return DeliveryFailure{DeliveryFault::CutShort};
    }
    if (fsync(file) != 0) {
        return DeliveryFailure{DeliveryFault::WriteFile, errno};
    }
    return std::nullopt;
}

// Gives the hidden file the name, unless something has it: in one step, so
// that nothing that arrives meanwhile is replaced. A file system without
// renameat2 makes a link only where nothing is, which does the same; one
// without links either (vfat, exFAT, many FUSE ones) takes the name first
// as an empty file of ours and renames the whole file over it.
bool placeAs(int folder, const QByteArray& name) {
    if (renameat2(folder, hiddenName, folder, name.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    if (linkat(folder, hiddenName, folder, name.constData(), 0) == 0) {
        unlinkat(folder, hiddenName, 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return false;
    }
    const int reserved = openat(folder, name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (reserved < 0) {
        return false;
    }
    close(reserved);
    if (renameat(folder, hiddenName, folder, name.constData()) != 0) {
        const int error = errno;
        unlinkat(folder, name.constData(), 0);
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

void endOnTermination(int exitCode) {
    terminationExitCode = exitCode;
    struct sigaction action {};
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

std::variant<int, DeliveryFailure> openJobData(const char* path) {
    if (path == nullptr) {
        return STDIN_FILENO;
    }
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return DeliveryFailure{DeliveryFault::ReadJob, errno};
    }
    return file;
}

std::variant<JobAccount, DeliveryFailure> jobAccount(const QByteArray& jobUser,
                                                     const QByteArray& folder) {
    if (const passwd* entry = getpwnam(jobUser.constData()); entry && entry->pw_uid != 0) {
        return accountOf(*entry, true);
    }
    struct stat info {};
    if (stat(folder.constData(), &info) != 0) {
        return DeliveryFailure{DeliveryFault::FindFolder, errno};
    }
    if (!S_ISDIR(info.st_mode)) {
        return DeliveryFailure{DeliveryFault::FindFolder, ENOTDIR};
    }
    if (info.st_uid == 0) {
        return DeliveryFailure{DeliveryFault::RootsFolder};
    }
    const passwd* owner = getpwuid(info.st_uid);
    if (owner == nullptr) {
        return DeliveryFailure{DeliveryFault::OwnerUnknown};
    }
    return accountOf(*owner, false);
}

std::optional<DeliveryFailure> becomeAccount(const JobAccount& account) {
    if (geteuid() != 0) {
        const bool already = getuid() == account.uid && geteuid() == account.uid;
        return already ? std::nullopt : std::optional(DeliveryFailure{DeliveryFault::NotRoot});
    }
    if (initgroups(account.name.constData(), account.gid) != 0 ||
        setresgid(account.gid, account.gid, account.gid) != 0 ||
        setresuid(account.uid, account.uid, account.uid) != 0) {
        return DeliveryFailure{DeliveryFault::BecomeUser, errno};
    }
    // The change holds for every id and cannot be undone.
    if (getuid() != account.uid || geteuid() != account.uid || getegid() != account.gid ||
        setuid(0) == 0) {
        return DeliveryFailure{DeliveryFault::BecomeUser, EPERM};
    }
    return std::nullopt;
}

std::variant<QByteArray, DeliveryFailure> deliverJob(
    int data, const QByteArray& folder, qint64 jobId,
    const std::function<QByteArray(int)>& nameFor) {
    // A job may be private: its file is its owner's alone, whatever the umask.
    umask(S_IRWXG | S_IRWXO);
    const int folderFd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return DeliveryFailure{DeliveryFault::OpenFolder, errno};
    }
    const auto closeFolder = qScopeGuard([folderFd] { close(folderFd); });
    clearDeadAsides(folderFd);
    const std::variant<int, DeliveryFailure> created = createHidden(folderFd, jobId);
    if (const auto* failure = std::get_if<DeliveryFailure>(&created)) {
        return *failure;
    }
    const int file = std::get<int>(created);
    std::optional<DeliveryFailure> failure = copyWhole(data, file);
    if (close(file) != 0 && !failure) {
        failure = DeliveryFailure{DeliveryFault::WriteFile, errno};
    }
    if (failure) {
        return dropHidden(failure->fault, failure->error);
    }
    // Once the file has its name there is nothing left to clean up: a
    // SIGTERM from here on waits for the end of the program.
    constexpr int kMostNumbers = 10000;
    setTerminationBlocked(true);
    for (int number = 1; number <= kMostNumbers; ++number) {
        const QByteArray name = nameFor(number);
        if (placeAs(folderFd, name)) {
            hiddenArmed = 0;
            return name;
        }
        if (errno != EEXIST) {
            return dropHidden(DeliveryFault::PlaceFile, errno);
        }
    }
    return dropHidden(DeliveryFault::PlaceFile, EEXIST);
}
