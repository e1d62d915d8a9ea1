#include "engine/distiller.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSet>
#include <QTimer>

#include "common/pdf_results.h"
#include "engine/file_completeness.h"
#include "engine/file_type.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "settings/configuration.h"

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
    forgetRefusalsBesides(listing);
    state_.CurrentFile.clear();
    if (state_.SingleFileMode && state_.SingleFileEnding) {
        state_.SingleFileEnding();
    }
}

void Distiller::Check_File_Free() {
    const QString path = state_.WatchDir + state_.CurrentFile;
    if (!platform_.isFileHeld(path) && !isStillBeingWritten(path)) {
        state_.FileBusy = false;
    }
}

// A writer that closes the file between pages leaves it free for a moment;
// a file that says how it ends is not taken before it does, unless its
// writer has been silent for long.
bool Distiller::isStillBeingWritten(const QString& path) {
    const std::optional<FileStatus> status = platform_.fileStatus(path);
    if (!status || status->msSinceModified >= kUnfinishedQuietMs) {
        return false;
    }
    const std::optional<QByteArray> head = platform_.readFileHead(path, kCompletenessHeadBytes);
    const std::optional<QByteArray> tail = platform_.readFileTail(path, kCompletenessTailBytes);
    return head && tail && isUnfinishedPostScript(*head, *tail);
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
    runStopped_ = false;
    Check_GS_Window();
    while (state_.GsRunning) {
        // Stop ends the run in hand (and whatever it started); the pass then
        // sees it end like any other.
        if (stopRequested_ && !runStopped_) {
            platform_.endRun(*state_.GsProcess);
            runStopped_ = true;
        }
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

bool Distiller::keepWindowAlive() {
    QCoreApplication::processEvents();
    return !stopRequested_;
}

void Distiller::forgetRefusalsBesides(const QStringList& listing) {
    QSet<QString> present;
    for (const QString& name : listing) {
        present.insert(state_.WatchDir + name);
    }
    refusals_.removeIf([&present](const QHash<QString, Refusal>::iterator& refusal) {
        return !present.contains(refusal.key());
    });
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
