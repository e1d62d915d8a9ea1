#include "platform/linux_platform.h"
#include "platform/termination_signals.h"

#include "platform/command_line.h"
#include "platform/file_busy.h"
#include "platform/linux_files.h"
#include "platform/mount_table.h"
#include "platform/within_deadline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
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

// Lists a folder, waiting as long as the file system takes.
std::optional<FolderContents> readFolderNow(const QString& folder) {
    DIR* dir = opendir(nativeName(folder).constData());
    if (dir == nullptr) {
        return std::nullopt;
    }
    const auto closer = qScopeGuard([dir] { closedir(dir); });
    FolderContents contents;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        unsigned char type = entry->d_type;
        // Links and file systems without entry types need a look at the
        // entry itself; a link counts as what it leads to.
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {};
            const bool found = fstatat(dirfd(dir), entry->d_name, &info, 0) == 0;
            type = !found                  ? DT_UNKNOWN
                   : S_ISDIR(info.st_mode) ? DT_DIR
                   : S_ISREG(info.st_mode) ? DT_REG
                                           : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            contents.folders.append(QFile::decodeName(entry->d_name));
        } else if (type == DT_REG) {
            contents.files.append(QFile::decodeName(entry->d_name));
        }
    }
    return contents;
}

}  // namespace

LinuxPlatform::LinuxPlatform(Prompts& prompts, QObject* parent) : prompts_(prompts) {
    setParent(parent);
    connect(new TerminationSignals(this), &TerminationSignals::requested, this,
            &Platform::terminationRequested);
}

LinuxPlatform::~LinuxPlatform() {
    endRuns();
    // Other started programs run on by themselves: a process object that is
    // destroyed would end its program. The runs' objects go with this one.
    for (auto it = running_.cbegin(); it != running_.cend(); ++it) {
        it.value()->disconnect(this);
        if (!runs_.contains(it.key())) {
            it.value()->setParent(nullptr);
        }
    }
}

std::optional<Platform::ProcessId> LinuxPlatform::startProcess(const QString& commandLine,
                                                               WindowMode mode) {
    // The window mode is the started program's business on X11: a window
    // manager places and sizes windows, so the mode is not passed on.
    Q_UNUSED(mode);
    const CommandLine split = splitCommandLine(commandLine, isRegularFile);
    return start(split.program, split.arguments, false);
}

std::optional<Platform::ProcessId> LinuxPlatform::startRun(const QString& program,
                                                           const QStringList& arguments,
                                                           WindowMode mode,
                                                           const QString& workingFolder) {
    Q_UNUSED(mode);
    return start(program, arguments, true, workingFolder);
}

std::optional<Platform::ProcessId> LinuxPlatform::start(const QString& program,
                                                        const QStringList& arguments, bool run,
                                                        const QString& workingFolder) {
    if (program.isEmpty()) {
        return std::nullopt;
    }
    // A child of ours, so that its end and its exit code are known; its output
    // goes where ours goes, its input is empty (a program that reads it must
    // not wait for us). Waiting for the start only covers the exec, so the
    // process exists (and is never taken as ended) once this returns.
    auto* process = new QProcess(this);
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty()) {
        process->setWorkingDirectory(workingFolder);
    }
    if (run) {
        // A group of its own, so that ending the run reaches its children;
        // and ended by the system when this program ends, even by SIGKILL.
        const pid_t parent = getpid();
        process->setChildProcessModifier([parent] {
            setpgid(0, 0);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) {
                _exit(127);
            }
        });
    }
    process->start();
    if (!process->waitForStarted(-1)) {
        delete process;
        return std::nullopt;
    }
    const ProcessId id = nextId_++;
    running_.insert(id, process);
    if (run) {
        runs_.insert(id);
    }
    connect(process, &QProcess::finished, this,
            [this, id, process](int exitCode, QProcess::ExitStatus status) {
                running_.remove(id);
                runs_.remove(id);
                exitCodes_.insert(id, status == QProcess::NormalExit ? std::optional<int>(exitCode)
                                                                     : std::nullopt);
                process->deleteLater();
                emit processEnded(id);
            });
    return id;
}

