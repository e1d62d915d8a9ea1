#include "distill/distiller.h"

#include <QSet>

#include "common/pdf_results.h"
#include "distill/conversion_journal.h"
#include "distill/file_type.h"
#include "i18n/text_table.h"
#include "platform/linux/aside_path.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

Distiller::Distiller(EngineContext& context, QObject* parent)
    : QObject(parent), context_(context), resident_(context.processes) {}

namespace {

// A conversion cut short this often by the program's end is given up: the
// file is then listed as failed instead of converted again.
constexpr int kRecoveryAttempts = 2;

}  // namespace

Distiller::~Distiller() = default;

void Distiller::tick() {
    if (active_ && !passInProgress_) {
        tickedPass_ = true;
        Distill_Folder();
    }
}

void Distiller::folderChanged() {
    if (!active_) {
        return;
    }
    if (passInProgress_) {
        // The listing in hand may not hold the new file.
        passAgain_ = true;
        if (conversion_) {
            conversion_->lookNow();
        }
        return;
    }
    tickedPass_ = false;
    Distill_Folder();
}

void Distiller::Start_Distiller() {
    emit startRequested();
    // Compared as the file system sees them: another spelling or a link is
    // still the same folder, a folder whose name differs in letter case is not.
    if (context_.files.isSameFolder(context_.config.path(PathKind::WatchDirpath),
                                    context_.config.path(PathKind::MoveToFolder))) {
        context_.prompts.message(context_.texts[TextId::Tr_MsgSameFolders]);
        emit startRefused();
        return;
    }
    if (!claimWatchedFolder(context_.config.path(PathKind::WatchDirpath), true)) {
        emit startRefused();
        return;
    }
    CurrentCount = 0;
    active_ = true;
    recoveryDue_ = true;
    emit switchedOn();
}

// True unless another program holds the watched folder, or something else
// stands where its lock goes. A folder that cannot take a lock now (it is
// missing, say) is claimed again by each pass; its files wait till then.
bool Distiller::claimWatchedFolder(const QString& watchDir, bool showRefusal) {
    if (!lockedFolder_.isEmpty() && lockedFolder_ == watchDir) {
        return true;
    }
    releaseWatchedFolder();
    const QString lock = watchDir + QLatin1String(kLockFileName);
    const Status claimed = context_.files.claim(lock);
    if (claimed) {
        lockedFolder_ = watchDir;
        return true;
    }
    const Failure& failure = claimed.failure();
    const bool held = failure.kind == Failure::Kind::Held;
    if (showRefusal && held) {
        context_.prompts.message(context_.texts[TextId::Tr_MsgWatchedFolderBusy]);
    } else if (showRefusal && failure.kind == Failure::Kind::NotOrdinary) {
        context_.prompts.message(context_.texts[TextId::Tr_ReasonInTheWay].arg(lock));
    }
    return !held && failure.kind != Failure::Kind::NotOrdinary;
}

void Distiller::releaseWatchedFolder() {
    if (!lockedFolder_.isEmpty()) {
        context_.files.release(lockedFolder_ + QLatin1String(kLockFileName));
        lockedFolder_.clear();
    }
}

void Distiller::Stop_Distiller() {
    active_ = false;
    emit switchedOff();
    context_.results.setStatus(context_.texts[TextId::Tr_StatusInactive]);
    if (passInProgress_) {
        stopRequested_ = true;
        if (conversion_) {
            conversion_->stop();
        }
    } else {
        releaseWatchedFolder();
    }
    // The next switch-on starts a Ghostscript of its own, with the options
    // of that moment.
    resident_.end();
}

void Distiller::beginSingleFile(SingleFileRun run) {
    singleFile_ = std::move(run);
}

void Distiller::Distill_Folder() {
    passInProgress_ = true;
    stopRequested_ = false;
    passAgain_ = false;
    OutputDir = context_.config.path(PathKind::Outputpath);
    WatchDir = context_.config.path(PathKind::WatchDirpath);
    listing_.clear();
    next_ = 0;
    if (claimWatchedFolder(WatchDir, false) && !lockedFolder_.isEmpty()) {
        Result<QList<FolderEntry>> listing = context_.files.listEntries(WatchDir);
        listing_ = listing ? listing.value() : QList<FolderEntry>();
        if (recoveryDue_) {
            recover();
        }
    }
    continuePass();
}

