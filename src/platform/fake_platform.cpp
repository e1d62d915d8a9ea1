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
                                                              WindowMode mode,
                                                              const QString& workingFolder) {
    if (failStart) {
        return std::nullopt;
    }
    const Started start{commandLine, mode, nextId_++, workingFolder};
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

bool FakePlatform::isSameFolder(const QString& first, const QString& second) {
    const QString a = QFileInfo(first).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(second).canonicalFilePath();
}

bool FakePlatform::isFolderWritable(const QString& folder) {
    return !unwritableFolders.contains(folder) && QFileInfo(folder).isDir();
}
