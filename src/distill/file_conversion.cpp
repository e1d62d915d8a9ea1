#include "distill/file_conversion.h"

#include <QCoreApplication>

#include "common/byte_text.h"
#include "common/file_completeness.h"
#include "common/pdf_results.h"
#include "ghostscript/bounding_box.h"
#include "ghostscript/gs_command.h"
#include "ghostscript/resident_protocol.h"
#include "ghostscript/run_failure.h"
#include "i18n/text_table.h"
#include "settings/configuration.h"

namespace {

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Why a file could not be moved, in words that name the folder to blame.
QString moveReason(const TextTable& texts, const Failure& failure, const QString& sourceFolder,
                   const QString& targetFolder, TextId targetText) {
    switch (failure.kind) {
        case Failure::Kind::Unreadable:
        case Failure::Kind::NotOrdinary:
            return texts[TextId::Tr_ReasonUnreadable].arg(failure.text);
        case Failure::Kind::NotReleased:
            return texts[TextId::Tr_ReasonNotReleased].arg(sourceFolder, failure.text);
        case Failure::Kind::SameFile:
            return texts[TextId::Tr_ReasonSameFolder].arg(targetFolder);
        case Failure::Kind::Stopped:
            return texts[TextId::Tr_ReasonStopped];
        case Failure::Kind::TargetRefused:
        case Failure::Kind::Held:
        case Failure::Kind::Failed:
            break;
    }
    return texts[targetText].arg(targetFolder, failure.text);
}

}  // namespace

FileConversion::FileConversion(EngineContext& context, File file, ResidentGhostscript* resident,
                               QObject* parent)
    : QObject(parent),
      context_(context),
      file_(std::move(file)),
      sourcePath_(file_.watchDir + file_.name),
      lastSize_(file_.listedSize),
      journal_(context.files, file_.moveFolder),
      run_(context.processes),
      resident_(resident) {
    freePoll_.setInterval(kFileFreePollMs);
    connect(&freePoll_, &QTimer::timeout, this, &FileConversion::Check_File_Free);
    connect(&run_, &GhostscriptRun::finished, this, &FileConversion::ghostscriptEnded);
    if (resident_ != nullptr) {
        connect(resident_, &ResidentGhostscript::finished, this, [this](RunEnd end) {
            if (inResident_) {
                inResident_ = false;
                ghostscriptEnded(end);
            }
        });
    }
}

void FileConversion::begin() {
    Check_File_Free();
    if (!finished_ && inputPath_.isEmpty()) {
        freePoll_.start();
    }
}

void FileConversion::beginRecovered(int attempts) {
    inputPath_ = file_.moveFolder + file_.name;
    context_.results.setStatus(context_.texts[TextId::Tr_StatusConverting] + file_.name);
    journalWritten_ = true;
    if (const Status noted = journal_.write({file_.name, file_.pdfPath, attempts}); !noted) {
        fail(context_.texts[TextId::Tr_ReasonMoveFolder].arg(file_.moveFolder,
                                                             noted.failure().text));
        return;
    }
    convert();
}

void FileConversion::stop() {
    stopRequested_ = true;
    if (freePoll_.isActive()) {
        // Not yet taken: the file stays intact in the watched folder.
        freePoll_.stop();
        finish(End::Stopped);
    } else if (run_.isRunning()) {
        run_.end();
    } else if (inResident_) {
        resident_->end();
    }
}

void FileConversion::lookNow() {
    if (freePoll_.isActive()) {
        Check_File_Free();
    }
}

// A file is free once nobody holds it and its writer has finished it. One
// that ends with its end mark, that nobody has open and whose size stayed
// as it was since the last look is finished: it is taken at once, without
// the hold that covers writers closing it between pages.
void FileConversion::Check_File_Free() {
    const std::optional<FileStatus> status = context_.files.status(sourcePath_);
    const Result<QByteArray> tail =
        status ? context_.files.readTail(sourcePath_, kCompletenessTailBytes) : QByteArray();
    const bool ended = tail && !isUnfinishedPostScript(*tail);
    const bool steady = status && status->size == lastSize_;
    lastSize_ = status ? status->size : -1;
    const bool held = ended && steady ? context_.files.isOpenByOthers(sourcePath_)
                                      : context_.files.isHeld(sourcePath_);
    if (held || (status && tail && isStillBeingWritten(*status, *tail))) {
        return;
    }
    freePoll_.stop();
    take();
}

// A file that does not yet end as a PostScript file ends is not taken before
// it does, unless its writer has been silent for long, whatever its first
// line says.
bool FileConversion::isStillBeingWritten(const FileStatus& status, const QByteArray& tail) const {
    return status.msSinceModified < kUnfinishedQuietMs && isUnfinishedPostScript(tail);
}

void FileConversion::take() {
    // The file as its writer left it.
    const std::optional<FileStatus> written = context_.files.status(sourcePath_);
    if (!written) {
        finish(End::Done);  // gone meanwhile
        return;
    }
    context_.results.setStatus(context_.texts[TextId::Tr_StatusConverting] + file_.name);
    // Noted before it is taken, so that a run that ends meanwhile, however it
    // ends, leaves a trace of it.
    if (const Status noted = journal_.write({file_.name, file_.pdfPath, 0}); !noted) {
        emit refused(
            sourcePath_, *written,
            context_.texts[TextId::Tr_ReasonMoveFolder].arg(file_.moveFolder, noted.failure().text),
            noted.failure().isTransient());
        finish(End::Done);
        return;
    }
    journalWritten_ = true;
    const QString input = file_.moveFolder + file_.name;
    const Status moved =
        context_.files.move(sourcePath_, input, [this] { return keepWindowAlive(); });
    if (!moved) {
        if (moved.failure().kind == Failure::Kind::Stopped) {
            finish(End::Stopped);
            return;
        }
        emit refused(sourcePath_, *written,
                     moveReason(context_.texts, moved.failure(), file_.watchDir, file_.moveFolder,
                                TextId::Tr_ReasonMoveFolder),
                     moved.failure().isTransient());
        finish(End::Done);
        return;
    }
    inputPath_ = input;
    emit taken();
    convert();
}

