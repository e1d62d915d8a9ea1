#include "settings/settings_file.h"

#include <QLocale>
#include <cstddef>
#include <optional>

#include "common/byte_text.h"
#include "common/quality.h"
#include "common/text_util.h"
#include "settings/password_garbling.h"

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

// A garbled password can contain a CR or LF byte, which would end its line
// early and lose the rest. Such a password is written under its hex key
// instead, as the garbled bytes in hex; every other password keeps the plain
// garbled line. An empty password writes no line.
void appendPassword(QByteArray& out, Key plainKey, Key hexKey, const QString& password) {
    if (password.isEmpty()) {
        return;
    }
    const QByteArray garbled = garblePasswords(bytesOfText(password));
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

bool readCheckState(QByteArrayView value) {
    return !value.isEmpty() && value[0] == '1';
}

QByteArrayView checkText(bool checked) {
    return checked ? "1" : "0";
}

QString readPassword(QByteArrayView garbled) {
    return textOfBytes(UngarblePasswords(garbled.toByteArray()));
}

void readCounter(QByteArrayView value, Settings& s) {
    const std::optional<double> number = toDecimalNumber(QString::fromUtf8(value));
    if (!number) {
        s.counter = 0;
        return;
    }
    s.counter = *number;
    s.counterCaption = QString::number(s.counter, 'f', QLocale::FloatingPointShortest);
}

// Only the upper-case first letter of an entry text selects it.
void readQuality(QByteArrayView value, Settings& s) {
    if (value.isEmpty()) {
        return;
    }
    for (std::size_t i = 0; i < kQualityEntries.size(); ++i) {
        if (value[0] == kQualityEntries[i].letter) {
            s.options.quality = static_cast<int>(i);
            return;
        }
    }
}

// One setting of the file: how its line is written and read. Some keys are
// read regardless of case, the others only exactly.
struct Field {
    Key key;
    Qt::CaseSensitivity matching;
    void (*write)(QByteArray& out, Key key, const Settings& s);
    void (*read)(QByteArrayView value, Settings& s);
};

// The two kinds of line most settings are: a path, and a check box.
template <PathKind kind>
void writePath(QByteArray& out, Key key, const Settings& s) {
    appendSetting(out, key, bytesOfText(s.path(kind)));
}
template <PathKind kind>
void readPath(QByteArrayView value, Settings& s) {
    s.path(kind) = textOfBytes(value);
}
template <bool Options::*check>
void writeCheck(QByteArray& out, Key key, const Settings& s) {
    appendSetting(out, key, checkText(s.options.*check));
}
template <bool Options::*check>
void readCheck(QByteArrayView value, Settings& s) {
    s.options.*check = readCheckState(value);
}

// The lines in the order they are written. Each line read is held against
// every field; a line matches one key at most, so the order does not matter
// to reading.
const Field kFields[] = {
    {"Ghostscriptpath", Qt::CaseSensitive, writePath<PathKind::GSPath>, readPath<PathKind::GSPath>},
    {"     Outputpath", Qt::CaseSensitive, writePath<PathKind::Outputpath>,
     readPath<PathKind::Outputpath>},
    {"     MoveFolder", Qt::CaseSensitive, writePath<PathKind::MoveToFolder>,
     readPath<PathKind::MoveToFolder>},
    {"   WatchDirpath", Qt::CaseSensitive, writePath<PathKind::WatchDirpath>,
     readPath<PathKind::WatchDirpath>},
    {"  ComposeFolder", Qt::CaseSensitive, writePath<PathKind::ComposeFolder>,
     readPath<PathKind::ComposeFolder>},
    {"  AcrobatFolder", Qt::CaseSensitive, writePath<PathKind::AcroPath>,
     readPath<PathKind::AcroPath>},
    {"DeletePSFilesAC", Qt::CaseSensitive, writeCheck<&Options::deletePSFiles>,
     readCheck<&Options::deletePSFiles>},
    {"StartDistOnBoot", Qt::CaseSensitive, writeCheck<&Options::startDistOnBoot>,
     readCheck<&Options::startDistOnBoot>},
    {"        Quality", Qt::CaseInsensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, qualityEntry(s.options.quality).text);
     },
     readQuality},
    {"UseBoundingBInf", Qt::CaseSensitive, writeCheck<&Options::useBoundingBox>,
     readCheck<&Options::useBoundingBox>},
    {"  UseEncryption", Qt::CaseInsensitive, writeCheck<&Options::useEncryption>,
     readCheck<&Options::useEncryption>},
    {" GoodPicQuality", Qt::CaseInsensitive, writeCheck<&Options::goodPicQuality>,
     readCheck<&Options::goodPicQuality>},
    {"  OwnerPassword", Qt::CaseInsensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendPassword(out, key, "   OwnerPassHex", s.options.ownerPassword);
     },
     [](QByteArrayView value, Settings& s) { s.options.ownerPassword = readPassword(value); }},
    {"   OwnerPassHex", Qt::CaseInsensitive, nullptr,
     [](QByteArrayView value, Settings& s) {
         s.options.ownerPassword = readPassword(QByteArray::fromHex(value.toByteArray()));
     }},
    {"   UserPassword", Qt::CaseInsensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendPassword(out, key, "    UserPassHex", s.options.userPassword);
     },
     [](QByteArrayView value, Settings& s) { s.options.userPassword = readPassword(value); }},
    {"    UserPassHex", Qt::CaseInsensitive, nullptr,
     [](QByteArrayView value, Settings& s) {
         s.options.userPassword = readPassword(QByteArray::fromHex(value.toByteArray()));
     }},
    {"       Language", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, bytesOfText(s.language));
     },
     [](QByteArrayView value, Settings& s) { s.language = textOfBytes(value); }},
    {"           Left", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, QByteArray::number(s.left));
     },
     [](QByteArrayView value, Settings& s) { s.left = readTwips(value); }},
    {"            Top", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, QByteArray::number(s.top));
     },
     [](QByteArrayView value, Settings& s) { s.top = readTwips(value); }},
    {"    WindowState", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, bytesOfText(s.windowState));
     },
     [](QByteArrayView value, Settings& s) { s.windowState = textOfBytes(value); }},
    {"        Counter", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         appendSetting(out, key, s.counterCaption.trimmed().toUtf8());
     },
     readCounter},
    // Written only when ticked: a file of a program that never used it stays
    // as it was.
    {"  KeepGsRunning", Qt::CaseSensitive,
     [](QByteArray& out, Key key, const Settings& s) {
         if (s.options.keepGhostscriptRunning) {
             appendSetting(out, key, "1");
         }
     },
     readCheck<&Options::keepGhostscriptRunning>},
};

// The semicolon after the key is not checked: only the key field and the
// value position count. A line shorter than a key matches none.
void readLine(QByteArrayView line, Settings& s) {
    if (line.size() < kKeyWidth) {
        return;
    }
    const QByteArrayView keyField = line.first(kKeyWidth);
    const QByteArrayView value = line.sliced(qMin(line.size(), kValueStart));
    for (const Field& field : kFields) {
        if (keyField.compare(field.key.view(), field.matching) == 0) {
            field.read(value, s);
        }
    }
}

}  // namespace

QByteArray formatSettings(const Settings& settings) {
    QByteArray out;
    for (const char* line : kHeader) {
        appendLine(out, line);
    }
    for (const Field& field : kFields) {
        if (field.write != nullptr) {
            field.write(out, field.key, settings);
        }
    }
    return out;
}

SettingsReader::SettingsReader(Settings& settings) : settings_(settings) {}

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
            readLine(line, settings_);
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
        readLine(line_, settings_);
    }
    line_.clear();
    overlong_ = false;
}

void parseSettings(QByteArrayView file, Settings& settings) {
    SettingsReader reader(settings);
    reader.read(file);
    reader.finish();
}
