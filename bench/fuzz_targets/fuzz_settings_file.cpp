// Any bytes as a settings file (the first byte chooses the size of the pieces
// in which the rest comes in). Rules: read whole and read in pieces give the
// same values; what was read is written, read again and written again
// unchanged; the quality stays in range; stored text keeps its
// bytes.
#include <cstdint>

#include "common/byte_text.h"
#include "fuzz_check.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const qsizetype pieceSize = 1 + data[0] % 64;
    const QByteArrayView file(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    Settings whole;
    parseSettings(file, whole);
    Settings inPieces;
    SettingsReader reader(inPieces);
    for (qsizetype i = 0; i < file.size(); i += pieceSize) {
        reader.read(file.sliced(i, qMin(pieceSize, file.size() - i)));
    }
    reader.finish();

    const QByteArray written = formatSettings(whole);
    FUZZ_CHECK(formatSettings(inPieces) == written);
    Settings again;
    parseSettings(written, again);
    FUZZ_CHECK(formatSettings(again) == written);

    FUZZ_CHECK(whole.options.quality >= 0 && whole.options.quality <= 3);
    FUZZ_CHECK(bytesOfText(textOfBytes(file)) == file);
    return 0;
}
