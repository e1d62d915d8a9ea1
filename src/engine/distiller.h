#pragma once

#include <QObject>
#include <QSet>
#include <functional>

#include "engine/distiller_state.h"

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
    static constexpr int kBusyPauseMs = 250;
    // The temporary file Ghostscript writes in the watched folder.
    static constexpr const char* kTempFileName = "Temp_Stay_off";

    Distiller(Configuration& config, PdfResults& results, const TextTable& texts,
              Platform& platform, QObject* parent = nullptr);

    DistillerState& state() { return state_; }
    const DistillerState& state() const { return state_; }

    // The handler of the 200 ms timer.
    void tick();

    void Distill_Folder();
    // Builds the command line of the file in hand and starts Ghostscript.
    // False when it could not: Ghostscript is then not started and the count
    // of produced files stays as it was.
    bool Build_GS_Command();
    void Check_File_Free();
    // The run counts as finished once the Ghostscript process this program
    // started has ended.
    void Check_GS_Window();
    // Lights the next of the six frames of the running indicator.
    void Change_Running_Color();

    void Start_Distiller();
    // The Stop button: switches off and ends the waits of a running pass.
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

    FileOutcome handleFile();
    FileOutcome endPassOnPermissionDenied();
    bool waitForFreeFile();
    void waitForGhostscript();
    // Runs the event loop for up to ms milliseconds, or until woken.
    void pause(int ms);
    void reportFailure(const QString& sourcePath);
    QString permissionMessage() const;

    Configuration& config_;
    PdfResults& results_;
    const TextTable& texts_;
    Platform& platform_;
    DistillerState state_;
    bool stopRequested_ = false;
    // Sources already listed as failed, so that a file that keeps failing is
    // listed once, not at every tick.
    QSet<QString> reportedFailures_;
};
