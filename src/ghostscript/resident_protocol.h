#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "ghostscript/gs_command.h"

// The protocol of a resident Ghostscript: one gs started once converts file
// after file, each file one job fed on its standard input; what each job did
// comes back as records on its standard output.
//
// How jobs are kept apart:
// - gs runs without its outer save (-dNOOUTERSAVE), so the save around a job
//   is the outermost one and its restore undoes local and global VM alike
//   (userdict, globaldict, fonts, resources, errordict, serverdict) and the
//   graphics state (page device, halftone, transfer). The stacks are emptied
//   first; what the job left on them goes.
// - The job runs at save level 1, where a one-shot run's file runs, so
//   exitserver and startjob refuse as they do there: exitserver fails with
//   invalidaccess, startjob answers false. quit ends the job, not the server;
//   systemdict's own quit ends gs, as it ends a one-shot run.
// - The output file is set before the save, so that every graphics state of
//   the job has it and none that the restore brings back opens it again; the
//   PDF is closed (OutputFile /dev/null) right after the restore, before the
//   job's end is told. A job that made no page gets the empty page a one-shot
//   run gives it. Distiller parameters the job changed are set back then.
// - After each job the server checks itself: save level 0, its standard
//   input open, every device and system parameter as at the start (page
//   counters aside). A job that changed any of these "left" the server: the
//   next file needs a fresh gs.
// - Records carry a random token that only the server's execute-only code
//   holds, so nothing a job prints can pass for one, and that code refuses
//   to run inside a job.
//
// The caller writes residentPrologue() first and one residentJob() at a time:
// the next only after the previous one's end was read. A job that never ends
// (an endless loop, or one waiting for input) is ended by killing gs; the
// parser then names the job that was running. Stdin closed ends gs.
// "Done" and "failed" mean what exit code 0 and 1 mean for a one-shot run:
// the PDF is still judged as its PDF is (gs names an output file it cannot
// open on its standard error only). When gs ends during a job, as
// systemdict's quit makes it, its exit code tells as a one-shot run's does.
//
// A job may read every file in the move-to folder (a one-shot run reads its
// own file only) and write the temporary output file; as in any run under
// SAFER, it may also read gs's own fonts and resources and read and write in
// the folder TMPDIR names, and nothing else.

// The resident gs with the switches the one-shot command line has for the
// options, plus SAFER and the permissions. Nothing when the options take a
// page size from each file's bounding box: one gs cannot change its fixed
// page size per file, so such conversions stay one-shot runs.
std::optional<GsCommand> residentCommand(const ConversionOptions& options,
                                         const QString& moveToFolder,
                                         const QString& tempOutputPath);

// A fresh random token for one resident gs.
QByteArray residentToken();

// The first bytes for the standard input of a resident gs with this token.
QByteArray residentPrologue(const QByteArray& token);

// The bytes that make job number (1, 2, ...) convert inputPath into
// outputPath; both as the file system's bytes (common/byte_text.h), any byte
// passes.
QByteArray residentJob(int number, const QByteArray& inputPath, const QByteArray& outputPath);

// What the standard output of a resident gs said.
struct ResidentEvent {
    enum class Kind {
        Ready,        // the prologue ran: the server takes jobs
        JobEnded,     // job ended: done or failed; serverClean tells whether gs may go on
        ServerEnded,  // the output ended: gs is gone, while job ran (0: between jobs)
    };
    Kind kind = Kind::Ready;
    int job = 0;
    bool failed = false;
    QString reason;  // why a failed job failed: "undefined in foo"
    bool serverClean = true;
};

// Reads the standard output of one resident gs as it arrives.
class ResidentOutputParser {
  public:
    explicit ResidentOutputParser(const QByteArray& token);

    // The events the bytes complete, in order; a record cut off at the end
    // waits for the next bytes.
    QList<ResidentEvent> feed(const QByteArray& bytes);
    // The output ended: gs is gone.
    ResidentEvent finish();
    // The job that started and has not ended.
    std::optional<int> runningJob() const { return running_; }

  private:
    // The event one record line completes, if any.
    std::optional<ResidentEvent> record(const QByteArray& line);

    QByteArray prefix_;
    QByteArray pending_;
    std::optional<int> running_;
    QString reason_;
};
