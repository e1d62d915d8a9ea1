#include "platform/linux_files.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr qint64 kNsPerSecond = 1'000'000'000;
// Large enough to copy at the disk's pace, small enough that the window gets
// a turn many times a second.
constexpr size_t kCopyPiece = 1024 * 1024;

qint64 nanoseconds(const timespec& time) {
    return qint64(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

MoveError failure(MoveError::Step step, int error) {
    return {step, errorText(error)};
}

// A failed rename is blamed on the target folder when files cannot be made
// there, else on the source's folder, which refused to let the file go.
MoveError renameFailure(int error, const QByteArray& source, const QByteArray& target) {
    struct stat info {};
    if (error == ENOENT && stat(source.constData(), &info) != 0) {
        return failure(MoveError::Step::ReadSource, errno);
    }
    if (access(folderOf(target).constData(), W_OK | X_OK) != 0) {
        return failure(MoveError::Step::WriteTarget, errno);
    }
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
            return failure(MoveError::Step::RemoveSource, error);
        default:
            return failure(MoveError::Step::WriteTarget, error);
    }
}

// The error that removing the file would meet, as far as it can be told
// beforehand: a folder that cannot be written, or a shared (sticky) folder
// and a file of another user.
int removalError(const struct stat& file, const QByteArray& source) {
    const QByteArray folder = folderOf(source);
    if (access(folder.constData(), W_OK | X_OK) != 0) {
        return errno;
    }
    struct stat info {};
    const uid_t self = geteuid();
    if (stat(folder.constData(), &info) == 0 && (info.st_mode & S_ISVTX) != 0 && self != 0 &&
        file.st_uid != self && info.st_uid != self) {
        return EPERM;
    }
    return 0;
}

// The move between two file systems: a copy under a hidden name beside the
// target, renamed into place once whole, then the source removed; when the
// source cannot be removed after all, the copy goes again.
std::optional<MoveError> copyAcross(int in, const struct stat& info, const QByteArray& source,
                                    const QByteArray& target,
                                    const std::function<bool()>& keepGoing) {
    // Copying a file that must stay where it is would be for nothing, and
    // would replace an older file of its name.
    if (const int error = removalError(info, source)) {
        return failure(MoveError::Step::RemoveSource, error);
    }
    QByteArray hidden = folderOf(target) + "/.tarnwick-XXXXXX";
    const int out = mkostemp(hidden.data(), O_CLOEXEC);
    if (out < 0) {
        return failure(MoveError::Step::WriteTarget, errno);
    }
    auto dropCopy = qScopeGuard([&hidden] { unlink(hidden.constData()); });
    auto closeCopy = qScopeGuard([out] { close(out); });
    fchmod(out, info.st_mode & 0777);
    std::vector<char> buffer(kCopyPiece);
    for (;;) {
        const ssize_t got = readSome(in, buffer.data(), buffer.size());
        if (got < 0) {
            return failure(MoveError::Step::ReadSource, errno);
        }
        if (got == 0) {
            break;
        }
        if (!writeAll(out, buffer.data(), got)) {
            return failure(MoveError::Step::WriteTarget, errno);
        }
        if (keepGoing && !keepGoing()) {
            return MoveError{MoveError::Step::Stopped, {}};
        }
    }
    closeCopy.dismiss();
    // Some file systems report a failed write only when the file is closed.
    if (close(out) != 0 || rename(hidden.constData(), target.constData()) != 0) {
        return failure(MoveError::Step::WriteTarget, errno);
    }
    dropCopy.dismiss();
    if (unlink(source.constData()) != 0) {
        const int error = errno;
        unlink(target.constData());
        return failure(MoveError::Step::RemoveSource, error);
    }
    return std::nullopt;
}

}  // namespace

bool writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

ssize_t readSome(int fd, char* buffer, size_t size) {
    ssize_t got = 0;
    do {
        got = read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<FileStatus> statusOf(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    FileStatus status;
    status.device = qint64(info.st_dev);
    status.inode = qint64(info.st_ino);
    status.size = info.st_size;
    status.modifiedNs = nanoseconds(info.st_mtim);
    status.changedNs = nanoseconds(info.st_ctim);
    status.mode = int(info.st_mode & 07777);
    // A time ahead of the clock is a file server's clock, not the future.
    status.msSinceModified = std::llabs(nanoseconds(now) - status.modifiedNs) / 1'000'000;
    return status;
}

std::optional<QByteArray> readTail(const QString& path, qint64 maxBytes) {
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const qint64 start = qMax<qint64>(0, info.st_size - maxBytes);
    QByteArray tail(info.st_size - start, Qt::Uninitialized);
    qint64 got = 0;
    while (got < tail.size()) {
        const ssize_t piece = pread(fd, tail.data() + got, size_t(tail.size() - got), start + got);
        if (piece < 0 && errno == EINTR) {
            continue;
        }
        if (piece < 0) {
            return std::nullopt;
        }
        if (piece == 0) {
            break;
        }
        got += piece;
    }
    tail.truncate(got);
    return tail;
}

std::optional<MoveError> moveIntoPlace(const QString& from, const QString& to,
                                       const std::function<bool()>& keepGoing) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // Never blocks, not even on a pipe that took the file's place.
    const int in = open(source.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) {
        return failure(MoveError::Step::ReadSource, errno);
    }
    const auto closer = qScopeGuard([in] { close(in); });
    struct stat info {};
    if (fstat(in, &info) != 0) {
        return failure(MoveError::Step::ReadSource, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return failure(MoveError::Step::ReadSource, EINVAL);
    }
    struct stat existing {};
    if (stat(target.constData(), &existing) == 0) {
        // Removing the source after "copying" it onto itself would lose it.
        if (sameFile(info, existing)) {
            return MoveError{MoveError::Step::SameFile, {}};
        }
        if (S_ISDIR(existing.st_mode)) {
            return failure(MoveError::Step::WriteTarget, EISDIR);
        }
    }
    if (rename(source.constData(), target.constData()) == 0) {
        return std::nullopt;
    }
    if (errno != EXDEV) {
        return renameFailure(errno, source, target);
    }
    return copyAcross(in, info, source, target, keepGoing);
}

std::optional<QString> createOutputFile(const QString& path, const QString& modelPath) {
    const QByteArray native = QFile::encodeName(path);
    if (unlink(native.constData()) != 0 && errno != ENOENT) {
        return errorText(errno);
    }
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat model {};
    if (stat(QFile::encodeName(modelPath).constData(), &model) == 0) {
        mode = (model.st_mode | S_IRUSR | S_IWUSR) & 0666;
    }
    // Made afresh: a link or another user's file left at the place is not
    // written through.
    const int fd = open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return errorText(errno);
    }
    close(fd);
    return std::nullopt;
}

std::optional<QString> folderError(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat info {};
    if (stat(native.constData(), &info) != 0) {
        return errorText(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return errorText(ENOTDIR);
    }
    if (access(native.constData(), W_OK | X_OK) != 0) {
        return errorText(errno);
    }
    return std::nullopt;
}

bool isSameFolder(const QString& a, const QString& b) {
    struct stat infoA {};
    struct stat infoB {};
    if (stat(QFile::encodeName(a).constData(), &infoA) == 0 &&
        stat(QFile::encodeName(b).constData(), &infoB) == 0) {
        return sameFile(infoA, infoB);
    }
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}
