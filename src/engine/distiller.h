#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

#include "engine/distiller_state.h"
#include "i18n/text_ids.h"
#include "platform/file_status.h"

class Configuration;
class PdfResults;
class Platform;
class TextTable;

// The distiller engine: the timer tick, the distill pass over the watched
// folder, the Ghostscript run of each file, the running indicator's step and
// the distiller switch. It reads the configured values at the moment of use
// and reports results; the window paints the looks from its signals.
class Distiller : public QObject {
    Q_OBJECT
  public:
    // Longest time between two checks of a waiting pass.
    static constexpr int kFileFreePollMs = 100;
    static constexpr int kGsPollMs = 500;
    // A PostScript file that declares conformance but lacks its end mark
    // counts as still being written while it changed this recently.
    static constexpr qint64 kUnfinishedQuietMs = 10'000;
    // The temporary file Ghostscript writes in the watched folder.
    static constexpr const char* kTempFileName = "Temp_Stay_off";

    Distiller(Configuration& config, PdfResults& results, const TextTable& texts,
              Platform& platform, QObject* parent = nullptr);

    DistillerState& state() { return state_; }
    const DistillerState& state() const { return state_; }

    // The handler of the 200 ms timer.
    void tick();

    void Distill_Folder();
    // Builds the command of the file in hand and starts Ghostscript. Nothing
    // when it started, else the reason why not: Ghostscript is then not
    // started and the count of produced files stays as it was.
    std::optional<QString> Build_GS_Command();
    void Check_File_Free();
    // The run counts as finished once the Ghostscript process this program
    // started has ended.
    void Check_GS_Window();
    // Lights the next of the six frames of the running indicator.
    void Change_Running_Color();

    void Start_Distiller();
    // The Stop button: switches off, ends the waits of a running pass and
    // the Ghostscript run in hand.
    void Stop_Distiller();

  signals:
    // Something a waiting pass may be waiting for has happened.
    void wake();
    // The Distill button was pressed; the check of the folders follows.
    void startRequested();
    void startRefused();
    void switchedOn();
    void switchedOff();
    // The running indicator lights frame 1 to 6 and darkens the others.
    void indicatorStep(int frame);

  private:
    enum class FileOutcome { Done, PassEnds };
    // A file of the watched folder that was not taken, and why. It is left
    // alone until it changes or, when a folder was the cause, until that
    // folder's trouble is another.
    struct Refusal {
        FileStatus status;
        QString reason;
        bool folderCaused = false;
    };

    FileOutcome handleFile();
    QString folderProblem(const QString& moveFolder) const;
    bool isRefused(const QString& path, const FileStatus& status,
                   const QString& folderReason) const;
    void refuse(const QString& path, const FileStatus& status, const QString& reason,
                bool folderCaused);
    void forgetRefusalsBesides(const QStringList& listing);
    std::optional<QString> convert();
    std::optional<QString> runFailure();
    QString moveReason(const MoveError& error, const QString& sourceFolder,
                       const QString& targetFolder, TextId targetText) const;
    bool isStillBeingWritten(const QString& path);
    bool waitForFreeFile();
    void waitForGhostscript();
    // Runs the event loop for up to ms milliseconds, or until woken.
    void pause(int ms);
    // Lets the window work during a long copy; false once Stop was pressed.
    bool keepWindowAlive();

    Configuration& config_;
    PdfResults& results_;
    const TextTable& texts_;
    Platform& platform_;
    DistillerState state_;
    bool stopRequested_ = false;
    bool runStopped_ = false;  // Stop ended the Ghostscript run in hand
    QHash<QString, Refusal> refusals_;
};
