#include "engine/distiller.h"

#include <QEventLoop>
#include <QTimer>

#include "common/pdf_results.h"
#include "engine/bounding_box.h"
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

}  // namespace

Distiller::Distiller(Configuration& config, PdfResults& results, const TextTable& texts,
                     Platform& platform, QObject* parent)
    : QObject(parent), config_(config), results_(results), texts_(texts), platform_(platform) {
    connect(&platform_, &Platform::processEnded, this, &Distiller::wake);
}

void Distiller::tick() {
    if (!state_.DistillerActive || state_.PassHold) {
        return;
    }
    state_.PassHold = true;
    Distill_Folder();
    state_.PassHold = false;
    if (state_.DistillerActive) {
        results_.setStatus(texts_[TextId::Tr_StatusIdle]);
        Change_Running_Color();
    } else {
        results_.setStatus(texts_[TextId::Tr_StatusInactive]);
    }
}

void Distiller::Distill_Folder() {
    stopRequested_ = false;
    state_.OutputDir = config_.path(PathKind::Outputpath);
    state_.WatchDir = config_.path(PathKind::WatchDirpath);
    const QStringList listing = platform_.listFiles(state_.WatchDir);
    for (const QString& name : listing) {
        state_.CurrentFile = name;
        if (name == QLatin1String(".") || name == QLatin1String("..") || !isPostScriptName(name)) {
            continue;
        }
        if (handleFile() == FileOutcome::PassEnds || stopRequested_) {
            // Stop leaves the files not yet taken where they are.
            return;
        }
    }
    state_.CurrentFile.clear();
    if (state_.SingleFileMode && state_.SingleFileEnding) {
        state_.SingleFileEnding();
    }
}

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

    if (!waitForFreeFile()) {
        return FileOutcome::PassEnds;
    }
    results_.setStatus(texts_[TextId::Tr_StatusConverting] + state_.CurrentFile);

    const QString moveFolder = config_.path(PathKind::MoveToFolder);
    state_.InputPath = moveFolder + state_.CurrentFile;
    switch (platform_.copyFile(sourcePath, state_.InputPath)) {
        case FileResult::PermissionDenied:
            return endPassOnPermissionDenied();
        case FileResult::Failed:
            // Without its copy the source must stay where it is.
            if (platform_.fileExists(sourcePath)) {
                reportFailure(sourcePath);
            }
            return FileOutcome::Done;
        case FileResult::Ok:
            break;
    }
    if (platform_.removeFile(sourcePath) == FileResult::PermissionDenied) {
        return endPassOnPermissionDenied();
    }

    state_.CurrentCount += 1;
    results_.showRunCount(state_.CurrentCount);

    // A leftover temporary file must not pass for the output of this run.
    if (platform_.fileExists(state_.TempOutputPath)) {
        platform_.removeFile(state_.TempOutputPath);
    }
    state_.GsProcess.reset();
    if (Build_GS_Command()) {
        waitForGhostscript();
    }

    // Ghostscript may leave a page behind even when the file made it fail.
    const bool produced = state_.GsProcess && !platform_.endedWithFailure(*state_.GsProcess) &&
                          platform_.fileSize(state_.TempOutputPath) > 0;
    if (produced) {
        const FileResult copied = platform_.copyFile(state_.TempOutputPath, state_.PdfPath);
        if (copied == FileResult::PermissionDenied) {
            return endPassOnPermissionDenied();
        }
        if (copied == FileResult::Failed) {
            platform_.removeFile(state_.TempOutputPath);
            reportFailure(state_.InputPath);
            return FileOutcome::Done;
        }
    }
    if (platform_.fileExists(state_.TempOutputPath)) {
        platform_.removeFile(state_.TempOutputPath);
    }
    if (!produced) {
        // The moved copy stays in the move-to folder: it is all the user has.
        reportFailure(state_.InputPath);
        return FileOutcome::Done;
    }
    if (singleFile && platform_.fileExists(state_.InputPath)) {
        platform_.removeFile(state_.InputPath);
    }
    if (config_.options().deletePSFiles) {
        platform_.removeFile(state_.InputPath);
    }
    reportedFailures_.remove(sourcePath);
    results_.addConverted(state_.PdfPath);
    return FileOutcome::Done;
}

bool Distiller::Build_GS_Command() {
    const ConversionOptions options = conversionOptionsOf(config_);
    std::optional<PageSize> pageSize;
    if (options.useBoundingBox) {
        const std::optional<QByteArray> head =
            platform_.readFileHead(state_.InputPath, kBoundingBoxScanLimit);
        if (!head) {
            return false;
        }
        const BoundingBoxScan scan = scanBoundingBox(*head);
        if (scan.failed) {
            return false;
        }
        if (scan.found) {
            pageSize = scan.size;
        }
    }
    const QString command =
        gsCommandLine(options, pageSize, state_.TempOutputPath, state_.InputPath);
    const std::optional<Platform::ProcessId> process =
        platform_.startProcess(command, WindowMode::Minimised);
    if (!process) {
        return false;
    }
    state_.GsProcess = process;
    results_.raiseCounter();
    state_.GsRunning = true;
    return true;
}

void Distiller::Check_File_Free() {
    if (!platform_.isFileHeld(state_.WatchDir + state_.CurrentFile)) {
        state_.FileBusy = false;
    }
}

void Distiller::Check_GS_Window() {
    if (!state_.GsProcess || !platform_.isProcessRunning(*state_.GsProcess)) {
        state_.GsRunning = false;
    }
}

bool Distiller::waitForFreeFile() {
    state_.FileBusy = true;
    Check_File_Free();
    while (state_.FileBusy) {
        pause(kFileFreePollMs);
        if (stopRequested_) {
            return false;
        }
        Check_File_Free();
    }
    return true;
}

void Distiller::waitForGhostscript() {
    // Stop does not cut this wait short: the file in hand is finished.
    Check_GS_Window();
    while (state_.GsRunning) {
        pause(kGsPollMs);
        Check_GS_Window();
    }
}

void Distiller::pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    connect(this, &Distiller::wake, &loop, &QEventLoop::quit);
    loop.exec();
}

QString Distiller::permissionMessage() const {
    // This message has never been translated.
    return QStringLiteral("File ") + state_.WatchDir + state_.CurrentFile +
           QStringLiteral(" is accessed by another program, please wait...");
}

Distiller::FileOutcome Distiller::endPassOnPermissionDenied() {
    state_.FileBusy = true;
    pause(kBusyPauseMs);
    results_.setStatus(permissionMessage());
    Check_File_Free();
    return FileOutcome::PassEnds;
}

void Distiller::reportFailure(const QString& sourcePath) {
    if (!reportedFailures_.contains(sourcePath)) {
        reportedFailures_.insert(sourcePath);
        results_.addFailed(sourcePath);
    }
}

void Distiller::Change_Running_Color() {
    if (state_.RunStep >= 1 && state_.RunStep <= 6) {
        emit indicatorStep(state_.RunStep);
        if (state_.RunStep == 6) {
            state_.RunStep = 0;
        }
    }
    state_.RunStep += 1;
}
