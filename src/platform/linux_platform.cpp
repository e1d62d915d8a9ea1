#include "platform/linux_platform.h"
#include "platform/termination_signals.h"

#include "platform/command_line.h"
#include "platform/file_busy.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray nativeName(const QString& path) {
    return QFile::encodeName(path);
}

bool statPath(const QString& path, struct stat& info) {
    return stat(nativeName(path).constData(), &info) == 0;
}

bool isRegularFile(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISREG(info.st_mode);
}

FileResult resultOfErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
            return FileResult::PermissionDenied;
        default:
            return FileResult::Failed;
    }
}

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

// Copies the whole of one open file into another.
bool copyContents(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = readSome(from, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0 || !writeAll(to, buffer, got)) {
            return false;
        }
    }
}

QString reasonOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

const QString kNotOrdinary = QStringLiteral("not an ordinary file");

// Where a save really writes: the path itself when it is an ordinary file or
// nothing yet, the file a link leads to when that is an ordinary file. With
// it the existing file's state, when there is one.
struct SaveTarget {
    QByteArray path;
    std::optional<struct stat> existing;
    QString failure;
};

SaveTarget saveTargetOf(const QByteArray& path) {
    struct stat info {};
    if (lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT) {
            return {path, std::nullopt, {}};
        }
        return {path, std::nullopt, reasonOf(errno)};
    }
    if (S_ISREG(info.st_mode)) {
        return {path, info, {}};
    }
    if (!S_ISLNK(info.st_mode)) {
        return {path, std::nullopt, kNotOrdinary};
    }
    // A link that leads nowhere, or to anything but an ordinary file, is not
    // written through: the save would replace what it leads to.
    char* resolved = realpath(path.constData(), nullptr);
    if (resolved == nullptr) {
        return {path, std::nullopt, kNotOrdinary};
    }
    const QByteArray target(resolved);
    std::free(resolved);
    if (stat(target.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {path, std::nullopt, kNotOrdinary};
    }
    return {target, info, {}};
}

// Writes into the existing file itself, for a file whose owner a new file
// could not be given: its owner, mode and the permission to write it stay.
std::optional<QString> writeInPlace(const QByteArray& path, const QByteArray& data) {
    const int fd = open(path.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return reasonOf(errno);
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return kNotOrdinary;
    }
    if (ftruncate(fd, 0) != 0 || !writeAll(fd, data.constData(), data.size()) || fsync(fd) != 0) {
        return reasonOf(errno);
    }
    return std::nullopt;
}

}  // namespace

LinuxPlatform::LinuxPlatform(QObject* parent) {
    setParent(parent);
    connect(&TerminationSignals::instance(), &TerminationSignals::requested, this,
            &Platform::requestTermination);
    // The program ends by its own end only: a box that closes while the
    // window is in the notification area does not end it, and a quit event
    // comes from the session manager.
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        application->setQuitOnLastWindowClosed(false);
        application->installEventFilter(this);
    }
}

LinuxPlatform::~LinuxPlatform() {
    // Started programs run on by themselves: a process object that is
    // destroyed would end its program.
    for (QProcess* process : std::as_const(running_)) {
        process->disconnect(this);
        process->setParent(nullptr);
    }
}

std::optional<Platform::ProcessId> LinuxPlatform::startProcess(const QString& commandLine,
                                                               WindowMode mode) {
    // The window mode is the started program's business on X11: a window
    // manager places and sizes windows, so the mode is not passed on.
    Q_UNUSED(mode);
    const CommandLine split = splitCommandLine(commandLine, isRegularFile);
    if (split.program.isEmpty()) {
        return std::nullopt;
    }
    // A child of ours, so that its end and its exit code are known; its output
    // goes where ours goes. Waiting for the start only covers the exec, so the
    // run exists (and is never taken as finished) once this returns.
    auto* process = new QProcess(this);
    process->setProgram(split.program);
    process->setArguments(split.arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    if (!process->waitForStarted(-1)) {
        delete process;
        return std::nullopt;
    }
    const ProcessId id = process->processId();
    running_.insert(id, process);
    connect(process, &QProcess::finished, this,
            [this, id, process](int exitCode, QProcess::ExitStatus status) {
                running_.remove(id);
                if (status != QProcess::NormalExit || exitCode != 0) {
                    failed_.insert(id);
                }
                process->deleteLater();
                emit processEnded(id);
            });
    return id;
}

bool LinuxPlatform::isProcessRunning(ProcessId id) {
    const QProcess* process = running_.value(id);
    return process != nullptr && process->state() != QProcess::NotRunning;
}

bool LinuxPlatform::endedWithFailure(ProcessId id) {
    return failed_.contains(id);
}

QStringList LinuxPlatform::listFiles(const QString& folder) {
    QStringList names;
    DIR* dir = opendir(nativeName(folder).constData());
    if (dir == nullptr) {
        return names;
    }
    const auto closer = qScopeGuard([dir] { closedir(dir); });
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        bool regular = entry->d_type == DT_REG;
        // Links and file systems without entry types need a look at the
        // file itself; a link counts as what it leads to.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            regular = fstatat(dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular) {
            names.append(QFile::decodeName(entry->d_name));
        }
    }
    return names;
}

