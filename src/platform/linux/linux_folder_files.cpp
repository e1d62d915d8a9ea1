#include "platform/linux/linux_folder_files.h"

#include <QDir>
#include <QScopeGuard>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "common/byte_text.h"
#include "platform/linux/aside_path.h"
#include "platform/linux/file_busy.h"
#include "platform/linux/retrying_io.h"
#include "platform/linux/system_error.h"

namespace {

using Kind = Failure::Kind;

constexpr qint64 kNsPerSecond = 1'000'000'000;
// Large enough to copy at the disk's pace, small enough that the window gets
// a turn many times a second.
constexpr qint64 kCopyPiece = 1024 * 1024;

QByteArray native(const QString& path) {
    return bytesOfText(path);
}

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

Failure notOrdinary() {
    return Failure{Kind::NotOrdinary, 0, QStringLiteral("not an ordinary file")};
}

FileStatus::Type typeOf(mode_t mode) {
    return S_ISREG(mode)   ? FileStatus::Type::Ordinary
           : S_ISLNK(mode) ? FileStatus::Type::Link
           : S_ISDIR(mode) ? FileStatus::Type::Folder
                           : FileStatus::Type::Other;
}

// Opens an ordinary file for reading, never through a link and never
// waiting on a pipe that stands at its place.
Result<int> openOrdinary(const QByteArray& path, bool followLink) {
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    const int fd = open(path.constData(), flags);
    if (fd < 0) {
        return errno == ELOOP ? notOrdinary() : systemFailure(errno, Kind::Unreadable);
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return notOrdinary();
    }
    return fd;
}

// Copies the whole of one open file into another, asking keepGoing between
// the pieces.
Status copyContents(int in, int out, const std::function<bool()>& keepGoing) {
    std::vector<char> buffer(kCopyPiece);
    for (;;) {
        const qint64 got = readSome(in, buffer.data(), kCopyPiece);
        if (got < 0) {
            return systemFailure(errno, Kind::Unreadable);
        }
        if (got == 0) {
            return {};
        }
        if (!writeAll(out, buffer.data(), got)) {
            return systemFailure(errno, Kind::TargetRefused);
        }
        if (keepGoing && !keepGoing()) {
            return Failure{Kind::Stopped, 0, {}};
        }
    }
}

// Writes a whole copy of an open file beside the target, with the given
// permissions, and renames it into place.
Status copyIntoPlace(int in, mode_t mode, const QByteArray& target,
                     const std::function<bool()>& keepGoing) {
    const QByteArray aside = native(asidePathOf(textOfBytes(target)));
    // What a killed copy left behind goes first.
    unlink(aside.constData());
    const int out = open(aside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         S_IRUSR | S_IWUSR);
    if (out < 0) {
        return systemFailure(errno, Kind::TargetRefused);
    }
    auto dropCopy = qScopeGuard([&aside] { unlink(aside.constData()); });
    auto closeCopy = qScopeGuard([out] { close(out); });
    if (fchmod(out, mode & 0777) != 0) {
        return systemFailure(errno, Kind::TargetRefused);
    }
    if (const Status copied = copyContents(in, out, keepGoing); !copied) {
        return copied;
    }
    // The copy is as old as its source: it is not a file being written.
    struct stat source {};
    if (fstat(in, &source) == 0) {
        const timespec times[2] = {source.st_atim, source.st_mtim};
        futimens(out, times);
    }
    closeCopy.dismiss();
    // Some file systems report a failed write only when the file is closed.
    if (fsync(out) != 0 || close(out) != 0 || rename(aside.constData(), target.constData()) != 0) {
        return systemFailure(errno, Kind::TargetRefused);
    }
    dropCopy.dismiss();
    return {};
}

// A failed rename is blamed on the target folder when files cannot be made
// there, else on the source's folder, which refused to let the file go.
Failure renameFailure(int error, const QByteArray& source, const QByteArray& target) {
    struct stat info {};
    if (error == ENOENT && lstat(source.constData(), &info) != 0) {
        return systemFailure(errno, Kind::Unreadable);
    }
    if (access(folderOf(target).constData(), W_OK | X_OK) != 0) {
        return systemFailure(errno, Kind::TargetRefused);
    }
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
            return systemFailure(error, Kind::NotReleased);
        default:
            return systemFailure(error, Kind::TargetRefused);
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

// The move between two file systems: a copy beside the target, renamed into
// place once whole, then the source removed; when the source cannot be
// removed after all, the copy goes again.
Status moveAcross(int in, const struct stat& info, const QByteArray& source,
                  const QByteArray& target, const std::function<bool()>& keepGoing) {
    // Copying a file that must stay where it is would be for nothing, and
    // would replace an older file of its name.
    if (const int error = removalError(info, source)) {
        return systemFailure(error, Kind::NotReleased);
    }
    if (const Status copied = copyIntoPlace(in, info.st_mode, target, keepGoing); !copied) {
        return copied;
    }
    if (unlink(source.constData()) != 0) {
        const int error = errno;
        unlink(target.constData());
        return systemFailure(error, Kind::NotReleased);
    }
    return {};
}

// Where a save really writes: the path itself when it is an ordinary file or
// nothing yet, the file a link leads to when that is an ordinary file. With
// it the existing file's state, when there is one.
struct SaveTarget {
    QByteArray path;
    std::optional<struct stat> existing;
    std::optional<Failure> failure;
};

SaveTarget saveTargetOf(const QByteArray& path) {
    struct stat info {};
    if (lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT) {
            return {path, std::nullopt, std::nullopt};
        }
        return {path, std::nullopt, systemFailure(errno)};
    }
    if (S_ISREG(info.st_mode)) {
        return {path, info, std::nullopt};
    }
    if (!S_ISLNK(info.st_mode)) {
        return {path, std::nullopt, notOrdinary()};
    }
    // A link that leads nowhere, or to anything but an ordinary file, is not
    // written through: the save would replace what it leads to.
    char* resolved = realpath(path.constData(), nullptr);
    if (resolved == nullptr) {
        return {path, std::nullopt, notOrdinary()};
    }
    const QByteArray target(resolved);
    std::free(resolved);
    if (stat(target.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {path, std::nullopt, notOrdinary()};
    }
    return {target, info, std::nullopt};
}

// Writes into the existing file itself, for a file whose owner a new file
// could not be given: its owner, mode and the permission to write it stay.
Status writeInPlace(const QByteArray& path, const QByteArray& data) {
    const int fd = open(path.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return systemFailure(errno);
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return notOrdinary();
    }
    if (ftruncate(fd, 0) != 0 || !writeAll(fd, data.constData(), data.size()) || fsync(fd) != 0) {
        return systemFailure(errno);
    }
    return {};
}

}  // namespace

LinuxFolderFiles::~LinuxFolderFiles() {
    for (const int fd : std::as_const(claims_)) {
        close(fd);
    }
}

Result<QList<FolderEntry>> LinuxFolderFiles::listEntries(const QString& folder) {
    DIR* dir = opendir(native(folder).constData());
    if (dir == nullptr) {
        return systemFailure(errno);
    }
    const auto closer = qScopeGuard([dir] { closedir(dir); });
    QList<FolderEntry> entries;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        unsigned char type = entry->d_type;
        // File systems without entry types need a look at the entry itself.
        if (type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                type = S_ISREG(info.st_mode) ? DT_REG : S_ISLNK(info.st_mode) ? DT_LNK : DT_UNKNOWN;
            }
        }
        if (type == DT_REG || type == DT_LNK) {
            entries.append({textOfBytes(entry->d_name), type == DT_LNK});
        }
    }
    return entries;
}

