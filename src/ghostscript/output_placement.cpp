#include "ghostscript/output_placement.h"

#include "common/file_completeness.h"
#include "platform/folder_files.h"

OutputPlacement::OutputPlacement(FolderFiles& files, QString asidePath, QString finalPath,
                                 QStringList sources)
    : files_(files),
      aside_(std::move(asidePath)),
      final_(std::move(finalPath)),
      sources_(std::move(sources)) {}

Status OutputPlacement::prepare() {
    return files_.createOutput(aside_, sources_);
}

OutputPlacement::Check OutputPlacement::check() {
    const Result<QByteArray> tail = files_.readTail(aside_, kCompletenessTailBytes);
    if (!tail || tail->isEmpty()) {
        return Check::Missing;
    }
    return isWholePdf(*tail) ? Check::Whole : Check::Incomplete;
}

Status OutputPlacement::place(const std::function<bool()>& keepGoing) {
    return files_.move(aside_, final_, keepGoing);
}

void OutputPlacement::discard() {
    const std::optional<FileStatus> status = files_.status(aside_);
    if (status && status->type == FileStatus::Type::Ordinary) {
        // What is left aside is this run's own; a failed removal leaves it
        // to the next prepare.
        [[maybe_unused]] const Status removed = files_.remove(aside_);
    }
}
