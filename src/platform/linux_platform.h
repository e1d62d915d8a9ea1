#pragma once

#include "platform/platform.h"

#include <QHash>
#include <QSet>
#include <memory>

class QLockFile;
class QProcess;

// The platform layer on Linux: POSIX calls, /proc and Qt.
class LinuxPlatform : public Platform {
    Q_OBJECT
  public:
    // The prompts are the windowing layer's; the platform only hands them on.
    explicit LinuxPlatform(Prompts& prompts, QObject* parent = nullptr);
    ~LinuxPlatform() override;

    std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode,
                                          const QString& workingFolder = QString()) override;
    bool isProcessRunning(ProcessId id) override;
    bool endedWithFailure(ProcessId id) override;
    void endProcess(ProcessId id) override;

    QStringList listFiles(const QString& folder) override;
    bool fileExists(const QString& path) override;
    FileResult copyFile(const QString& from, const QString& to) override;
    FileResult removeFile(const QString& path) override;
    qint64 fileSize(const QString& path) override;
    std::optional<QByteArray> readFileHead(const QString& path, qint64 maxBytes) override;
    bool isFileHeld(const QString& path) override;
    std::optional<QString> writeFileAtomic(const QString& path, const QByteArray& data) override;
    std::optional<QString> writePrivateFile(const QString& path, const QByteArray& data) override;
    bool isSameFile(const QString& first, const QString& second) override;

    QStringList volumes() override;
    std::optional<FolderContents> readFolder(const QString& folder) override;

    bool openFolder(const QString& folder) override;
    bool openUrl(const QString& address) override;

    QString programFolder() override;
    QString configFolder() override;
    bool isFolderWritable(const QString& folder) override;
    bool isSameFolder(const QString& first, const QString& second) override;
    bool claimSingleInstance() override;

    void endProgram() override;

    Prompts& prompts() override;

  private:
    QHash<ProcessId, QProcess*> running_;
    QSet<ProcessId> failed_;
    std::unique_ptr<QLockFile> instanceLock_;
    Prompts& prompts_;
};