// What a run that did not finish left behind, as the journal tells: the
// partial copies go, and the moved copy is converted again (unless that
// was cut short too often), never replaced by the next file of its name.
void Distiller::recover() {
    recoveryDue_ = false;
    const QString moveFolder = context_.config.path(PathKind::MoveToFolder);
    ConversionJournal journal(context_.files, moveFolder);
    const std::optional<ConversionJournal::Entry> entry = journal.read();
    if (!entry) {
        return;
    }
    const QString moved = moveFolder + entry->name;
    for (const QString& leftover : {asidePathOf(moved), asidePathOf(entry->pdfPath),
                                    WatchDir + QLatin1String(FileConversion::kTempFileName),
                                    moveFolder + QLatin1String(FileConversion::kInputAliasName)}) {
        const std::optional<FileStatus> status = context_.files.status(leftover);
        if (status && status->type == FileStatus::Type::Ordinary) {
            [[maybe_unused]] const Status removed = context_.files.remove(leftover);
        }
    }
    const std::optional<FileStatus> copy = context_.files.status(moved);
    if (!copy || copy->type != FileStatus::Type::Ordinary) {
        journal.clear();  // it never left the watched folder
        return;
    }
    const int attempts = entry->attempts + 1;
    if (attempts >= kRecoveryAttempts) {
        journal.clear();
        context_.results.addFailed(moved, context_.texts[TextId::Tr_ReasonStopped]);
        return;
    }
    FileConversion::File file;
    file.watchDir = WatchDir;
    file.moveFolder = moveFolder;
    file.name = entry->name;
    file.pdfPath = entry->pdfPath;
    startConversion(file);
    conversion_->beginRecovered(attempts);
}

// Takes the files of the listing one after another. A file whose road ends
// at once lets the next one follow in this loop; one that waits hands back
// to the event loop, and its end goes on from here.
void Distiller::continuePass() {
    if (driving_) {
        return;
    }
    driving_ = true;
    while (passInProgress_ && !conversion_) {
        if (stopRequested_) {
            // Stop leaves the files not yet taken where they are.
            endPass();
        } else if (next_ >= listing_.size()) {
            endOfListing();
        } else {
            handleEntry(listing_[next_++]);
        }
    }
    driving_ = false;
}

void Distiller::handleEntry(const FolderEntry& entry) {
    if (!isPostScriptName(entry.name)) {
        return;
    }
    const QString sourcePath = WatchDir + entry.name;
    const std::optional<FileStatus> listed = context_.files.status(sourcePath);
    if (!listed) {
        return;  // gone since the listing
    }
    // A link is never followed: what it leads to may be anybody's.
    if (listed->type == FileStatus::Type::Link) {
        if (!isRefused(sourcePath, *listed, QString())) {
            refuse(sourcePath, *listed, context_.texts[TextId::Tr_ReasonLink], false);
        }
        return;
    }
    const QString moveFolder = context_.config.path(PathKind::MoveToFolder);
    const QString folderReason = folderProblem(moveFolder);
    if (isRefused(sourcePath, *listed, folderReason)) {
        return;
    }
    if (!folderReason.isEmpty()) {
        refuse(sourcePath, *listed, folderReason, true);
        return;
    }
    FileConversion::File file;
    file.watchDir = WatchDir;
    file.moveFolder = moveFolder;
    file.name = entry.name;
    file.pdfPath = OutputDir + pdfBaseName(entry.name) + QStringLiteral(".pdf");
    file.listedSize = listed->size;
    // Only the file named on the command line goes beside its original;
    // other waiting files keep their own PDF names.
    if (singleFile_ && entry.name == singleFile_->fileName) {
        file.pdfPath = singleFile_->pdfPath;
        file.singleFile = true;
    }
    startConversion(file);
    conversion_->begin();
}

void Distiller::startConversion(FileConversion::File file) {
    const QString sourcePath = file.watchDir + file.name;
    conversion_ = std::make_unique<FileConversion>(context_, std::move(file), &resident_);
    connect(conversion_.get(), &FileConversion::refused, this,
            [this](const QString& path, const FileStatus& status, const QString& reason,
                   bool transient) { refuse(path, status, reason, false, transient); });
    connect(conversion_.get(), &FileConversion::taken, this, [this, sourcePath] {
        refusals_.remove(sourcePath);
        CurrentCount += 1;
        context_.results.showRunCount(CurrentCount);
    });
    connect(conversion_.get(), &FileConversion::finished, this, &Distiller::conversionFinished);
}