void LinuxPlatform::endRun(ProcessId id) {
    const QProcess* process = running_.value(id);
    // Only while the process is not yet reaped does its group id surely
    // stand for its own group.
    if (process != nullptr && runs_.contains(id) && process->state() != QProcess::NotRunning) {
        kill(-pid_t(process->processId()), SIGKILL);
    }
}

void LinuxPlatform::endRuns() {
    for (const ProcessId id : std::as_const(runs_)) {
        endRun(id);
    }
}

bool LinuxPlatform::isProcessRunning(ProcessId id) {
    const QProcess* process = running_.value(id);
    return process != nullptr && process->state() != QProcess::NotRunning;
}

std::optional<int> LinuxPlatform::exitCode(ProcessId id) {
    return exitCodes_.value(id);
}

QStringList LinuxPlatform::listFiles(const QString& folder) {
    return readFolderNow(folder).value_or(FolderContents()).files;
}

QStringList LinuxPlatform::volumes() {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return volumesFromMountInfo(table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray());
}

std::optional<FolderContents> LinuxPlatform::readFolder(const QString& folder) {
    // Long enough for a slow network, short enough not to seem stuck.
    constexpr std::chrono::milliseconds kAnswerTime{2000};
    return callWithin<FolderContents>([folder] { return readFolderNow(folder); }, kAnswerTime);
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

std::optional<FileStatus> LinuxPlatform::fileStatus(const QString& path) {
    return statusOf(path);
}

std::optional<QByteArray> LinuxPlatform::readFileTail(const QString& path, qint64 maxBytes) {
    return readTail(path, maxBytes);
}

std::optional<MoveError> LinuxPlatform::moveFile(const QString& from, const QString& to,
                                                 const std::function<bool()>& keepGoing) {
    return moveIntoPlace(from, to, keepGoing);
}

std::optional<QString> LinuxPlatform::createOutputFile(const QString& path,
                                                       const QString& modelPath) {
    return ::createOutputFile(path, modelPath);
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

std::optional<QString> LinuxPlatform::writePrivateFile(const QString& path,
                                                       const QByteArray& data) {
    const QByteArray name = nativeName(path);
    // A new file, so that neither an old file's wider mode nor a link left
    // in its place decides where the data goes or who may read it.
    if (unlink(name.constData()) != 0 && errno != ENOENT) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    const int fd =
        open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    const bool written = fchmod(fd, 0600) == 0 && writeAll(fd, data.constData(), data.size());
    int error = errno;
    // Some file systems report a failed write only when the file is closed.
    const bool closed = close(fd) == 0;
    if (written && !closed) {
        error = errno;
    }
    if (!written || !closed) {
        unlink(name.constData());
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return std::nullopt;
}

bool LinuxPlatform::isSameFile(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    return statPath(first, a) && statPath(second, b) && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

bool LinuxPlatform::openFolder(const QString& folder) {
    return openUrl(QUrl::fromLocalFile(folder).toString());
}

// The desktop's own choice of file browser or web browser.
bool LinuxPlatform::openUrl(const QString& address) {
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({address});
    opener.setStandardInputFile(QProcess::nullDevice());
    return opener.startDetached();
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

std::optional<QString> LinuxPlatform::folderError(const QString& folder) {
    return ::folderError(folder);
}

bool LinuxPlatform::isSameFolder(const QString& a, const QString& b) {
    return ::isSameFolder(a, b);
}

bool LinuxPlatform::claimSingleInstance() {
    // The runtime folder is the user's own; QLockFile takes over a lock whose
    // process has ended.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    instanceLock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/tarnwick.lock"));
    instanceLock_->setStaleLockTime(0);
    return instanceLock_->tryLock(0);
}

void LinuxPlatform::endProgram() {
    endRuns();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

Prompts& LinuxPlatform::prompts() {
    return prompts_;
}
