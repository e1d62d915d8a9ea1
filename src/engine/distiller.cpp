#include "engine/distiller.h"

#include <QSet>

#include "common/pdf_results.h"
#include "engine/file_type.h"
#include "i18n/text_table.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

Distiller::Distiller(EngineContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

Distiller::~Distiller() = default;

void Distiller::tick() {
    if (active_ && !passInProgress_) {
        Distill_Folder();
    }
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
    CurrentCount = 0;
    active_ = true;
    emit switchedOn();
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
    }
}

void Distiller::beginSingleFile(SingleFileRun run) {
    singleFile_ = std::move(run);
}

void Distiller::Distill_Folder() {
    passInProgress_ = true;
    stopRequested_ = false;
    OutputDir = context_.config.path(PathKind::Outputpath);
    WatchDir = context_.config.path(PathKind::WatchDirpath);
    Result<QList<FolderEntry>> listing = context_.files.listEntries(WatchDir);
    listing_ = listing ? listing.value() : QList<FolderEntry>();
    next_ = 0;
    continuePass();
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
    // Only the file named on the command line goes beside its original;
    // other waiting files keep their own PDF names.
    if (singleFile_ && entry.name == singleFile_->fileName) {
        file.pdfPath = singleFile_->pdfPath;
        file.singleFile = true;
    }
    conversion_ = std::make_unique<FileConversion>(context_, file);
    connect(conversion_.get(), &FileConversion::refused, this,
            [this](const QString& path, const FileStatus& status, const QString& reason) {
                refuse(path, status, reason, false);
            });
    connect(conversion_.get(), &FileConversion::taken, this, [this, sourcePath] {
        refusals_.remove(sourcePath);
        CurrentCount += 1;
        context_.results.showRunCount(CurrentCount);
    });
    connect(conversion_.get(), &FileConversion::finished, this, &Distiller::conversionFinished);
    conversion_->begin();
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
        Change_Running_Color();
    } else {
        context_.results.setStatus(context_.texts[TextId::Tr_StatusInactive]);
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
    if (refusal == refusals_.cend() || !refusal->status.sameVersion(status)) {
        return false;
    }
    return !refusal->folderCaused || refusal->reason == folderReason;
}

void Distiller::refuse(const QString& path, const FileStatus& status, const QString& reason,
                       bool folderCaused) {
    refusals_.insert(path, {status, reason, folderCaused});
    context_.results.addFailed(path, reason);
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
