#include "platform/linux_platform.h"
#include "platform/termination_signals.h"

#include "platform/command_line.h"
#include "platform/file_busy.h"
#include "platform/linux_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

ssize_t readSome(int fd, char* buffer, size_t size) {
    ssize_t got = 0;
    do {
        got = read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
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
                                                           WindowMode mode) {
    Q_UNUSED(mode);
    return start(program, arguments, true);
}

std::optional<Platform::ProcessId> LinuxPlatform::start(const QString& program,
                                                        const QStringList& arguments, bool run) {
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

void LinuxPlatform::endProgram() {
    endRuns();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

Prompts& LinuxPlatform::prompts() {
    return prompts_;
}
