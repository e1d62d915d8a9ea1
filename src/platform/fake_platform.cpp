#include "platform/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    if (failStart) {
        return std::nullopt;
    }
    const Started start{commandLine, mode, nextId_++};
    started.append(start);
    running_.insert(start.id);
    if (onStart) {
        onStart(start);
    }
    return start.id;
}

bool FakePlatform::isProcessRunning(ProcessId id) {
    return running_.contains(id);
}

void FakePlatform::finishProcess(ProcessId id, bool failed) {
    if (running_.remove(id)) {
        if (failed) {
            failedRuns_.insert(id);
        }
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

qint64 FakePlatform::fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

std::optional<QByteArray> FakePlatform::readFileHead(const QString& path, qint64 maxBytes) {
    QFile file(path);
    if (unreadable.contains(path) || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(maxBytes);
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
