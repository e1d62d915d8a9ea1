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

    std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode) override;
    std::optional<ProcessId> startRun(const QString& program, const QStringList& arguments,
                                      WindowMode mode,
                                      const QString& workingFolder = QString()) override;
    void endRun(ProcessId id) override;
    bool isProcessRunning(ProcessId id) override;
    std::optional<int> exitCode(ProcessId id) override;

    QStringList listFiles(const QString& folder) override;
    bool fileExists(const QString& path) override;
    FileResult copyFile(const QString& from, const QString& to) override;
    FileResult removeFile(const QString& path) override;
    std::optional<FileStatus> fileStatus(const QString& path) override;
    std::optional<QByteArray> readFileHead(const QString& path, qint64 maxBytes) override;
    std::optional<QByteArray> readFileTail(const QString& path, qint64 maxBytes) override;
    std::optional<MoveError> moveFile(const QString& from, const QString& to,
                                      const std::function<bool()>& keepGoing) override;
    std::optional<QString> createOutputFile(const QString& path, const QString& modelPath) override;
    std::optional<QString> readFileInPieces(
        const QString& path, const std::function<void(QByteArrayView piece)>& take) override;
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
    std::optional<QString> folderError(const QString& folder) override;
    bool isSameFolder(const QString& a, const QString& b) override;
    bool claimSingleInstance() override;

    void endProgram() override;

  protected:
    Prompts& interactivePrompts() override;
    // The session manager ends the program at logout with a quit event.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<ProcessId> start(const QString& program, const QStringList& arguments, bool run,
                                   const QString& workingFolder = QString());
    void endRuns();

    QHash<ProcessId, QProcess*> running_;
    QSet<ProcessId> runs_;  // the running processes that end with this program
    QHash<ProcessId, std::optional<int>> exitCodes_;
    ProcessId nextId_ = 1;
    std::unique_ptr<QLockFile> instanceLock_;
    Prompts& prompts_;
};
