#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/file_status.h"
#include "platform/process_id.h"

#include "platform/standard_error_prompts.h"

// How a started program's window is to be shown. The value travels with every
// start; on X11 it has no effect, a window manager decides.
enum class WindowMode { Normal = 1, Minimised = 2, Maximised = 3 };

// The outcome of a file operation.
enum class FileResult { Ok, PermissionDenied, Failed };

// What a folder holds: the names of its visible subfolders and of its visible
// ordinary files, in the file system's order (a link counts as what it leads to).
struct FolderContents {
    QStringList folders;
    QStringList files;
};

// Everything the program asks of the operating system. The real implementation
// talks to Linux; the tests use a stand-in that scripts every answer.
class Platform : public QObject {
    Q_OBJECT
  public:
    using ProcessId = ::ProcessId;

    ~Platform() override = default;

    // Starts a command line written in the original quoting (blanks separate,
    // double quotes group) without a shell and without waiting. The program
    // runs on by itself after this one ends. Returns the id of the started
    // process, or nothing when it could not be started. Ids are never reused.
    virtual std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode) = 0;
    // Starts a program with its arguments as they are, without a shell and
    // without waiting, in the given working folder (empty: ours), as a run
    // that belongs to this program: it and its children end with endRun and
    // when this program ends, however it ends.
    virtual std::optional<ProcessId> startRun(const QString& program, const QStringList& arguments,
                                              WindowMode mode,
                                              const QString& workingFolder = QString()) = 0;
    // Ends a run that has not yet ended, and its children.
    virtual void endRun(ProcessId id) = 0;
    // True while a started process has not yet ended.
    virtual bool isProcessRunning(ProcessId id) = 0;
    // The exit code of a started process that has ended by itself; nothing
    // while it runs and when a signal ended it.
    virtual std::optional<int> exitCode(ProcessId id) = 0;
    // True once a started process has ended with an exit code other than 0
    // or by a signal.
    bool endedWithFailure(ProcessId id) { return !isProcessRunning(id) && exitCode(id) != 0; }

    // Names of the ordinary, visible files of a folder, in the file system's order.
    virtual QStringList listFiles(const QString& folder) = 0;
    // True when path names an ordinary file (not a folder).
    virtual bool fileExists(const QString& path) = 0;
    // Copies a file over any file of that name; copying a file onto itself
    // changes nothing.
    virtual FileResult copyFile(const QString& from, const QString& to) = 0;
    virtual FileResult removeFile(const QString& path) = 0;
    // What the file (or what a link leads to) is now; nothing when there is none.
    virtual std::optional<FileStatus> fileStatus(const QString& path) = 0;
    // Up to maxBytes from the start of a file; nothing when it cannot be read.
    virtual std::optional<QByteArray> readFileHead(const QString& path, qint64 maxBytes) = 0;
    // Up to maxBytes from the end of a file; nothing when it cannot be read.
    virtual std::optional<QByteArray> readFileTail(const QString& path, qint64 maxBytes) = 0;
    // Moves a file so that it appears at to only whole, keeping its
    // permissions; see moveIntoPlace (linux_files.h). keepGoing is called
    // between the pieces of a copy between file systems.
    virtual std::optional<MoveError> moveFile(const QString& from, const QString& to,
                                              const std::function<bool()>& keepGoing) = 0;
    // Makes a new empty file at path, no more readable than modelPath.
    // Returns the reason on failure, nothing on success.
    virtual std::optional<QString> createOutputFile(const QString& path,
                                                    const QString& modelPath) = 0;
    // True while another process has the file open or wrote to it a moment ago.
    virtual bool isFileHeld(const QString& path) = 0;
    // Reads an ordinary file, or what a link leads to, from start to end and
    // hands it to take piece by piece. Anything else (a folder, a device, a
    // named pipe) is not read at all. Returns the reason on failure, nothing
    // on success.
    virtual std::optional<QString> readFileInPieces(
        const QString& path, const std::function<void(QByteArrayView piece)>& take) = 0;
    // Replaces a file as a whole: a failed or interrupted write leaves the
    // previous file intact. Only an ordinary file is written, or a new one
    // made; a link is followed only to an ordinary file. A new file is
    // readable by its owner only, an existing one keeps its mode and owner.
    // Returns the reason on failure, nothing on success.
    virtual std::optional<QString> writeFileAtomic(const QString& path, const QByteArray& data) = 0;
    // Writes a new file that only its owner may read and write, in place of a
    // file of that name (never through a link). Returns the reason on failure.
    virtual std::optional<QString> writePrivateFile(const QString& path,
                                                    const QByteArray& data) = 0;
    // True when both paths lead to the same existing file.
    virtual bool isSameFile(const QString& first, const QString& second) = 0;

    // The mounted volumes that hold files, each by its mount point, the root
    // "/" first. Only the system's table of mounts is read, no volume itself,
    // so a dead network mount cannot hold this up.
    virtual QStringList volumes() = 0;
    // What a folder holds; nothing when it cannot be read (gone, no
    // permission, or no answer in time, as from a dead network mount).
    virtual std::optional<FolderContents> readFolder(const QString& folder) = 0;

    // Opens a folder in the desktop's file browser, or an address in its browser.
    virtual bool openFolder(const QString& folder) = 0;
    virtual bool openUrl(const QString& address) = 0;

    // The folder of the program's executable, without a trailing separator.
    virtual QString programFolder() = 0;
    // The user's configuration folder, without a trailing separator.
    virtual QString configFolder() = 0;
    // True when files can be created in the folder.
    virtual bool isFolderWritable(const QString& folder) = 0;
    // Nothing when files can be made in and taken out of the folder, else the
    // reason why not.
    virtual std::optional<QString> folderError(const QString& folder) = 0;
    // True when the two paths lead to the same folder as the file system sees
    // it (links followed, letter case counting).
    virtual bool isSameFolder(const QString& a, const QString& b) = 0;

    // Claims the one instance of the program this user may run. False when
    // another instance holds it; a claim left by an ended instance is taken.
    virtual bool claimSingleInstance() = 0;

    // Ends the program at once: no further event of any window runs.
    virtual void endProgram() = 0;

    // The message and input boxes. Once the program is being ended from
    // outside, no box waits for a person: messages go to standard error.
    Prompts& prompts();

    // The program is asked to end from outside (a signal, the end of the
    // session): open boxes are closed as if cancelled, later ones are not
    // shown, and terminationRequested follows.
    void requestTermination();

  signals:
    // A process started by startProcess has ended (may come late or never;
    // isProcessRunning is the authority).
    void processEnded(Platform::ProcessId id);
    // The program was asked to end from outside (SIGTERM, SIGINT, the end of
    // the session): a close request of the main window.
    void terminationRequested();

  protected:
    // The boxes a person answers.
    virtual Prompts& interactivePrompts() = 0;

  private:
    bool unattended_ = false;
    StandardErrorPrompts standardError_;
};
