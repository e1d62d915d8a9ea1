// Any bytes as a password, and as the hex form of one. Rules: garbling keeps
// the length and ungarbling restores the bytes; a password goes through the
// settings file (as a plain or a hex line) and comes back byte for byte.
#include <cstdint>

#include "fuzz_check.h"
#include "settings/password_garbling.h"
#include "settings/settings_file.h"
#include "settings/stored_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray plain(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray garbled = garblePasswords(plain);
    FUZZ_CHECK(garbled.size() == plain.size());
    FUZZ_CHECK(UngarblePasswords(garbled) == plain);

    SettingsValues stored;
    stored.ownerPassword = textFromStoredBytes(plain);
    stored.userPassword = textFromStoredBytes(garbled);
    SettingsValues read;
    parseSettings(formatSettings(stored), read);
    FUZZ_CHECK(storedBytesOfText(read.ownerPassword) == plain);
    FUZZ_CHECK(storedBytesOfText(read.userPassword) == garbled);

    // The same bytes behind the hex keys, as a hand-edited file may have them.
    SettingsValues fromHex;
    parseSettings("   OwnerPassHex;" + plain, fromHex);
    parseSettings("    UserPassHex;" + plain.toHex(), fromHex);
    FUZZ_CHECK(storedBytesOfText(fromHex.userPassword) == UngarblePasswords(plain));
    return 0;
}
