#include "distill/conversion_journal.h"

#include <QByteArray>
#include <QList>

#include "common/byte_text.h"
#include "platform/folder_files.h"

namespace {

// Names and paths never hold a NUL byte, so it parts them.
constexpr char kSeparator = '\0';
constexpr qint64 kLargestJournal = 64 * 1024;

}  // namespace

ConversionJournal::ConversionJournal(FolderFiles& files, QString moveFolder)
    : files_(files), path_(moveFolder + QLatin1String(kFileName)) {}

Status ConversionJournal::write(const Entry& entry) {
    return files_.writePrivate(path_, bytesOfText(entry.name) + kSeparator +
                                          bytesOfText(entry.pdfPath) + kSeparator +
                                          QByteArray::number(entry.attempts));
}

std::optional<ConversionJournal::Entry> ConversionJournal::read() {
    const Result<QByteArray> text = files_.readHead(path_, kLargestJournal);
    if (!text) {
        return std::nullopt;
    }
    const QList<QByteArray> parts = text->split(kSeparator);
    if (parts.size() != 3 || parts[0].isEmpty()) {
        return std::nullopt;
    }
    return Entry{textOfBytes(parts[0]), textOfBytes(parts[1]), parts[2].toInt()};
}

// An empty journal has no file in hand; it stays for the next one. A journal
// that cannot be emptied stays true: its file is then found again.
void ConversionJournal::clear() {
    [[maybe_unused]] const Status emptied = files_.writePrivate(path_, {});
}
