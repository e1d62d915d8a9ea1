// Any bytes as a password, and as the hex form of one. Rules: garbling keeps
// the length and ungarbling restores the bytes; a password goes through the
// settings file (as a plain or a hex line) and comes back byte for byte.
#include <cstdint>

#include "common/byte_text.h"
#include "fuzz_check.h"
#include "settings/password_garbling.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray plain(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray garbled = garblePasswords(plain);
    FUZZ_CHECK(garbled.size() == plain.size());
    FUZZ_CHECK(UngarblePasswords(garbled) == plain);

    Settings stored;
    stored.options.ownerPassword = textOfBytes(plain);
    stored.options.userPassword = textOfBytes(garbled);
    Settings read;
    parseSettings(formatSettings(stored), read);
    FUZZ_CHECK(bytesOfText(read.options.ownerPassword) == plain);
    FUZZ_CHECK(bytesOfText(read.options.userPassword) == garbled);

    // The same bytes behind the hex keys, as a hand-edited file may have them.
    Settings fromHex;
    parseSettings("   OwnerPassHex;" + plain, fromHex);
    parseSettings("    UserPassHex;" + plain.toHex(), fromHex);
    FUZZ_CHECK(bytesOfText(fromHex.options.userPassword) == UngarblePasswords(plain));
    return 0;
}
