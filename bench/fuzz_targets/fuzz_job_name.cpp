// Any bytes as a print job's title (the first byte chooses the number that
// tells apart jobs of one name). Rules: the name is valid UTF-8, at most the
// longest name, holds no "/" and no control character, does not start with a
// dot or a blank, and has a PostScript ending; a number above 1 stands in it.
#include <QStringDecoder>
#include <cstdint>

#include "fuzz_check.h"
#include "printing/job_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int number = 1 + data[0] % 12;
    const QByteArrayView title(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const QByteArray name = jobFileName(title, 42, number);

    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(name);
    FUZZ_CHECK(!utf8.hasError());
    FUZZ_CHECK(!name.isEmpty() && name.size() <= kLongestJobFileName);
    FUZZ_CHECK(!name.contains('/') && name[0] != '.' && name[0] != ' ');
    for (const char byte : name) {
        FUZZ_CHECK(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7f);
    }
    const QByteArray lower = name.toLower();
    FUZZ_CHECK(lower.endsWith(".ps") || lower.endsWith(".eps") || lower.endsWith(".prn") ||
               lower.endsWith(".plt"));
    FUZZ_CHECK(number == 1 || name.contains(" (" + QByteArray::number(number) + ")"));
    return 0;
}
