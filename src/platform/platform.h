#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/standard_error_prompts.h"

// How a started program's window is to be shown. The value travels with every
// start; on X11 it has no effect, a window manager decides.
enum class WindowMode { Normal = 1, Minimised = 2, Maximised = 3 };

// The outcome of a file operation. Permission denied is told apart because the
// distill pass handles it on its own (another program holds the file).
enum class FileResult { Ok, PermissionDenied, Failed };

// Everything the program asks of the operating system. The real implementation
// talks to Linux; the tests use a stand-in that scripts every answer.
class Platform : public QObject {
    Q_OBJECT
  public:
    using ProcessId = qint64;

    ~Platform() override = default;

    // Starts a command line written in the original quoting (blanks separate,
    // double quotes group) without a shell and without waiting. Returns the id
    // of the started process, or nothing when it could not be started.
    virtual std::optional<ProcessId> startProcess(const QString& commandLine, WindowMode mode) = 0;
    // True while a process started by startProcess has not yet ended.
    virtual bool isProcessRunning(ProcessId id) = 0;
    // True once a process started by startProcess has ended with an exit code
    // other than 0 or by a signal.
    virtual bool endedWithFailure(ProcessId id) = 0;

    // Names of the ordinary, visible files of a folder, in the file system's order.
    virtual QStringList listFiles(const QString& folder) = 0;
    // True when path names an ordinary file (not a folder).
    virtual bool fileExists(const QString& path) = 0;
    virtual FileResult copyFile(const QString& from, const QString& to) = 0;
    virtual FileResult removeFile(const QString& path) = 0;
    // Size in bytes of an ordinary file; -1 when there is none.
    virtual qint64 fileSize(const QString& path) = 0;
    // Up to maxBytes from the start of a file; nothing when it cannot be read.
    virtual std::optional<QByteArray> readFileHead(const QString& path, qint64 maxBytes) = 0;
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

    // Opens a folder in the desktop's file browser, or an address in its browser.
    virtual bool openFolder(const QString& folder) = 0;
    virtual bool openUrl(const QString& address) = 0;

    // The folder of the program's executable, without a trailing separator.
    virtual QString programFolder() = 0;
    // The user's configuration folder, without a trailing separator.
    virtual QString configFolder() = 0;
    // True when files can be created in the folder.
    virtual bool isFolderWritable(const QString& folder) = 0;

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
