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

LinuxPlatform::LinuxPlatform(Prompts& prompts, QObject* parent) : prompts_(prompts) {
    setParent(parent);
    connect(&TerminationSignals::instance(), &TerminationSignals::requested, this,
            &Platform::requestTermination);
    // A quit event comes from the session manager: the end of the session.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
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

Prompts& LinuxPlatform::interactivePrompts() {
    return prompts_;
}

bool LinuxPlatform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        requestTermination();
    }
    return false;
}
