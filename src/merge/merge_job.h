#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>

#include "platform/process_id.h"

class Configuration;
class PdfResults;
class Platform;
class TextTable;
struct DistillerState;

// The merge job: asks for a name, writes Ghostscript's argument file into
// the merge folder and runs Ghostscript once on the listed files, in list
// order, into one PDF in the output folder. The run is waited for without
// holding up the windows; the result goes to the list of produced files.
// The input files are never changed or removed.
class MergeJob : public QObject {
    Q_OBJECT
  public:
    // Longest time between two looks at a running Ghostscript.
    static constexpr int kPollMs = 250;

    enum class Start { NothingToMerge, NoName, Refused, Started };

    MergeJob(Configuration& config, PdfResults& results, const TextTable& texts, Platform& platform,
             const DistillerState& distiller, QObject* parent = nullptr);

    // The merge button, with the merge list's rows in order.
    Start start(const QStringList& rows);
    // The number part of the proposed name, from the output folder's files.
    QString Next_Merge_Number();

    // From the start of a run until its result is reported.
    bool isRunning() const { return phase_ != Phase::Idle; }
    // Exit and close requests: ends a running Ghostscript and removes what it
    // left unfinished; no message is shown.
    void abort();

  signals:
    // The progress line; the first one of a run means that it has begun.
    void progress(const QString& line);
    // The run is over and its result reported.
    void finished();

  private:
    enum class Phase { Idle, WaitingForPass, Running };

    bool refuses(const QString& name, const QStringList& rows);
    void launch();
    void check();
    void finish(bool produced, const QString& reason = QString());

    Configuration& config_;
    PdfResults& results_;
    const TextTable& texts_;
    Platform& platform_;
    const DistillerState& distiller_;
    Phase phase_ = Phase::Idle;
    bool aborting_ = false;
    QStringList rows_;
    QString outputPath_;
    std::optional<ProcessId> process_;
    QTimer poll_;
};
