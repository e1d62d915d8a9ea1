#include "platform/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/linux_files.h"

Prompts::Answer FakePrompts::message(const QString& text, Buttons buttons) {
    shown.append({text, buttons});
    if (whileOpen) {
        whileOpen();
    }
    return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
}

std::optional<QString> FakePrompts::input(const QString& prompt, const QString&,
                                          const QString& proposal) {
    inputPrompts.append(prompt);
    return inputs.isEmpty() ? std::optional<QString>(proposal) : inputs.takeFirst();
}

std::optional<Platform::ProcessId> FakePlatform::startProcess(const QString& commandLine,
                                                              WindowMode mode) {
    return record({commandLine, {}, mode, nextId_, {}});
}

std::optional<Platform::ProcessId> FakePlatform::startRun(const QString& program,
                                                          const QStringList& arguments,
                                                          WindowMode mode,
                                                          const QString& workingFolder) {
    return record({program, arguments, mode, nextId_, workingFolder});
}

std::optional<Platform::ProcessId> FakePlatform::record(const Started& start) {
    if (failStart) {
        return std::nullopt;
    }
    ++nextId_;
    started.append(start);
    running_.insert(start.id);
    if (onStart) {
        onStart(start);
    }
    return start.id;
}

void FakePlatform::endRun(ProcessId id) {
    if (running_.contains(id)) {
        endedRuns.append(id);
        finishProcess(id, std::nullopt);
    }
}

bool FakePlatform::isProcessRunning(ProcessId id) {
    return running_.contains(id);
}

void FakePlatform::finishProcess(ProcessId id, std::optional<int> exitCode) {
    if (running_.remove(id)) {
        exitCodes_.insert(id, exitCode);
        emit processEnded(id);
    }
}

QStringList FakePlatform::listFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

bool FakePlatform::fileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

FileResult FakePlatform::copyFile(const QString& from, const QString& to) {
    if (copyFailures.contains(to)) {
        return copyFailures.value(to);
    }
    if (!QFileInfo(from).isFile()) {
        return FileResult::Failed;
    }
    QFile::remove(to);
    return QFile::copy(from, to) ? FileResult::Ok : FileResult::Failed;
}

FileResult FakePlatform::removeFile(const QString& path) {
    if (removeFailures.contains(path)) {
        return removeFailures.value(path);
    }
    return QFile::remove(path) ? FileResult::Ok : FileResult::Failed;
}

std::optional<QByteArray> FakePlatform::readFileHead(const QString& path, qint64 maxBytes) {
    QFile file(path);
    if (unreadable.contains(path) || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(maxBytes);
}

std::optional<FileStatus> FakePlatform::fileStatus(const QString& path) {
    return statusOf(path);
}

std::optional<QByteArray> FakePlatform::readFileTail(const QString& path, qint64 maxBytes) {
    if (unreadable.contains(path)) {
        return std::nullopt;
    }
    return readTail(path, maxBytes);
}

std::optional<MoveError> FakePlatform::moveFile(const QString& from, const QString& to,
                                                const std::function<bool()>& keepGoing) {
    if (moveFailures.contains(to)) {
        return moveFailures.value(to);
    }
    return moveIntoPlace(from, to, keepGoing);
}

std::optional<QString> FakePlatform::createOutputFile(const QString& path,
                                                      const QString& modelPath) {
    return ::createOutputFile(path, modelPath);
}

std::optional<QString> FakePlatform::readFileInPieces(
    const QString& path, const std::function<void(QByteArrayView piece)>& take) {
    QFile file(path);
    if (unreadable.contains(path) || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot be read");
    }
    while (!file.atEnd()) {
        take(file.read(64 * 1024));
    }
    return std::nullopt;
}

bool FakePlatform::isFileHeld(const QString& path) {
    ++heldChecks;
    auto it = held.find(path);
    if (it == held.end()) {
        return false;
    }
    if (it.value() > 0 && --it.value() == 0) {
        held.erase(it);
    }
    return true;
}

std::optional<QString> FakePlatform::writeFileAtomic(const QString& path, const QByteArray& data) {
    if (unwritableFiles.contains(path)) {
        return QStringLiteral("Permission denied");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

std::optional<FolderContents> FakePlatform::readFolder(const QString& folder) {
    const QDir dir(folder);
    if (unreadable.contains(folder) || !dir.exists()) {
        return std::nullopt;
    }
    return FolderContents{dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                          dir.entryList(QDir::Files, QDir::Name)};
}

std::optional<QString> FakePlatform::writePrivateFile(const QString& path, const QByteArray& data) {
    QFile::remove(path);
    return writeFileAtomic(path, data);
}

bool FakePlatform::isSameFile(const QString& first, const QString& second) {
    const QFileInfo a(first);
    return a.exists() && a.canonicalFilePath() == QFileInfo(second).canonicalFilePath();
}

bool FakePlatform::openFolder(const QString& folder) {
    openedFolders.append(folder);
    return true;
}

bool FakePlatform::openUrl(const QString& address) {
    openedUrls.append(address);
    return true;
}

bool FakePlatform::isFolderWritable(const QString& folder) {
    return !unwritableFolders.contains(folder) && QFileInfo(folder).isDir();
}

std::optional<QString> FakePlatform::folderError(const QString& folder) {
    if (unwritableFolders.contains(folder)) {
        return QStringLiteral("Permission denied");
    }
    return ::folderError(folder);
}

bool FakePlatform::isSameFolder(const QString& a, const QString& b) {
    return ::isSameFolder(a, b);
}
