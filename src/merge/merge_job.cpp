#include "merge/merge_job.h"

#include "common/pdf_results.h"
#include "common/text_util.h"
#include "engine/distiller_state.h"
#include "i18n/text_table.h"
#include "merge/merge_command.h"
#include "merge/merge_number.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

MergeJob::MergeJob(Configuration& config, PdfResults& results, const TextTable& texts,
                   Platform& platform, const DistillerState& distiller, QObject* parent)
    : QObject(parent),
      config_(config),
      results_(results),
      texts_(texts),
      platform_(platform),
      distiller_(distiller) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &MergeJob::check);
    connect(&platform_, &Platform::processEnded, this, &MergeJob::check);
}

QString MergeJob::Next_Merge_Number() {
    return nextMergeNumber(platform_.listFiles(config_.path(PathKind::Outputpath)));
}

MergeJob::Start MergeJob::start(const QStringList& rows) {
    if (isRunning()) {
        return Start::Refused;
    }
    if (rows.isEmpty() || (rows.size() == 1 && trimBlanks(rows[0]).isEmpty())) {
        platform_.prompts().message(texts_[TextId::lblTr_FC_msg001]);
        return Start::NothingToMerge;
    }
    const std::optional<QString> answer = platform_.prompts().input(
        texts_[TextId::lblTr_FC_msg004], texts_[TextId::lblTr_FC_msg004_tip],
        QLatin1String(kMergedFilePrefix) + Next_Merge_Number());
    if (!answer || trimBlanks(*answer).isEmpty()) {
        return Start::NoName;
    }
    if (refuses(*answer, rows)) {
        return Start::Refused;
    }
    const QString fileName = *answer + QStringLiteral(".pdf");
    outputPath_ = config_.path(PathKind::Outputpath) + fileName;
    rows_ = rows;
    emit progress(texts_[TextId::lblTr_FC_msg003] + fileName);
    // A distill pass in progress finishes first: it may be taking files out
    // of the very folder, and no new pass starts while a merge runs.
    phase_ = Phase::WaitingForPass;
    poll_.start();
    check();
    return Start::Started;
}

// Refuses, with a message, what would write elsewhere than asked, what the
// argument file cannot carry, and an output that is one of the inputs.
bool MergeJob::refuses(const QString& name, const QStringList& rows) {
    if (name.contains(QLatin1Char('/')) || breaksQuoting(name)) {
        platform_.prompts().message(texts_[TextId::Tr_MsgMergeBadName]);
        return true;
    }
    const Options options = config_.options();
    const QString mergeFolder = config_.path(PathKind::ComposeFolder);
    QStringList carried = rows;
    carried << config_.path(PathKind::Outputpath) << mergeFolder;
    if (options.useEncryption) {
        carried << options.ownerPassword << options.userPassword;
    }
    for (const QString& text : std::as_const(carried)) {
        if (breaksQuoting(text)) {
            platform_.prompts().message(texts_[TextId::Tr_MsgMergeUnsafe]);
            return true;
        }
    }
    const QString output = config_.path(PathKind::Outputpath) + name + QStringLiteral(".pdf");
    for (const QString& row : rows) {
        if (!trimBlanks(row).isEmpty() && platform_.isSameFile(output, mergeFolder + row)) {
            platform_.prompts().message(texts_[TextId::Tr_MsgOutputIsInput] + output);
            return true;
        }
    }
    return false;
}

void MergeJob::launch() {
    phase_ = Phase::Running;
    process_.reset();
    if (platform_.fileExists(outputPath_)) {
        platform_.removeFile(outputPath_);
    }
    const Options options = config_.options();
    MergeRun run;
    run.goodPictures = options.goodPicQuality;
    run.encrypt = options.useEncryption;
    run.ownerPassword = options.ownerPassword;
    run.userPassword = options.userPassword;
    run.outputPath = outputPath_;
    run.mergeFolder = config_.path(PathKind::ComposeFolder);
    run.rows = rows_;
    const QString argumentFile = run.mergeFolder + QLatin1String(kMergeArgumentFile);
    if (const std::optional<QString> error =
            platform_.writePrivateFile(argumentFile, mergeArgumentFile(run))) {
        finish(false, argumentFile + QStringLiteral(": ") + *error);
        return;
    }
    emit progress(texts_[TextId::lblTr_FC_msg005]);
    // Ghostscript reads its arguments from the file in its working folder.
    const QString gsPath = trimBlanks(config_.path(PathKind::GSPath));
    process_ = platform_.startRun(gsPath, {QLatin1Char('@') + QLatin1String(kMergeArgumentFile)},
                                  WindowMode::Minimised, run.mergeFolder);
    if (!process_) {
        finish(false, texts_[TextId::Tr_ReasonGsNotStarted].arg(gsPath));
        return;
    }
    // It may have ended already.
    check();
}

void MergeJob::check() {
    if (phase_ == Phase::WaitingForPass && !distiller_.PassHold) {
        launch();
    } else if (phase_ == Phase::Running && process_ && !platform_.isProcessRunning(*process_)) {
        const std::optional<int> exitCode = platform_.exitCode(*process_);
        if (!exitCode) {
            finish(false, texts_[TextId::Tr_ReasonGsSignal]);
        } else if (*exitCode != 0) {
            finish(false, texts_[TextId::Tr_ReasonGsExitCode].arg(*exitCode));
        } else if (!platform_.fileExists(outputPath_)) {
            finish(false, texts_[TextId::Tr_ReasonNoPdf]);
        } else {
            finish(true);
        }
    }
}

void MergeJob::finish(bool produced, const QString& reason) {
    phase_ = Phase::Idle;
    poll_.stop();
    if (produced) {
        results_.addConverted(outputPath_);
        results_.raiseCounter();
        results_.raiseRunCount();
    } else {
        // Ghostscript leaves the pages it made before it failed.
        if (process_ && platform_.fileExists(outputPath_)) {
            platform_.removeFile(outputPath_);
        }
        results_.addFailed(outputPath_, reason);
    }
    emit finished();
    if (!produced && !aborting_) {
        platform_.prompts().message(texts_[TextId::Tr_MsgMergeFailed] + outputPath_);
    }
}

void MergeJob::abort() {
    if (phase_ == Phase::WaitingForPass) {
        phase_ = Phase::Idle;
        poll_.stop();
        emit finished();
    } else if (phase_ == Phase::Running) {
        aborting_ = true;
        // Ended for good: nothing is waited for, the partial file goes now.
        platform_.endRun(*process_);
        finish(false, texts_[TextId::Tr_ReasonStopped]);
        aborting_ = false;
    }
}
