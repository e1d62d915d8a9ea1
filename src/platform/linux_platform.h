#pragma once

#include "platform/platform.h"
#include "platform/qt_prompts.h"

#include <QHash>
#include <QSet>

class QProcess;

// The platform layer on Linux: POSIX calls, /proc and Qt.
class LinuxPlatform : public Platform {
    Q_OBJECT
  public:
    explicit LinuxPlatform(QObject* parent = nullptr);
    ~LinuxPlatform() override;

    std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode) override;
    bool isProcessRunning(ProcessId id) override;
    bool endedWithFailure(ProcessId id) override;

    QStringList listFiles(const QString& folder) override;
    bool fileExists(const QString& path) override;
    FileResult copyFile(const QString& from, const QString& to) override;
    FileResult removeFile(const QString& path) override;
    qint64 fileSize(const QString& path) override;
    std::optional<QByteArray> readFileHead(const QString& path, qint64 maxBytes) override;
    std::optional<QString> readFileInPieces(
        const QString& path, const std::function<void(QByteArrayView piece)>& take) override;
    bool isFileHeld(const QString& path) override;
    std::optional<QString> writeFileAtomic(const QString& path, const QByteArray& data) override;

    bool openFolder(const QString& folder) override;
    bool openUrl(const QString& address) override;

    QString programFolder() override;
    QString configFolder() override;
    bool isFolderWritable(const QString& folder) override;

    void endProgram() override;

  protected:
    Prompts& interactivePrompts() override;
    // The session manager ends the program at logout with a quit event.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<ProcessId, QProcess*> running_;
    QSet<ProcessId> failed_;
    QtPrompts prompts_;
};
