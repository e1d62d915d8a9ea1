#include "engine/distiller.h"

#include <QEventLoop>
#include <QTimer>

#include "engine/bounding_box.h"
#include "shell/colors.h"
#include "engine/distiller_view.h"
#include "engine/file_type.h"
#include "engine/gs_command.h"
#include "i18n/text_table.h"
#include "platform/platform.h"

const char* const Distiller::kIndicatorShapes[6] = {"Shape3", "Shape4", "Shape5",
                                                    "Shape6", "Shape7", "Shape2"};

Distiller::Distiller(DistillerView& view, Platform& platform, QObject* parent)
    : QObject(parent), view_(view), platform_(platform) {
    connect(&platform_, &Platform::processEnded, this, &Distiller::wake);
}

void Distiller::tick() {
    view_.keepOnScreen();
    if (!state_.DistillerActive || state_.PassHold) {
        return;
    }
    state_.PassHold = true;
    Distill_Folder();
    state_.PassHold = false;
    if (state_.DistillerActive) {
        view_.setStatus(view_.texts()[TextId::Tr_StatusIdle]);
        Change_Running_Color();
    } else {
        view_.setStatus(view_.texts()[TextId::Tr_StatusInactive]);
    }
}

void Distiller::Distill_Folder() {
    stopRequested_ = false;
    state_.OutputDir = view_.outputDir();
    state_.WatchDir = view_.watchDir();
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
    view_.setStatus(view_.texts()[TextId::Tr_StatusConverting] + state_.CurrentFile);
    view_.repaintNow();

    const QString moveFolder = view_.moveFolder();
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
    view_.showCurrentCount(state_.CurrentCount);

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
    if (view_.deletePSFiles()) {
        platform_.removeFile(state_.InputPath);
    }
    reportedFailures_.remove(sourcePath);
    view_.addConverted(state_.PdfPath);
    return FileOutcome::Done;
}

bool Distiller::Build_GS_Command() {
    ConversionOptions options = view_.conversionOptions();
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
    view_.raiseCounter();
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
        view_.repaintNow();
    }
    return true;
}

void Distiller::waitForGhostscript() {
    // Stop does not cut this wait short: the file in hand is finished.
    Check_GS_Window();
    while (state_.GsRunning) {
        pause(kGsPollMs);
        Check_GS_Window();
        view_.repaintNow();
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
    view_.setStatus(permissionMessage());
    view_.repaintNow();
    Check_File_Free();
    return FileOutcome::PassEnds;
}

void Distiller::reportFailure(const QString& sourcePath) {
    if (!reportedFailures_.contains(sourcePath)) {
        reportedFailures_.insert(sourcePath);
        view_.addFailed(sourcePath);
    }
}

void Distiller::Change_Running_Color() {
    if (state_.RunStep >= 1 && state_.RunStep <= 6) {
        Reset_Running_Colors();
        view_.setFrameColor(kIndicatorShapes[state_.RunStep - 1], Color_Running);
        if (state_.RunStep == 6) {
            state_.RunStep = 0;
        }
    }
    state_.RunStep += 1;
}

void Distiller::Reset_Running_Colors() {
    for (const char* shape : {"Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7"}) {
        view_.setFrameColor(shape, Color_Green);
    }
}
