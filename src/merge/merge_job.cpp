#include "merge/merge_job.h"

#include "common/pdf_results.h"
#include "common/text_util.h"
#include "distill/distiller.h"
#include "ghostscript/run_failure.h"
#include "i18n/text_table.h"
#include "merge/merge_command.h"
#include "merge/merge_number.h"
#include "platform/folder_files.h"
#include "platform/linux/aside_path.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

MergeJob::MergeJob(EngineContext& context, const Distiller& distiller, QObject* parent)
    : QObject(parent), context_(context), distiller_(distiller), run_(context.processes) {
    connect(&run_, &GhostscriptRun::finished, this, &MergeJob::ghostscriptEnded);
    connect(&distiller_, &Distiller::passFinished, this, [this] {
        if (phase_ == Phase::WaitingForPass) {
            launch();
        }
    });
}

MergeJob::~MergeJob() = default;

QString MergeJob::Next_Merge_Number() {
    return nextMergeNumber(entryNames(context_.files, context_.config.path(PathKind::Outputpath)));
}

MergeJob::Start MergeJob::start(const QStringList& rows) {
    if (isRunning()) {
        return Start::Refused;
    }
    const TextTable& texts = context_.texts;
    if (rows.isEmpty() || (rows.size() == 1 && trimBlanks(rows[0]).isEmpty())) {
        context_.prompts.message(texts[TextId::lblTr_FC_msg001]);
        return Start::NothingToMerge;
    }
    const std::optional<QString> answer =
        context_.prompts.input(texts[TextId::lblTr_FC_msg004], texts[TextId::lblTr_FC_msg004_tip],
                               QLatin1String(kMergedFilePrefix) + Next_Merge_Number());
    if (!answer || trimBlanks(*answer).isEmpty()) {
        return Start::NoName;
    }
    if (refuses(*answer, rows)) {
        return Start::Refused;
    }
    const QString fileName = *answer + QStringLiteral(".pdf");
    const QString outputPath = context_.config.path(PathKind::Outputpath) + fileName;
    rows_ = rows;
    QStringList inputs;
    for (const QString& row : rows) {
        if (!trimBlanks(row).isEmpty()) {
            inputs.append(context_.config.path(PathKind::ComposeFolder) + row);
        }
    }
    placement_.emplace(context_.files, asidePathOf(outputPath), outputPath, inputs);
    emit progress(texts[TextId::lblTr_FC_msg003] + fileName);
    // A distill pass in progress finishes first: it may be taking files out
    // of the very folder, and no new pass starts while a merge runs.
    phase_ = Phase::WaitingForPass;
    if (!distiller_.isPassInProgress()) {
        launch();
    }
    return Start::Started;
}

// Refuses, with a message, what would write elsewhere than asked, what the
// argument file cannot carry (naming the value), a link among the files (it
// is not followed), and an output that is one of the inputs.
bool MergeJob::refuses(const QString& name, const QStringList& rows) {
    const TextTable& texts = context_.texts;
    Prompts& prompts = context_.prompts;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('"')) || !canBeQuoted(name)) {
        prompts.message(texts[TextId::Tr_MsgMergeBadName]);
        return true;
    }
    const Options options = context_.config.options();
    const QString mergeFolder = context_.config.path(PathKind::ComposeFolder);
    const QString outputFolder = context_.config.path(PathKind::Outputpath);
    QList<std::pair<QString, QString>> carried;  // a value, and how it is named
    for (const QString& row : rows) {
        if (!trimBlanks(row).isEmpty()) {
            carried.append({mergeFolder + row, mergeFolder + row});
        }
    }
    carried.append({outputFolder, outputFolder});
    if (options.useEncryption) {
        carried.append({options.ownerPassword, texts[TextId::Tr_ValueOwnerPassword]});
        carried.append({options.userPassword, texts[TextId::Tr_ValueUserPassword]});
    }
    for (const auto& [value, named] : std::as_const(carried)) {
        if (!canBeQuoted(value)) {
            prompts.message(texts[TextId::Tr_MsgMergeUnsafe].arg(named));
            return true;
        }
    }
    const QString output = outputFolder + name + QStringLiteral(".pdf");
    for (const QString& row : rows) {
        if (trimBlanks(row).isEmpty()) {
            continue;
        }
        const QString input = mergeFolder + row;
        const std::optional<FileStatus> status = context_.files.status(input);
        if (status && status->type == FileStatus::Type::Link) {
            prompts.message(texts[TextId::Tr_MsgMergeLink].arg(input));
            return true;
        }
        if (context_.files.isSameFile(output, input)) {
            prompts.message(texts[TextId::Tr_MsgOutputIsInput] + output);
            return true;
        }
    }
    return false;
}

