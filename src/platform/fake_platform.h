#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <functional>

#include "platform/platform.h"
#include "platform/prompts.h"

// Scripted message and input boxes for tests: answers are taken from queues
// (OK and nothing when empty), and every box shown is recorded.
class FakePrompts : public Prompts {
  public:
    struct Shown {
        QString text;
        Buttons buttons;
    };

    Answer message(const QString& text, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;

    QList<Answer> answers;
    QList<std::optional<QString>> inputs;
    QList<Shown> shown;
    QStringList inputPrompts;
    // Runs while a box is open, as a person would act meanwhile.
    std::function<void()> whileOpen;
};

// The platform for tests. Files are real (the tests work in temporary
// folders), but any operation can be made to fail; processes, the desktop,
// the end of the program and the prompts are scripted and recorded.
class FakePlatform : public Platform {
    Q_OBJECT
  public:
    std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode) override;
    std::optional<ProcessId> startRun(const QString& program, const QStringList& arguments,
                                      WindowMode mode,
                                      const QString& workingFolder = QString()) override;
    void endRun(ProcessId id) override;
    bool isProcessRunning(ProcessId id) override;
    std::optional<int> exitCode(ProcessId id) override { return exitCodes_.value(id); }
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
    QStringList volumes() override { return volumeList; }
    std::optional<FolderContents> readFolder(const QString& folder) override;
    std::optional<QString> writePrivateFile(const QString& path, const QByteArray& data) override;
    bool isSameFile(const QString& first, const QString& second) override;
    bool openFolder(const QString& folder) override;
    bool openUrl(const QString& address) override;
    QString programFolder() override { return programFolderPath; }
    QString configFolder() override { return configFolderPath; }
    bool isFolderWritable(const QString& folder) override;
    std::optional<QString> folderError(const QString& folder) override;
    bool isSameFolder(const QString& a, const QString& b) override;
    bool claimSingleInstance() override { return !otherInstance; }
    void endProgram() override { ++endCount; }

    // Ends a started process, as Ghostscript does when it has finished, with
    // an exit code or, given nothing, by a signal.
    void finishProcess(ProcessId id, std::optional<int> exitCode = 0);

    struct Started {
        QString commandLine;    // a command line, or the program of a run
        QStringList arguments;  // of a run
        WindowMode mode;
        ProcessId id;
        QString workingFolder;
    };
    QList<Started> started;
    QList<ProcessId> endedRuns;
    bool failStart = false;
    // Called for every start; a test writes Ghostscript's output here and may
    // finish the process at once.
    std::function<void(const Started&)> onStart;

    // Scripted failures, keyed on the path that fails: the target of a move,
    // the file of a delete, read or write.
    QHash<QString, MoveError> moveFailures;
    QHash<QString, FileResult> copyFailures;
    QHash<QString, FileResult> removeFailures;
    QSet<QString> unreadable;  // files and folders
    QSet<QString> unwritableFiles;
    QSet<QString> unwritableFolders;
    // Files held by another program, with the number of checks that still
    // find them held (-1: until released).
    QHash<QString, int> held;
    int heldChecks = 0;

    // The mounted volumes, by mount point.
    QStringList volumeList{QStringLiteral("/")};

    QStringList openedFolders;
    QStringList openedUrls;
    QString programFolderPath;
    QString configFolderPath;
    int endCount = 0;
    bool otherInstance = false;
    FakePrompts fakePrompts;

  protected:
    Prompts& interactivePrompts() override { return fakePrompts; }

  private:
    std::optional<ProcessId> record(const Started& start);

    QSet<ProcessId> running_;
    QHash<ProcessId, std::optional<int>> exitCodes_;
    ProcessId nextId_ = 100;
};
