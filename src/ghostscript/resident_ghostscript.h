#pragma once

#include <QObject>
#include <optional>

#include "common/result.h"
#include "ghostscript/gs_command.h"
#include "ghostscript/resident_protocol.h"
#include "platform/processes.h"

// One Ghostscript kept running between files (resident_protocol.h): started
// once with the switches a one-shot run would have, then fed one job per
// file. A job ends as a one-shot run would: done (exit code 0) or failed
// (exit code 1); a job that ends Ghostscript ends as Ghostscript ended. A
// job that leaves the server unclean, or another command, gets a fresh one.
class ResidentGhostscript : public QObject {
    Q_OBJECT
  public:
    explicit ResidentGhostscript(Processes& processes, QObject* parent = nullptr);
    ~ResidentGhostscript() override;

    // Converts input into output with a Ghostscript started with command,
    // which is started first when none runs with it. finished follows, never
    // before this returns.
    Status convert(const GsCommand& command, const QString& input, const QString& output);
    // Ends Ghostscript; a job in hand finishes as Ended.
    void end();
    bool isRunning() const { return process_.has_value(); }

  signals:
    void finished(RunEnd end);

  private:
    Status start(const GsCommand& command);
    void outputRead(ProcessId id, const QByteArray& bytes);
    void runEnded(ProcessId id);
    void jobEnded(RunEnd end);

    Processes& processes_;
    std::optional<ProcessId> process_;
    GsCommand command_;
    std::optional<ResidentOutputParser> parser_;
    int lastJob_ = 0;
    std::optional<int> jobInHand_;
};
