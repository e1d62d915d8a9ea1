// Any text as a command line, with a made-up set of existing files. Rules:
// the program is a piece of the line; without double quotes and without any
// existing file, the line splits at its blanks.
#include <QRegularExpression>
#include <cstdint>

#include "common/command_split.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const SplitCommand split = splitCommandLine(
        line, [](const QString& candidate) { return qHash(candidate, 0) % 3 == 0; });
    FUZZ_CHECK(line.contains(split.program));

    if (!line.contains(u'"')) {
        const SplitCommand plain = splitCommandLine(line, [](const QString&) { return false; });
        static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
        const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
        FUZZ_CHECK(QStringList(plain.program) + plain.arguments == words ||
                   (words.isEmpty() && plain.program.isEmpty() && plain.arguments.isEmpty()));
    }
    return 0;
}