void FileConversion::convert() {
    // Made afresh and no more readable than the source: a leftover temporary
    // file must not pass for this run's output, and the PDF it becomes must
    // not show a private file to others.
    placement_.emplace(context_.files, file_.watchDir + QLatin1String(kTempFileName), file_.pdfPath,
                       QStringList{inputPath_});
    if (const Status prepared = placement_->prepare(); !prepared) {
        fail(context_.texts[TextId::Tr_ReasonWatchFolder].arg(file_.watchDir,
                                                              prepared.failure().text));
        return;
    }
    if (const std::optional<QString> failure = Build_GS_Command()) {
        fail(*failure);
    }
}

// Builds the command of the file in hand and starts Ghostscript. Nothing
// when it started, else the reason why not: the count of produced files then
// stays as it was.
std::optional<QString> FileConversion::Build_GS_Command() {
    const ConversionOptions options = conversionOptionsOf(context_.config);
    std::optional<PageSize> pageSize;
    if (options.useBoundingBox) {
        const Result<QByteArray> head = context_.files.readHead(inputPath_, kBoundingBoxScanLimit);
        const BoundingBoxScan scan = head ? scanBoundingBox(*head) : BoundingBoxScan{};
        if (!head || scan.failed) {
            return context_.texts[TextId::Tr_ReasonBoundingBox];
        }
        if (scan.found) {
            pageSize = scan.size;
        }
    }
    // A file with a page size of its own needs its own command line; without
    // one, the bounding-box option changes nothing.
    if (resident_ != nullptr && options.keepRunning && !pageSize) {
        ConversionOptions plain = options;
        plain.useBoundingBox = false;
        if (const std::optional<GsCommand> resident =
                residentCommand(plain, file_.moveFolder, placement_->asidePath())) {
            if (!resident_->convert(*resident, inputPath_, placement_->asidePath())) {
                return context_.texts[TextId::Tr_ReasonGsNotStarted].arg(resident->program);
            }
            inResident_ = true;
            return std::nullopt;
        }
    }
    const Result<QString> input = inputForCommandLine();
    if (!input) {
        return context_.texts[TextId::Tr_ReasonNameNotCarried].arg(input.failure().text);
    }
    const GsCommand command = gsCommand(options, pageSize, placement_->asidePath(), *input);
    if (!run_.start(command)) {
        return context_.texts[TextId::Tr_ReasonGsNotStarted].arg(command.program);
    }
    return std::nullopt;
}

// Ghostscript drops the bytes of its arguments that are not UTF-8: a moved
// copy with such a name gets a second, plain name for the run. A folder
// with such a name is beyond that.
Result<QString> FileConversion::inputForCommandLine() {
    if (!holdsForeignBytes(inputPath_)) {
        return inputPath_;
    }
    for (const QString& folder : {file_.moveFolder, file_.watchDir}) {
        if (holdsForeignBytes(folder)) {
            return Failure{Failure::Kind::Failed, 0, folder};
        }
    }
    const QString alias = file_.moveFolder + QLatin1String(kInputAliasName);
    dropAlias();
    if (const Status linked = context_.files.link(inputPath_, alias); !linked) {
        return linked.failure();
    }
    aliased_ = true;
    return alias;
}

void FileConversion::dropAlias() {
    const QString alias = file_.moveFolder + QLatin1String(kInputAliasName);
    const std::optional<FileStatus> status = context_.files.status(alias);
    if (status && status->type == FileStatus::Type::Ordinary) {
        [[maybe_unused]] const Status removed = context_.files.remove(alias);
    }
    aliased_ = false;
}

void FileConversion::ghostscriptEnded(RunEnd end) {
    if (aliased_) {
        dropAlias();
    }
    if (const std::optional<QString> failure =
            runFailure(context_.texts, end, *placement_,
                       context_.texts[TextId::Tr_ReasonPdfIncomplete].arg(file_.watchDir))) {
        fail(*failure);
        return;
    }
    // The PDF is finished: Stop does not cut its placing short.
    const Status placed = placement_->place([] {
        QCoreApplication::processEvents();
        return true;
    });
    if (!placed) {
        fail(moveReason(context_.texts, placed.failure(), file_.watchDir, folderOf(file_.pdfPath),
                        TextId::Tr_ReasonOutputFolder));
        return;
    }
    if (file_.singleFile || context_.config.options().deletePSFiles) {
        [[maybe_unused]] const Status removed = context_.files.remove(inputPath_);
    }
    // The counter counts PDFs made, not Ghostscript runs.
    context_.results.raiseCounter();
    context_.results.addConverted(file_.pdfPath);
    finish(End::Done, file_.pdfPath);
}

// The moved copy stays in the move-to folder: it is all the user has.
void FileConversion::fail(const QString& reason) {
    placement_->discard();
    context_.results.addFailed(inputPath_, reason);
    finish(stopRequested_ ? End::Stopped : End::Done);
}

void FileConversion::finish(End end, const QString& pdfPath) {
    if (!finished_) {
        finished_ = true;
        if (journalWritten_) {
            journal_.clear();
        }
        emit finished(end, pdfPath);
    }
}

bool FileConversion::keepWindowAlive() {
    QCoreApplication::processEvents();
    return !stopRequested_;
}