void MergeJob::launch() {
    phase_ = Phase::Running;
    const QString mergeFolder = context_.config.path(PathKind::ComposeFolder);
    if (const Status prepared = placement_->prepare(); !prepared) {
        finish(context_.texts[TextId::Tr_ReasonOutputFolder].arg(
            context_.config.path(PathKind::Outputpath), prepared.failure().text));
        return;
    }
    MergeRun run;
    run.options = conversionOptionsOf(context_.config);
    run.outputPath = placement_->asidePath();
    run.mergeFolder = mergeFolder;
    run.rows = rows_;
    const QString argumentFile = mergeFolder + QLatin1String(kMergeArgumentFile);
    if (const Status written = context_.files.writePrivate(argumentFile, mergeArgumentFile(run));
        !written) {
        finish(argumentFile + QStringLiteral(": ") + written.failure().text);
        return;
    }
    emit progress(context_.texts[TextId::lblTr_FC_msg005]);
    // Ghostscript reads its arguments from the file in its working folder.
    const QString gsPath = trimBlanks(run.options.gsPath);
    const GsCommand command{gsPath, {QLatin1Char('@') + QLatin1String(kMergeArgumentFile)}};
    if (!run_.start(command, mergeFolder)) {
        finish(context_.texts[TextId::Tr_ReasonGsNotStarted].arg(gsPath));
    }
}

void MergeJob::ghostscriptEnded(RunEnd end) {
    if (phase_ != Phase::Running) {
        return;  // aborted meanwhile
    }
    const QString outputFolder = context_.config.path(PathKind::Outputpath);
    std::optional<QString> failure =
        runFailure(context_.texts, end, *placement_,
                   context_.texts[TextId::Tr_ReasonMergeIncomplete].arg(outputFolder));
    if (!failure) {
        if (const Status placed = placement_->place({}); !placed) {
            failure = context_.texts[TextId::Tr_ReasonOutputFolder].arg(outputFolder,
                                                                        placed.failure().text);
        }
    }
    finish(failure);
}

void MergeJob::finish(const std::optional<QString>& failure) {
    phase_ = Phase::Idle;
    PdfResults& results = context_.results;
    if (!failure) {
        results.addConverted(placement_->finalPath());
        results.raiseCounter();
        results.raiseRunCount();
    } else {
        // Ghostscript leaves the pages it made before it failed.
        placement_->discard();
        results.addFailed(placement_->finalPath(), *failure);
    }
    emit finished();
    if (failure && !aborting_) {
        context_.prompts.message(context_.texts[TextId::Tr_MsgMergeFailed] +
                                 placement_->finalPath());
    }
}

void MergeJob::abort() {
    if (phase_ == Phase::WaitingForPass) {
        phase_ = Phase::Idle;
        emit finished();
    } else if (phase_ == Phase::Running) {
        aborting_ = true;
        // Ended for good: nothing is waited for, the partial file goes now.
        run_.end();
        finish(context_.texts[TextId::Tr_ReasonStopped]);
        aborting_ = false;
    }
}