std::optional<FileStatus> LinuxFolderFiles::status(const QString& path) {
    struct stat info {};
    if (lstat(native(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    FileStatus status;
    status.type = typeOf(info.st_mode);
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

bool LinuxFolderFiles::isFile(const QString& path) {
    struct stat info {};
    return stat(native(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

Result<QByteArray> LinuxFolderFiles::readHead(const QString& path, qint64 maxBytes) {
    const Result<int> fd = openOrdinary(native(path), false);
    if (!fd) {
        return fd.failure();
    }
    const auto closer = qScopeGuard([&fd] { close(fd.value()); });
    QByteArray head(maxBytes, Qt::Uninitialized);
    qint64 got = 0;
    while (got < maxBytes) {
        const qint64 piece = readSome(fd.value(), head.data() + got, maxBytes - got);
        if (piece < 0) {
            return systemFailure(errno, Kind::Unreadable);
        }
        if (piece == 0) {
            break;
        }
        got += piece;
    }
    head.truncate(got);
    return head;
}

Result<QByteArray> LinuxFolderFiles::readTail(const QString& path, qint64 maxBytes) {
    const Result<int> fd = openOrdinary(native(path), false);
    if (!fd) {
        return fd.failure();
    }
    const auto closer = qScopeGuard([&fd] { close(fd.value()); });
    struct stat info {};
    if (fstat(fd.value(), &info) != 0) {
        return systemFailure(errno, Kind::Unreadable);
    }
    const qint64 start = qMax<qint64>(0, info.st_size - maxBytes);
    QByteArray tail(info.st_size - start, Qt::Uninitialized);
    qint64 got = 0;
    while (got < tail.size()) {
        const ssize_t piece =
            pread(fd.value(), tail.data() + got, size_t(tail.size() - got), start + got);
        if (piece < 0 && errno == EINTR) {
            continue;
        }
        if (piece < 0) {
            return systemFailure(errno, Kind::Unreadable);
        }
        if (piece == 0) {
            break;
        }
        got += piece;
    }
    tail.truncate(got);
    return tail;
}

Status LinuxFolderFiles::readInPieces(const QString& path,
                                      const std::function<void(QByteArrayView piece)>& take) {
    const Result<int> fd = openOrdinary(native(path), true);
    if (!fd) {
        return fd.failure();
    }
    const auto closer = qScopeGuard([&fd] { close(fd.value()); });
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = readSome(fd.value(), buffer, sizeof buffer);
        if (got < 0) {
            return systemFailure(errno, Kind::Unreadable);
        }
        if (got == 0) {
            return {};
        }
        take(QByteArrayView(buffer, got));
    }
}

bool LinuxFolderFiles::isHeld(const QString& path) {
    return isFileHeldByOthers(native(path));
}

bool LinuxFolderFiles::isOpenByOthers(const QString& path) {
    return isFileOpenByOthers(native(path));
}

Status LinuxFolderFiles::move(const QString& from, const QString& to,
                              const std::function<bool()>& keepGoing) {
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    const Result<int> in = openOrdinary(source, false);
    if (!in) {
        return in.failure();
    }
    const auto closer = qScopeGuard([&in] { close(in.value()); });
    struct stat info {};
    if (fstat(in.value(), &info) != 0) {
        return systemFailure(errno, Kind::Unreadable);
    }
    struct stat existing {};
    if (lstat(target.constData(), &existing) == 0) {
        // Removing the source after "copying" it onto itself would lose it.
        if (sameFile(info, existing)) {
            return Failure{Kind::SameFile, 0, {}};
        }
        if (S_ISDIR(existing.st_mode)) {
            return systemFailure(EISDIR, Kind::TargetRefused);
        }
    }
    if (rename(source.constData(), target.constData()) != 0) {
        if (errno != EXDEV) {
            return renameFailure(errno, source, target);
        }
        return moveAcross(in.value(), info, source, target, keepGoing);
    }
    // What was renamed is the file that was opened, not a link put in its
    // place meanwhile.
    struct stat moved {};
    if (lstat(target.constData(), &moved) != 0 || !sameFile(moved, info)) {
        rename(target.constData(), source.constData());
        return notOrdinary();
    }
    return {};
}

Status LinuxFolderFiles::copy(const QString& from, const QString& to) {
    const Result<int> in = openOrdinary(native(from), true);
    if (!in) {
        return in.failure();
    }
    const auto closer = qScopeGuard([&in] { close(in.value()); });
    struct stat info {};
    struct stat existing {};
    if (fstat(in.value(), &info) != 0) {
        return systemFailure(errno, Kind::Unreadable);
    }
    const QByteArray target = native(to);
    if (lstat(target.constData(), &existing) == 0 && sameFile(info, existing)) {
        return {};  // the file is already there
    }
    return copyIntoPlace(in.value(), info.st_mode, target, {});
}

Status LinuxFolderFiles::remove(const QString& path) {
    if (unlink(native(path).constData()) != 0) {
        return systemFailure(errno,
                             errno == EACCES || errno == EPERM ? Kind::NotReleased : Kind::Failed);
    }
    return {};
}

Status LinuxFolderFiles::link(const QString& existing, const QString& alias) {
    // linkat without AT_SYMLINK_FOLLOW names the link itself, never its target.
    if (linkat(AT_FDCWD, native(existing).constData(), AT_FDCWD, native(alias).constData(), 0) !=
        0) {
        return systemFailure(errno);
    }
    return {};
}

Status LinuxFolderFiles::createOutput(const QString& path, const QStringList& models) {
    const QByteArray target = native(path);
    struct stat existing {};
    if (lstat(target.constData(), &existing) == 0) {
        // Only a file of its own kind is replaced: a folder, a link or a pipe
        // in its place is someone else's.
        if (!S_ISREG(existing.st_mode)) {
            return notOrdinary();
        }
        if (unlink(target.constData()) != 0) {
            return systemFailure(errno);
        }
    }
    // Without a model to look at, nothing says who else may read it.
    mode_t mode = models.isEmpty() ? S_IRUSR | S_IWUSR : 0666;
    for (const QString& model : models) {
        struct stat info {};
        mode &= stat(native(model).constData(), &info) == 0 ? info.st_mode : S_IRUSR | S_IWUSR;
    }
    mode = (mode | S_IRUSR | S_IWUSR) & 0666;
    const int fd = open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return systemFailure(errno);
    }
    // Set apart from the umask, which would only narrow it further.
    const bool permitted = fchmod(fd, mode) == 0;
    const int error = errno;
    close(fd);
    if (!permitted) {
        unlink(target.constData());
        return systemFailure(error);
    }
    return {};
}

// The new contents go to a new file beside the target, which then takes the
// target's place by a rename: the old file stays whole until that moment.
Status LinuxFolderFiles::writeAtomic(const QString& path, const QByteArray& data) {
    const SaveTarget target = saveTargetOf(native(path));
    if (target.failure) {
        return *target.failure;
    }
    const qsizetype slash = target.path.lastIndexOf('/');
    QByteArray temporary =
        target.path.left(slash + 1) + '.' + target.path.mid(slash + 1) + ".XXXXXX";
    // Made readable by its owner only, whatever the umask says.
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return systemFailure(errno);
    }
    auto discard = qScopeGuard([&] { unlink(temporary.constData()); });
    const auto closer = qScopeGuard([fd] { close(fd); });
    if (const std::optional<struct stat>& old = target.existing) {
        const bool sameOwner = old->st_uid == geteuid() && old->st_gid == getegid();
        if (!sameOwner && fchown(fd, old->st_uid, old->st_gid) != 0) {
            return writeInPlace(target.path, data);
        }
        if (fchmod(fd, old->st_mode & 07777) != 0) {
            return systemFailure(errno);
        }
    }
    if (!writeAll(fd, data.constData(), data.size()) || fsync(fd) != 0 ||
        rename(temporary.constData(), target.path.constData()) != 0) {
        return systemFailure(errno);
    }
    discard.dismiss();
    return {};
}

// An ordinary file of this user's is written in place, made owner-only
// first: it keeps its inode, so that a file written again and again (the
// journal) costs the disk no freed blocks. Anything else there goes for a new
// file, so that neither a link nor another user's file decides where the
// data go or who may read them.
Status LinuxFolderFiles::writePrivate(const QString& path, const QByteArray& data) {
    const QByteArray name = native(path);
    int fd = open(name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
                    info.st_nlink != 1 || fchmod(fd, 0600) != 0 || ftruncate(fd, 0) != 0)) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        if (unlink(name.constData()) != 0 && errno != ENOENT) {
            return systemFailure(errno);
        }
        fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return systemFailure(errno);
        }
    }
    const bool written =
        fchmod(fd, 0600) == 0 && writeAll(fd, data.constData(), data.size()) && fdatasync(fd) == 0;
    int error = errno;
    // Some file systems report a failed write only when the file is closed.
    const bool closed = close(fd) == 0;
    if (written && !closed) {
        error = errno;
    }
    if (!written || !closed) {
        unlink(name.constData());
        return systemFailure(error);
    }
    return {};
}

bool LinuxFolderFiles::isSameFile(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    return stat(native(first).constData(), &a) == 0 && stat(native(second).constData(), &b) == 0 &&
           sameFile(a, b);
}

bool LinuxFolderFiles::isSameFolder(const QString& a, const QString& b) {
    struct stat infoA {};
    struct stat infoB {};
    if (stat(native(a).constData(), &infoA) == 0 && stat(native(b).constData(), &infoB) == 0) {
        return sameFile(infoA, infoB);
    }
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

Status LinuxFolderFiles::checkFolder(const QString& folder) {
    const QByteArray path = native(folder);
    struct stat info {};
    if (stat(path.constData(), &info) != 0) {
        return systemFailure(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return systemFailure(ENOTDIR);
    }
    if (access(path.constData(), W_OK | X_OK) != 0) {
        return systemFailure(errno);
    }
    return {};
}

Status LinuxFolderFiles::makeFolder(const QString& folder) {
    QByteArray path;
    for (const QByteArray& part : native(folder).split('/')) {
        path += part + '/';
        if (!part.isEmpty() && mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
            return systemFailure(errno);
        }
    }
    return checkFolder(folder);
}

// A lock of the kernel's on an open file: it goes with the last descriptor,
// so a program that ends, however it ends, leaves none behind. The file is
// readable by all, so that the lock of another user can be tested too.
Status LinuxFolderFiles::claim(const QString& lockPath) {
    if (claims_.contains(lockPath)) {
        return {};
    }
    const QByteArray path = native(lockPath);
    int fd = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EACCES) {
        fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) {
        return systemFailure(errno == ELOOP ? EEXIST : errno);
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return notOrdinary();
    }
    if (info.st_uid == geteuid()) {
        fchmod(fd, 0644);
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        return Failure{Kind::Held, error, errorText(error)};
    }
    claims_.insert(lockPath, fd);
    return {};
}

void LinuxFolderFiles::release(const QString& lockPath) {
    if (claims_.contains(lockPath)) {
        close(claims_.take(lockPath));
    }
}
