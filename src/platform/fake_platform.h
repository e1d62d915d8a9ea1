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
    bool isProcessRunning(ProcessId id) override;
    bool endedWithFailure(ProcessId id) override { return failedRuns_.contains(id); }
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
    QString programFolder() override { return programFolderPath; }
    QString configFolder() override { return configFolderPath; }
    bool isFolderWritable(const QString& folder) override;
    void endProgram() override { ++endCount; }

    // Ends a started process, as Ghostscript does when it has finished.
    void finishProcess(ProcessId id, bool failed = false);

    struct Started {
        QString commandLine;
        WindowMode mode;
        ProcessId id;
    };
    QList<Started> started;
    bool failStart = false;
    // Called for every start; a test writes Ghostscript's output here and may
    // finish the process at once.
    std::function<void(const Started&)> onStart;

    // Scripted failures, keyed on the path that fails: the target of a copy,
    // the file of a delete, read or write.
    QHash<QString, FileResult> copyFailures;
    QHash<QString, FileResult> removeFailures;
    QSet<QString> unreadable;
    QSet<QString> unwritableFiles;
    QSet<QString> unwritableFolders;
    // Files held by another program, with the number of checks that still
    // find them held (-1: until released).
    QHash<QString, int> held;
    int heldChecks = 0;

    QStringList openedFolders;
    QStringList openedUrls;
    QString programFolderPath;
    QString configFolderPath;
    int endCount = 0;
    FakePrompts fakePrompts;

  protected:
    Prompts& interactivePrompts() override { return fakePrompts; }

  private:
    QSet<ProcessId> running_;
    QSet<ProcessId> failedRuns_;
    ProcessId nextId_ = 100;
};
