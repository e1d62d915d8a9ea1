#include "settings/settings_file.h"

#include <QLocale>
#include <cstddef>
#include <optional>

#include "common/quality.h"
#include "common/text_util.h"
#include "settings/password_garbling.h"
#include "settings/stored_text.h"

namespace {

// Every setting line starts with its key right-aligned in this many
// characters, then a semicolon, then the value.
constexpr qsizetype kKeyWidth = 15;
constexpr qsizetype kValueStart = kKeyWidth + 1;

// A key as it stands in the file, padded to the full width. The length is
// checked when the program is compiled, so a miscounted blank cannot slip in.
struct Key {
    template <std::size_t N>
    consteval Key(const char (&padded)[N]) : text(padded) {
        static_assert(N == kKeyWidth + 1, "a key fills exactly the key width");
    }
    QByteArrayView view() const { return QByteArrayView(text, kKeyWidth); }
    const char* text;
};

constexpr Key kGhostscriptPath("Ghostscriptpath");
constexpr Key kOutputPath("     Outputpath");
constexpr Key kMoveFolder("     MoveFolder");
constexpr Key kWatchDirPath("   WatchDirpath");
constexpr Key kComposeFolder("  ComposeFolder");
constexpr Key kAcrobatFolder("  AcrobatFolder");
constexpr Key kDeletePSFiles("DeletePSFilesAC");
constexpr Key kStartDistOnBoot("StartDistOnBoot");
constexpr Key kQuality("        Quality");
constexpr Key kUseBoundingBox("UseBoundingBInf");
constexpr Key kUseEncryption("  UseEncryption");
constexpr Key kGoodPicQuality(" GoodPicQuality");
constexpr Key kOwnerPassword("  OwnerPassword");
constexpr Key kUserPassword("   UserPassword");
constexpr Key kLanguage("       Language");
constexpr Key kLeft("           Left");
constexpr Key kTop("            Top");
constexpr Key kWindowState("    WindowState");
constexpr Key kCounter("        Counter");
// A garbled password can contain a CR or LF byte, which would end its line
// early and lose the rest. Such a password is written under these keys
// instead, as the garbled bytes in hex; every other password keeps the plain
// garbled line.
constexpr Key kOwnerPassHex("   OwnerPassHex");
constexpr Key kUserPassHex("    UserPassHex");

constexpr const char* kHeader[] = {
    "*** This is the settingsfile for TarnWick.exe",
    "*** TarnWick - PostScript to PDF with Ghostscript",
    "*** Do not alter this file for it can bring TarnWick in trouble, if it does go wrong just "
    "delete this file and a new correct one will be made again",
};

void appendLine(QByteArray& out, QByteArrayView text) {
    out.append(text);
    out.append("\r\n");
}

void appendSetting(QByteArray& out, Key key, QByteArrayView value) {
    out.append(key.view());
    out.append(';');
    appendLine(out, value);
}

QByteArrayView checkText(int state) {
    return state != 0 ? "1" : "0";
}

void appendPassword(QByteArray& out, Key plainKey, Key hexKey, const QString& password) {
    if (password.isEmpty()) {
        return;
    }
    const QByteArray garbled = garblePasswords(storedBytesOfText(password));
    if (garbled.contains('\r') || garbled.contains('\n')) {
        appendSetting(out, hexKey, garbled.toHex());
    } else {
        appendSetting(out, plainKey, garbled);
    }
}

// Window positions: anything unreadable or beyond 16 bits puts the window at 0.
qint16 readTwips(QByteArrayView value) {
    const std::optional<double> rounded = toWholeNumber(QString::fromUtf8(value));
    if (!rounded || *rounded < -32768.0 || *rounded > 32767.0) {
        return 0;
    }
    return static_cast<qint16>(*rounded);
}

int readCheckState(QByteArrayView value) {
    return !value.isEmpty() && value[0] == '1' ? 1 : 0;
}

QString readText(QByteArrayView value) {
    return textFromStoredBytes(value);
}

QString readPassword(QByteArrayView garbled) {
    return textFromStoredBytes(UngarblePasswords(garbled.toByteArray()));
}

void readCounter(QByteArrayView value, SettingsValues& v) {
    const std::optional<double> number = toDecimalNumber(QString::fromUtf8(value));
    if (!number) {
        v.counter = 0;
        return;
    }
    v.counter = *number;
    v.counterCaption = QString::number(v.counter, 'f', QLocale::FloatingPointShortest);
}

// Only the upper-case first letter of an entry text selects it.
void readQuality(QByteArrayView value, SettingsValues& v) {
    if (value.isEmpty()) {
        return;
    }
    for (std::size_t i = 0; i < kQualityEntries.size(); ++i) {
        if (value[0] == kQualityEntries[i].letter) {
            v.quality = static_cast<int>(i);
            v.qualityChanged = true;
            return;
        }
    }
}

struct Reader {
    Key key;
    Qt::CaseSensitivity matching;
    void (*read)(QByteArrayView value, SettingsValues& v);
};

// Each line is held against every reader, in this order. Some keys match
// regardless of case, the others only exactly.
constexpr Reader kReaders[] = {
    {kGhostscriptPath, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.ghostscriptPath = readText(s); }},
    {kOutputPath, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.outputPath = readText(s); }},
    {kWatchDirPath, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.watchDirPath = readText(s); }},
    {kMoveFolder, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.moveFolder = readText(s); }},
    {kComposeFolder, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.composeFolder = readText(s); }},
    {kAcrobatFolder, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.acrobatFolder = readText(s); }},
    {kLeft, Qt::CaseSensitive, [](QByteArrayView s, SettingsValues& v) { v.left = readTwips(s); }},
    {kTop, Qt::CaseSensitive, [](QByteArrayView s, SettingsValues& v) { v.top = readTwips(s); }},
    {kCounter, Qt::CaseSensitive, readCounter},
    {kDeletePSFiles, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.deletePSFiles = readCheckState(s); }},
    {kUseBoundingBox, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.useBoundingBox = readCheckState(s); }},
    {kStartDistOnBoot, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.startDistOnBoot = readCheckState(s); }},
    {kQuality, Qt::CaseInsensitive, readQuality},
    {kUseEncryption, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) { v.useEncryption = readCheckState(s); }},
    {kOwnerPassword, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) { v.ownerPassword = readPassword(s); }},
    {kUserPassword, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) { v.userPassword = readPassword(s); }},
    {kGoodPicQuality, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) { v.goodPicQuality = readCheckState(s); }},
    {kLanguage, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.language = readText(s); }},
    {kWindowState, Qt::CaseSensitive,
     [](QByteArrayView s, SettingsValues& v) { v.windowState = readText(s); }},
    {kOwnerPassHex, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) {
         v.ownerPassword = readPassword(QByteArray::fromHex(s.toByteArray()));
     }},
    {kUserPassHex, Qt::CaseInsensitive,
     [](QByteArrayView s, SettingsValues& v) {
         v.userPassword = readPassword(QByteArray::fromHex(s.toByteArray()));
     }},
};

