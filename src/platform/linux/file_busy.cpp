#include "platform/linux/file_busy.h"

#include <QScopeGuard>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// A writer that closes and reopens the file between pages leaves it closed
// for a moment; a file changed this recently still counts as being written.
constexpr qint64 kRecentWriteNs = 500'000'000;

bool wasWrittenJustNow(const struct stat& info) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ageNs = (qint64(now.tv_sec) - qint64(info.st_mtim.tv_sec)) * 1'000'000'000 +
                         (qint64(now.tv_nsec) - qint64(info.st_mtim.tv_nsec));
    // A time slightly ahead of the clock is a file server's clock, not a
    // file from the future: it counts as just written as well.
    return std::llabs(ageNs) < kRecentWriteNs;
}

bool isSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when one of the descriptors in fdFolder (a /proc/<pid>/fd folder)
// leads to the file, ignoring the descriptor skipFd.
bool folderHasDescriptorFor(const char* fdFolder, const struct stat& file, int skipFd) {
    DIR* folder = opendir(fdFolder);
    if (folder == nullptr) {
        return false;
    }
    const auto closer = qScopeGuard([folder] { closedir(folder); });
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == skipFd) {
            continue;
        }
        struct stat target {};
        if (fstatat(dirfd(folder), entry->d_name, &target, 0) == 0 && isSameFile(target, file)) {
            return true;
        }
    }
    return false;
}

bool isOpenInAnotherProcess(const struct stat& file) {
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return false;
    }
    const auto closer = qScopeGuard([proc] { closedir(proc); });
    const pid_t self = getpid();
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || pid == self) {
            continue;
        }
        const QByteArray fdFolder = QByteArray("/proc/") + entry->d_name + "/fd";
        if (folderHasDescriptorFor(fdFolder.constData(), file, -1)) {
            return true;
        }
    }
    return false;
}

// The kernel grants a write lease only while no other descriptor of the file
// is open anywhere, which answers the question without scanning /proc.
// Nothing when the lease cannot tell (not the owner, no leases here).
std::optional<bool> leaseSaysHeld(int fd) {
    // Someone opening the file while the lease is ours raises a signal at us;
    // the default one (SIGIO) would end the program, SIGURG is ignored.
    fcntl(fd, F_SETSIG, SIGURG);
    if (fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    if (errno == EAGAIN) {
        return true;
    }
    return std::nullopt;
}

}  // namespace

namespace {

bool isHeld(const QByteArray& nativePath, bool recentWriteHolds) {
    const int fd = open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // Refused for the moment: another process holds a lease on it.
        return errno == EWOULDBLOCK;
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    struct stat file {};
    if (fstat(fd, &file) != 0) {
        return false;
    }
    if (recentWriteHolds && wasWrittenJustNow(file)) {
        return true;
    }
    const std::optional<bool> held = leaseSaysHeld(fd);
    if (held == false) {
        return false;
    }
    if (held == true && !folderHasDescriptorFor("/proc/self/fd", file, fd)) {
        return true;
    }
    // Either the lease could not tell, or the refusal may come from this
    // program's own descriptors, which do not make the file held.
    return isOpenInAnotherProcess(file);
}

}  // namespace

bool isFileHeldByOthers(const QByteArray& nativePath) {
    return isHeld(nativePath, true);
}

bool isFileOpenByOthers(const QByteArray& nativePath) {
    return isHeld(nativePath, false);
}
