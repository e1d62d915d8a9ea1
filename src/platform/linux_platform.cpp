#include "platform/linux_platform.h"
#include "platform/termination_signals.h"

#include "platform/command_line.h"
#include "platform/file_busy.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

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

// What /proc/<pid>/stat says of a process: its state letter and start time.
struct ProcessStat {
    char state = '?';
    quint64 startTime = 0;
};

std::optional<ProcessStat> readProcessStat(Platform::ProcessId id) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    // The program name in parentheses may hold blanks and parentheses; the
    // fields after the last closing one start with the state (field 3).
    const qsizetype nameEnd = text.lastIndexOf(')');
    if (nameEnd < 0) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = text.mid(nameEnd + 1).simplified().split(' ');
    constexpr qsizetype kStartTimeIndex = 22 - 3;
    if (fields.size() <= kStartTimeIndex || fields[0].isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const quint64 startTime = fields[kStartTimeIndex].toULongLong(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return ProcessStat{fields[0][0], startTime};
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

}  // namespace

LinuxPlatform::LinuxPlatform(QObject* parent) {
    setParent(parent);
    connect(new TerminationSignals(this), &TerminationSignals::requested, this,
            &Platform::terminationRequested);
}

LinuxPlatform::~LinuxPlatform() {
    for (Started& started : started_) {
        stopWatching(started);
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
    qint64 pid = 0;
    if (!QProcess::startDetached(split.program, split.arguments, QString(), &pid) || pid <= 0) {
        return std::nullopt;
    }
    const std::optional<ProcessStat> stat = readProcessStat(pid);
    Started& started = started_[pid];
    stopWatching(started);
    // No stat: the process has ended already (and was reaped); a start time
    // of zero then never matches, as every real one is later than boot.
    started.startTime = stat ? stat->startTime : 0;
    if (stat) {
        watch(pid, started);
    } else {
        QMetaObject::invokeMethod(
            this, [this, pid] { emit processEnded(pid); }, Qt::QueuedConnection);
    }
    return pid;
}

void LinuxPlatform::watch(ProcessId id, Started& started) {
    const int pidfd = int(syscall(SYS_pidfd_open, pid_t(id), 0));
    if (pidfd < 0) {
        return;
    }
    // The pidfd holds on to whatever process had the id when it was opened;
    // the start time read after opening it proves that it is ours.
    const std::optional<ProcessStat> stat = readProcessStat(id);
    if (!stat || stat->startTime != started.startTime) {
        close(pidfd);
        QMetaObject::invokeMethod(
            this, [this, id] { emit processEnded(id); }, Qt::QueuedConnection);
        return;
    }
    started.pidfd = pidfd;
    started.notifier = new QSocketNotifier(pidfd, QSocketNotifier::Read, this);
    connect(started.notifier, &QSocketNotifier::activated, this, [this, id] {
        const auto found = started_.find(id);
        if (found != started_.end()) {
            stopWatching(*found);
        }
        emit processEnded(id);
    });
}

void LinuxPlatform::stopWatching(Started& started) {
    if (started.notifier != nullptr) {
        started.notifier->setEnabled(false);
        started.notifier->deleteLater();
        started.notifier = nullptr;
    }
    if (started.pidfd >= 0) {
        close(started.pidfd);
        started.pidfd = -1;
    }
}

bool LinuxPlatform::isProcessRunning(ProcessId id) {
    const auto found = started_.constFind(id);
    if (found == started_.constEnd()) {
        return false;
    }
    const std::optional<ProcessStat> stat = readProcessStat(id);
    return stat && stat->startTime == found->startTime && stat->state != 'Z' && stat->state != 'X';
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

bool LinuxPlatform::isFileHeld(const QString& path) {
    return isFileHeldByOthers(path);
}

std::optional<QString> LinuxPlatform::writeFileAtomic(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        return file.errorString();
    }
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

Prompts& LinuxPlatform::prompts() {
    return prompts_;
}