// The semicolon after the key is not checked: only the key field and the
// value position count. A line shorter than a key matches none.
void readLine(QByteArrayView line, SettingsValues& v) {
    if (line.size() < kKeyWidth) {
        return;
    }
    const QByteArrayView keyField = line.first(kKeyWidth);
    const QByteArrayView value = line.sliced(qMin(line.size(), kValueStart));
    for (const Reader& reader : kReaders) {
        if (keyField.compare(reader.key.view(), reader.matching) == 0) {
            reader.read(value, v);
        }
    }
}

}  // namespace

QByteArray formatSettings(const SettingsValues& v) {
    QByteArray out;
    for (const char* line : kHeader) {
        appendLine(out, line);
    }
    appendSetting(out, kGhostscriptPath, storedBytesOfText(v.ghostscriptPath));
    appendSetting(out, kOutputPath, storedBytesOfText(v.outputPath));
    appendSetting(out, kMoveFolder, storedBytesOfText(v.moveFolder));
    appendSetting(out, kWatchDirPath, storedBytesOfText(v.watchDirPath));
    appendSetting(out, kComposeFolder, storedBytesOfText(v.composeFolder));
    appendSetting(out, kAcrobatFolder, storedBytesOfText(v.acrobatFolder));
    appendSetting(out, kDeletePSFiles, checkText(v.deletePSFiles));
    appendSetting(out, kStartDistOnBoot, checkText(v.startDistOnBoot));
    const bool knownQuality =
        v.quality >= 0 && v.quality < static_cast<int>(kQualityEntries.size());
    appendSetting(out, kQuality,
                  kQualityEntries[knownQuality ? static_cast<std::size_t>(v.quality) : 0].text);
    appendSetting(out, kUseBoundingBox, checkText(v.useBoundingBox));
    appendSetting(out, kUseEncryption, checkText(v.useEncryption));
    appendSetting(out, kGoodPicQuality, checkText(v.goodPicQuality));
    appendPassword(out, kOwnerPassword, kOwnerPassHex, v.ownerPassword);
    appendPassword(out, kUserPassword, kUserPassHex, v.userPassword);
    appendSetting(out, kLanguage, storedBytesOfText(v.language));
    appendSetting(out, kLeft, QByteArray::number(v.left));
    appendSetting(out, kTop, QByteArray::number(v.top));
    appendSetting(out, kWindowState, storedBytesOfText(v.windowState));
    appendSetting(out, kCounter, v.counterCaption.trimmed().toUtf8());
    return out;
}

SettingsReader::SettingsReader(SettingsValues& values) : values_(values) {}

// A CR LF pair leaves an empty piece between CR and LF, which matches no key,
// so splitting at every CR and every LF reads the same as pairing them.
void SettingsReader::read(QByteArrayView piece) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (piece[i] != '\r' && piece[i] != '\n') {
            continue;
        }
        const QByteArrayView line = piece.sliced(start, i - start);
        if (line_.isEmpty() && !overlong_ && line.size() <= kLongestSettingsLine) {
            readLine(line, values_);
        } else {
            keep(line);
            finish();
        }
        start = i + 1;
    }
    keep(piece.sliced(start));
}

void SettingsReader::keep(QByteArrayView part) {
    if (overlong_ || line_.size() + part.size() > kLongestSettingsLine) {
        overlong_ = true;
        line_.clear();
        return;
    }
    line_.append(part);
}

void SettingsReader::finish() {
    if (!overlong_) {
        readLine(line_, values_);
    }
    line_.clear();
    overlong_ = false;
}

void parseSettings(QByteArrayView file, SettingsValues& v) {
    SettingsReader reader(v);
    reader.read(file);
    reader.finish();
}
