#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

#include "distill/engine_context.h"
#include "ghostscript/ghostscript_run.h"
#include "ghostscript/output_placement.h"

class Distiller;

// The merge job: asks for a name, writes Ghostscript's argument file into
// the merge folder and runs Ghostscript once on the listed files, in list
// order, into one PDF in the output folder. The PDF goes the distiller's
// road: written aside, accepted only when whole, renamed into place, no more
// readable than its most private input. The run is waited for without
// holding up the windows; the result goes to the list of produced files.
// The input files are never changed or removed.
class MergeJob : public QObject {
    Q_OBJECT
  public:
    enum class Start { NothingToMerge, NoName, Refused, Started };

    MergeJob(EngineContext& context, const Distiller& distiller, QObject* parent = nullptr);
    ~MergeJob() override;

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
    void ghostscriptEnded(RunEnd end);
    void finish(const std::optional<QString>& failure);

    EngineContext& context_;
    const Distiller& distiller_;
    Phase phase_ = Phase::Idle;
    bool aborting_ = false;
    QStringList rows_;
    std::optional<OutputPlacement> placement_;
    GhostscriptRun run_;
};
