// The road of one file of the watched folder: taken out of it into the
// move-to folder, converted by one Ghostscript run, its PDF placed in the
// output folder; or, when that cannot be, listed as failed with the reason.
#include "common/pdf_results.h"
#include "engine/bounding_box.h"
#include "engine/distiller.h"
#include "engine/file_completeness.h"
#include "engine/file_type.h"
#include "engine/gs_command.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "settings/configuration.h"

namespace {

ConversionOptions conversionOptionsOf(const Configuration& config) {
    const Options options = config.options();
    ConversionOptions conversion;
    conversion.gsPath = config.path(PathKind::GSPath);
    conversion.goodPictures = options.goodPicQuality;
    conversion.encrypt = options.useEncryption;
    conversion.ownerPassword = options.ownerPassword;
    conversion.userPassword = options.userPassword;
    conversion.useBoundingBox = options.useBoundingBox;
    conversion.qualityPreset = options.qualityPreset;
    return conversion;
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

Distiller::FileOutcome Distiller::handleFile() {
    const QString sourcePath = state_.WatchDir + state_.CurrentFile;
    state_.PdfPath = state_.OutputDir + pdfBaseName(state_.CurrentFile) + QStringLiteral(".pdf");
    state_.TempOutputPath = state_.WatchDir + QLatin1String(kTempFileName);
    // Only the file named on the command line goes beside its original; other
    // waiting files keep their own PDF names.
    const bool singleFile = state_.SingleFileMode && state_.CurrentFile == state_.SingleFileName;
    if (singleFile) {
        state_.PdfPath = state_.SingleFilePdfPath;
    }

    const std::optional<FileStatus> listed = platform_.fileStatus(sourcePath);
    if (!listed) {
        return FileOutcome::Done;  // gone since the listing
    }
    const QString moveFolder = config_.path(PathKind::MoveToFolder);
    const QString folderReason = folderProblem(moveFolder);
    if (isRefused(sourcePath, *listed, folderReason)) {
        return FileOutcome::Done;
    }
    if (!folderReason.isEmpty()) {
        refuse(sourcePath, *listed, folderReason, true);
        return FileOutcome::Done;
    }
    if (!waitForFreeFile()) {
        return FileOutcome::PassEnds;
    }
    // The file as its writer left it.
    const std::optional<FileStatus> taken = platform_.fileStatus(sourcePath);
    if (!taken) {
        return FileOutcome::Done;
    }
    results_.setStatus(texts_[TextId::Tr_StatusConverting] + state_.CurrentFile);

    state_.InputPath = moveFolder + state_.CurrentFile;
    const std::optional<MoveError> notMoved =
        platform_.moveFile(sourcePath, state_.InputPath, [this] { return keepWindowAlive(); });
    if (notMoved) {
        if (notMoved->step == MoveError::Step::Stopped) {
            return FileOutcome::PassEnds;
        }
        refuse(sourcePath, *taken,
               moveReason(*notMoved, state_.WatchDir, moveFolder, TextId::Tr_ReasonMoveFolder),
               false);
        return FileOutcome::Done;
    }
    refusals_.remove(sourcePath);

    state_.CurrentCount += 1;
    results_.showRunCount(state_.CurrentCount);

    if (const std::optional<QString> failure = convert()) {
        // The moved copy stays in the move-to folder: it is all the user has.
        results_.addFailed(state_.InputPath, *failure);
        return stopRequested_ ? FileOutcome::PassEnds : FileOutcome::Done;
    }
    if (singleFile && platform_.fileExists(state_.InputPath)) {
        platform_.removeFile(state_.InputPath);
    }
    if (config_.options().deletePSFiles) {
        platform_.removeFile(state_.InputPath);
    }
    results_.addConverted(state_.PdfPath);
    return FileOutcome::Done;
}

// Why no file can be taken now, checked before one is: the folders the road
// of a file passes. Empty when they are all fine.
QString Distiller::folderProblem(const QString& moveFolder) const {
    if (platform_.isSameFolder(state_.WatchDir, moveFolder)) {
        return texts_[TextId::Tr_ReasonSameFolder].arg(moveFolder);
    }
    const struct {
        const QString& folder;
        TextId text;
    } folders[] = {{state_.WatchDir, TextId::Tr_ReasonWatchFolder},
                   {moveFolder, TextId::Tr_ReasonMoveFolder},
                   {state_.OutputDir, TextId::Tr_ReasonOutputFolder}};
    for (const auto& folder : folders) {
        if (const std::optional<QString> error = platform_.folderError(folder.folder)) {
            return texts_[folder.text].arg(folder.folder, *error);
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
    results_.addFailed(path, reason);
}

std::optional<QString> Distiller::convert() {
    // Made afresh and no more readable than the source: a leftover temporary
    // file must not pass for this run's output, and the PDF it becomes must
    // not show a private file to others.
    if (const std::optional<QString> error =
            platform_.createOutputFile(state_.TempOutputPath, state_.InputPath)) {
        return texts_[TextId::Tr_ReasonWatchFolder].arg(state_.WatchDir, *error);
    }
    state_.GsProcess.reset();
    std::optional<QString> failure = Build_GS_Command();
    if (!failure) {
        waitForGhostscript();
        failure = runFailure();
    }
    if (!failure) {
        // The PDF is finished: Stop does not cut its placing short.
        const std::optional<MoveError> notPlaced =
            platform_.moveFile(state_.TempOutputPath, state_.PdfPath, [this] {
                keepWindowAlive();
                return true;
            });
        if (notPlaced) {
            failure = moveReason(*notPlaced, state_.WatchDir, folderOf(state_.PdfPath),
                                 TextId::Tr_ReasonOutputFolder);
        }
    }
    if (failure && platform_.fileExists(state_.TempOutputPath)) {
        platform_.removeFile(state_.TempOutputPath);
    }
    return failure;
}

std::optional<QString> Distiller::Build_GS_Command() {
    const ConversionOptions options = conversionOptionsOf(config_);
    std::optional<PageSize> pageSize;
    if (options.useBoundingBox) {
        const std::optional<QByteArray> head =
            platform_.readFileHead(state_.InputPath, kBoundingBoxScanLimit);
        const BoundingBoxScan scan = head ? scanBoundingBox(*head) : BoundingBoxScan{};
        if (!head || scan.failed) {
            return texts_[TextId::Tr_ReasonBoundingBox];
        }
        if (scan.found) {
            pageSize = scan.size;
        }
    }
    const GsCommand command = gsCommand(options, pageSize, state_.TempOutputPath, state_.InputPath);
    const std::optional<Platform::ProcessId> process =
        platform_.startRun(command.program, command.arguments, WindowMode::Minimised);
    if (!process) {
        return texts_[TextId::Tr_ReasonGsNotStarted].arg(command.program);
    }
    state_.GsProcess = process;
    results_.raiseCounter();
    state_.GsRunning = true;
    return std::nullopt;
}

// Why the run gave no usable PDF; nothing when it did.
std::optional<QString> Distiller::runFailure() {
    const std::optional<int> exitCode = platform_.exitCode(*state_.GsProcess);
    if (!exitCode) {
        return texts_[runStopped_ ? TextId::Tr_ReasonStopped : TextId::Tr_ReasonGsSignal];
    }
    // Ghostscript may leave a page behind even when the file made it fail.
    if (*exitCode != 0) {
        return texts_[TextId::Tr_ReasonGsExitCode].arg(*exitCode);
    }
    // With its disk full Ghostscript may end well and leave half a PDF.
    const std::optional<QByteArray> tail =
        platform_.readFileTail(state_.TempOutputPath, kCompletenessTailBytes);
    if (!tail || tail->isEmpty()) {
        return texts_[TextId::Tr_ReasonNoPdf];
    }
    if (!isWholePdf(*tail)) {
        return texts_[TextId::Tr_ReasonPdfIncomplete].arg(state_.WatchDir);
    }
    return std::nullopt;
}

QString Distiller::moveReason(const MoveError& error, const QString& sourceFolder,
                              const QString& targetFolder, TextId targetText) const {
    switch (error.step) {
        case MoveError::Step::ReadSource:
            return texts_[TextId::Tr_ReasonUnreadable].arg(error.text);
        case MoveError::Step::RemoveSource:
            return texts_[TextId::Tr_ReasonNotReleased].arg(sourceFolder, error.text);
        case MoveError::Step::SameFile:
            return texts_[TextId::Tr_ReasonSameFolder].arg(targetFolder);
        case MoveError::Step::Stopped:
            return texts_[TextId::Tr_ReasonStopped];
        case MoveError::Step::WriteTarget:
            break;
    }
    return texts_[targetText].arg(targetFolder, error.text);
}