void Distiller::conversionFinished(FileConversion::End end, const QString& pdfPath) {
    if (singleFile_ && !pdfPath.isEmpty() && pdfPath == singleFile_->pdfPath) {
        singleFilePdf_ = pdfPath;
    }
    // The conversion is on the stack that emitted this.
    conversion_.release()->deleteLater();
    if (end == FileConversion::End::Stopped) {
        stopRequested_ = true;
    }
    continuePass();
}

void Distiller::endOfListing() {
    forgetRefusalsBesides(listing_);
    endPass();
    if (singleFile_ && singleFile_->ending) {
        singleFile_->ending(singleFilePdf_);
    }
}

void Distiller::endPass() {
    passInProgress_ = false;
    stopRequested_ = false;
    if (active_) {
        context_.results.setStatus(context_.texts[TextId::Tr_StatusIdle]);
        if (tickedPass_) {
            Change_Running_Color();
        }
    } else {
        releaseWatchedFolder();
        context_.results.setStatus(context_.texts[TextId::Tr_StatusInactive]);
    }
    if (passAgain_ && active_) {
        QMetaObject::invokeMethod(this, &Distiller::folderChanged, Qt::QueuedConnection);
    }
    emit passFinished();
}

// Why no file can be taken now, checked before one is: the folders the road
// of a file passes. Empty when they are all fine.
QString Distiller::folderProblem(const QString& moveFolder) const {
    const TextTable& texts = context_.texts;
    if (context_.files.isSameFolder(WatchDir, moveFolder)) {
        return texts[TextId::Tr_ReasonSameFolder].arg(moveFolder);
    }
    // Ghostscript's output goes to its own file in the watched folder.
    const QString temp = WatchDir + QLatin1String(FileConversion::kTempFileName);
    if (const std::optional<FileStatus> inTheWay = context_.files.status(temp);
        inTheWay && inTheWay->type != FileStatus::Type::Ordinary) {
        return texts[TextId::Tr_ReasonInTheWay].arg(temp);
    }
    const struct {
        const QString& folder;
        TextId text;
    } folders[] = {{WatchDir, TextId::Tr_ReasonWatchFolder},
                   {moveFolder, TextId::Tr_ReasonMoveFolder},
                   {OutputDir, TextId::Tr_ReasonOutputFolder}};
    for (const auto& folder : folders) {
        if (const Status usable = context_.files.checkFolder(folder.folder); !usable) {
            return texts[folder.text].arg(folder.folder, usable.failure().text);
        }
    }
    return {};
}

bool Distiller::isRefused(const QString& path, const FileStatus& status,
                          const QString& folderReason) const {
    const auto refusal = refusals_.constFind(path);
    if (refusal == refusals_.cend() || refusal->transient || !refusal->status.sameVersion(status)) {
        return false;
    }
    return !refusal->folderCaused || refusal->reason == folderReason;
}

// A file is listed once for a reason; a transient one that comes again is
// not listed again.
void Distiller::refuse(const QString& path, const FileStatus& status, const QString& reason,
                       bool folderCaused, bool transient) {
    const auto known = refusals_.constFind(path);
    const bool listed = known != refusals_.cend() && known->transient && known->reason == reason;
    refusals_.insert(path, {status, reason, folderCaused, transient});
    if (!listed) {
        context_.results.addFailed(path, reason);
    }
}

void Distiller::forgetRefusalsBesides(const QList<FolderEntry>& listing) {
    QSet<QString> present;
    for (const FolderEntry& entry : listing) {
        present.insert(WatchDir + entry.name);
    }
    refusals_.removeIf([&present](const QHash<QString, Refusal>::iterator& refusal) {
        return !present.contains(refusal.key());
    });
}

void Distiller::Change_Running_Color() {
    if (RunStep >= 1 && RunStep <= 6) {
        emit indicatorStep(RunStep);
        if (RunStep == 6) {
            RunStep = 0;
        }
    }
    RunStep += 1;
}
