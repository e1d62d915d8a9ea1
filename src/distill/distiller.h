#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "distill/engine_context.h"
#include "distill/file_conversion.h"
#include "ghostscript/resident_ghostscript.h"
#include "platform/folder_files.h"

// A run for one file named on the command line: the pass converts that file
// of the watched folder to a PDF beside the original and then runs the
// ending, with the PDF made (empty when none was).
struct SingleFileRun {
    QString fileName;  // in the watched folder
    QString pdfPath;
    std::function<void(const QString& pdfPath)> ending;
};

// The distiller engine: the timer tick, the distill pass over the watched
// folder, the running indicator's step and the distiller switch. Each file
// of a pass is a FileConversion of its own, one at a time; the pass waits
// for it through its signals. The configured values are read at the moment
// of use; the window paints the looks from the signals.
class Distiller : public QObject {
    Q_OBJECT
  public:
    // The lock of a watched folder: one distiller at a time, of any user.
    static constexpr const char* kLockFileName = ".tarnwick.lock";

    explicit Distiller(EngineContext& context, QObject* parent = nullptr);
    ~Distiller() override;

    // The handler of the 200 ms timer: while the distiller is on and no pass
    // is in progress, a pass begins; when it is over the status line and the
    // running indicator follow.
    void tick();

    // A file appeared in the watched folder or its writer closed it: while
    // the distiller is on, a pass begins at once (one in progress looks
    // again, and another follows it). Such a pass leaves the running
    // indicator to the tick.
    void folderChanged();

    void Start_Distiller();
    // The Stop button: switches off, ends the waits of a running pass and
    // the Ghostscript run in hand.
    void Stop_Distiller();

    bool isActive() const { return active_; }
    bool isPassInProgress() const { return passInProgress_; }
    // The count of conversions since the distiller was last switched on.
    double currentCount() const { return CurrentCount; }
    // The running indicator's step, 1 to 6 (0 only between two steps).
    int runStep() const { return RunStep; }

    // Hands the distiller the file named on the command line; the next
    // switch-on converts it.
    void beginSingleFile(SingleFileRun run);

  signals:
    // The Distill button was pressed; the check of the folders follows.
    void startRequested();
    void startRefused();
    void switchedOn();
    void switchedOff();
    // The running indicator lights frame 1 to 6 and darkens the others.
    void indicatorStep(int frame);
    // A pass is over.
    void passFinished();

  private:
    // A file of the watched folder that was not taken, and why. It is left
    // alone until it changes or, when a folder was the cause, until that
    // folder's trouble is another.
    struct Refusal {
        FileStatus status;
        QString reason;
        bool folderCaused = false;
        bool transient = false;  // tried again at every pass, listed once
    };

    void Distill_Folder();
    bool claimWatchedFolder(const QString& watchDir, bool showRefusal);
    void releaseWatchedFolder();
    void recover();
    void continuePass();
    void handleEntry(const FolderEntry& entry);
    void conversionFinished(FileConversion::End end, const QString& pdfPath);
    void endOfListing();
    void endPass();
    void Change_Running_Color();
    QString folderProblem(const QString& moveFolder) const;
    bool isRefused(const QString& path, const FileStatus& status,
                   const QString& folderReason) const;
    void refuse(const QString& path, const FileStatus& status, const QString& reason,
                bool folderCaused, bool transient = false);
    void startConversion(FileConversion::File file);
    void forgetRefusalsBesides(const QList<FolderEntry>& listing);

    EngineContext& context_;
    bool active_ = false;
    bool passInProgress_ = false;
    bool stopRequested_ = false;
    bool driving_ = false;      // the pass loop is on the stack
    bool tickedPass_ = false;   // the pass in progress began with a tick
    bool passAgain_ = false;    // the folder changed during the pass
    bool recoveryDue_ = false;  // the journal is looked at in the next pass
    QString lockedFolder_;      // the watched folder whose lock is held
    QString WatchDir;
    QString OutputDir;
    QList<FolderEntry> listing_;
    qsizetype next_ = 0;  // the next entry of the listing
    std::unique_ptr<FileConversion> conversion_;
    ResidentGhostscript resident_;
    double CurrentCount = 0;
    int RunStep = 1;
    std::optional<SingleFileRun> singleFile_;
    QString singleFilePdf_;  // the PDF made of the named file
    QHash<QString, Refusal> refusals_;
};
