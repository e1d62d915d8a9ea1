#pragma once

#include <QObject>
#include <QTimer>
#include <optional>

#include "distill/conversion_journal.h"
#include "distill/engine_context.h"
#include "ghostscript/ghostscript_run.h"
#include "ghostscript/output_placement.h"
#include "ghostscript/resident_ghostscript.h"
#include "platform/folder_files.h"

// The road of one file of the watched folder: it waits until no other
// program holds it, is taken out into the move-to folder, converted by one
// Ghostscript run into the temporary file, and its PDF placed in the output
// folder; or, when that cannot be, it is listed as failed with the reason.
// Every wait returns to the event loop; finished comes once.
class FileConversion : public QObject {
    Q_OBJECT
  public:
    // Longest time between two looks at a file that another program holds.
    static constexpr int kFileFreePollMs = 100;
    // A PostScript file that lacks its end mark counts as still being written
    // while it changed this recently.
    static constexpr qint64 kUnfinishedQuietMs = 10'000;
    // The temporary file Ghostscript writes in the watched folder.
    static constexpr const char* kTempFileName = "Temp_Stay_off";
    // A second name of the moved copy, in the move-to folder, for a file
    // whose own name Ghostscript's command line cannot carry.
    static constexpr const char* kInputAliasName = ".tarnwick-input";

    struct File {
        QString watchDir;  // each folder ends in "/"
        QString moveFolder;
        QString name;
        QString pdfPath;
        bool singleFile = false;  // the file named on the command line
        qint64 listedSize = -1;   // its size when the pass found it
    };
    enum class End { Done, Stopped };

    // With a resident Ghostscript, the files it can take go to it.
    FileConversion(EngineContext& context, File file, ResidentGhostscript* resident = nullptr,
                   QObject* parent = nullptr);

    // Starts on the file's road; finished may come before this returns.
    void begin();
    // Converts again the moved copy that a run which did not finish left in
    // the move-to folder, as the journal found it.
    void beginRecovered(int attempts);
    // Ends the waits: a file not yet taken stays where it is, a run in
    // progress is ended and its file listed as stopped.
    void stop();
    // Something changed in the watched folder: a file that waits is looked
    // at now rather than at its next poll.
    void lookNow();

  signals:
    // The file could not be taken out of the watched folder and stays there;
    // a transient cause (a full disk) may pass by itself.
    void refused(const QString& path, const FileStatus& status, const QString& reason,
                 bool transient);
    // The file left the watched folder for the move-to folder.
    void taken();
    // The file's road is over; pdfPath is the PDF made, empty when none was.
    void finished(FileConversion::End end, const QString& pdfPath);

  private:
    void Check_File_Free();
    bool isStillBeingWritten(const FileStatus& status, const QByteArray& tail) const;
    void take();
    void convert();
    std::optional<QString> Build_GS_Command();
    // The name Ghostscript is given for the moved copy, or why there is none.
    Result<QString> inputForCommandLine();
    void dropAlias();
    void ghostscriptEnded(RunEnd end);
    void fail(const QString& reason);
    void finish(End end, const QString& pdfPath = QString());
    // Lets the window work during a long copy; false once Stop was pressed.
    bool keepWindowAlive();

    EngineContext& context_;
    File file_;
    QString sourcePath_;
    QString inputPath_;  // the moved copy Ghostscript reads
    qint64 lastSize_;    // the source's size at the last look
    bool stopRequested_ = false;
    bool finished_ = false;
    ConversionJournal journal_;
    bool journalWritten_ = false;
    QTimer freePoll_;
    GhostscriptRun run_;
    ResidentGhostscript* resident_ = nullptr;
    bool inResident_ = false;  // the file is a job of the resident Ghostscript
    bool aliased_ = false;     // the input alias was made for this file
    std::optional<OutputPlacement> placement_;
};