bool LinuxPlatform::fileExists(const QString& path) {
    return isRegularFile(path);
}

FileResult LinuxPlatform::copyFile(const QString& from, const QString& to) {
    const int source = open(nativeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        return resultOfErrno(errno);
    }
    const auto closeSource = qScopeGuard([source] { close(source); });
    struct stat sourceInfo {};
    struct stat targetInfo {};
    // Opening the source itself as the target would empty it.
    if (fstat(source, &sourceInfo) == 0 && statPath(to, targetInfo) &&
        sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
        return FileResult::Ok;
    }
    const QByteArray target = nativeName(to);
    const int output = open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (output < 0) {
        return resultOfErrno(errno);
    }
    const bool copied = copyContents(source, output);
    // Some file systems report a failed write only when the file is closed.
    const bool closed = close(output) == 0;
    if (copied && closed) {
        return FileResult::Ok;
    }
    // Half a file would pass for a finished one; only a regular file is
    // removed, never a device that happened to be the target.
    if (statPath(to, targetInfo) && S_ISREG(targetInfo.st_mode)) {
        unlink(target.constData());
    }
    return FileResult::Failed;
}

FileResult LinuxPlatform::removeFile(const QString& path) {
    if (unlink(nativeName(path).constData()) == 0) {
        return FileResult::Ok;
    }
    return errno == EACCES || errno == EPERM || errno == EBUSY ? FileResult::PermissionDenied
                                                               : FileResult::Failed;
}

qint64 LinuxPlatform::fileSize(const QString& path) {
    struct stat info {};
    if (!statPath(path, info) || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return info.st_size;
}

std::optional<QByteArray> LinuxPlatform::readFileHead(const QString& path, qint64 maxBytes) {
    const int fd = open(nativeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    QByteArray head;
    char buffer[64 * 1024];
    while (head.size() < maxBytes) {
        const qint64 wanted = qMin<qint64>(maxBytes - head.size(), sizeof buffer);
        const ssize_t got = readSome(fd, buffer, size_t(wanted));
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        head.append(buffer, got);
    }
    return head;
}

std::optional<QString> LinuxPlatform::readFileInPieces(
    const QString& path, const std::function<void(QByteArrayView piece)>& take) {
    // Not blocking: a named pipe without a writer would hold the open.
    const int fd = open(nativeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return reasonOf(errno);
    }
    const auto closer = qScopeGuard([fd] { close(fd); });
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return reasonOf(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return kNotOrdinary;
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = readSome(fd, buffer, sizeof buffer);
        if (got < 0) {
            return reasonOf(errno);
        }
        if (got == 0) {
            return std::nullopt;
        }
        take(QByteArrayView(buffer, got));
    }
}

bool LinuxPlatform::isFileHeld(const QString& path) {
    return isFileHeldByOthers(path);
}

// The new contents go to a new file beside the target, which then takes the
// target's place by a rename: the old file stays whole until that moment.
std::optional<QString> LinuxPlatform::writeFileAtomic(const QString& path, const QByteArray& data) {
    const SaveTarget target = saveTargetOf(nativeName(path));
    if (!target.failure.isEmpty()) {
        return target.failure;
    }
    const qsizetype slash = target.path.lastIndexOf('/');
    QByteArray temporary =
        target.path.left(slash + 1) + '.' + target.path.mid(slash + 1) + ".XXXXXX";
    // Made readable by its owner only, whatever the umask says.
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return reasonOf(errno);
    }
    auto discard = qScopeGuard([&] { unlink(temporary.constData()); });
    const auto closer = qScopeGuard([fd] { close(fd); });
    if (const std::optional<struct stat>& old = target.existing) {
        const bool sameOwner = old->st_uid == geteuid() && old->st_gid == getegid();
        if (!sameOwner && fchown(fd, old->st_uid, old->st_gid) != 0) {
            return writeInPlace(target.path, data);
        }
        if (fchmod(fd, old->st_mode & 07777) != 0) {
            return reasonOf(errno);
        }
    }
    if (!writeAll(fd, data.constData(), data.size()) || fsync(fd) != 0 ||
        rename(temporary.constData(), target.path.constData()) != 0) {
        return reasonOf(errno);
    }
    discard.dismiss();
    return std::nullopt;
}

bool LinuxPlatform::openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool LinuxPlatform::openUrl(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

QString LinuxPlatform::programFolder() {
    return QCoreApplication::applicationDirPath();
}

QString LinuxPlatform::configFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/TarnWick");
    QDir().mkpath(folder);
    return folder;
}

bool LinuxPlatform::isFolderWritable(const QString& folder) {
    struct stat info {};
    return statPath(folder, info) && S_ISDIR(info.st_mode) &&
           access(nativeName(folder).constData(), W_OK) == 0;
}

void LinuxPlatform::endProgram() {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

Prompts& LinuxPlatform::interactivePrompts() {
    return prompts_;
}

bool LinuxPlatform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        requestTermination();
    }
    return false;
}
