#include <QRandomGenerator>
#include <QTest>
#include <functional>

#include "common/byte_text.h"
#include "settings/password_garbling.h"
#include "settings/settings_file.h"
#include "support/settings_text.h"

Q_DECLARE_METATYPE(Settings)

namespace {

// Keeps embedded NUL bytes, which a plain const char* would cut off.
template <std::size_t N>
QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// A set of values in which every field differs from its default, so that a
// field that is lost or mixed up shows.
Settings sample() {
    Settings v;
    v.path(PathKind::GSPath) = "/usr/bin/gs";
    v.path(PathKind::Outputpath) = QString::fromUtf8(
        "/home/user/\xc3\x9c"
        "bersicht");
    v.path(PathKind::MoveToFolder) = "/home/user/PS done";
    v.path(PathKind::WatchDirpath) = "/home/user/PS";
    v.path(PathKind::ComposeFolder) = "/home/user/Compose";
    v.path(PathKind::AcroPath) = "/usr/bin/evince";
    v.options.deletePSFiles = true;
    v.options.startDistOnBoot = false;
    v.options.useBoundingBox = true;
    v.options.useEncryption = true;
    v.options.goodPicQuality = false;
    v.options.quality = 2;
    v.options.ownerPassword = "seventeen-letters!";
    v.options.userPassword = "Secret1";
    v.language = "NL";
    v.left = 1200;
    v.top = -300;
    v.windowState = "2";
    v.counter = 41;
    v.counterCaption = "41";
    return v;
}

// The file for sample(), written out by hand. The owner password garbles to
// bytes ending in CR, so it stands in hex.
const QByteArray kSampleFile = kSettingsHeader +
                               "Ghostscriptpath;/usr/bin/gs\r\n"
                               "     Outputpath;/home/user/\xc3\x9c"
                               "bersicht\r\n"
                               "     MoveFolder;/home/user/PS done\r\n"
                               "   WatchDirpath;/home/user/PS\r\n"
                               "  ComposeFolder;/home/user/Compose\r\n"
                               "  AcrobatFolder;/usr/bin/evince\r\n"
                               "DeletePSFilesAC;1\r\n"
                               "StartDistOnBoot;0\r\n"
                               "        Quality;Printer (GS7+)\r\n"
                               "UseBoundingBInf;1\r\n"
                               "  UseEncryption;1\r\n"
                               " GoodPicQuality;0\r\n"
                               "   OwnerPassHex;7061715f676c5c5b63215f5765645460600d\r\n"
                               "   UserPassword;Pa^l^l(\r\n"
                               "       Language;NL\r\n"
                               "           Left;1200\r\n"
                               "            Top;-300\r\n"
                               "    WindowState;2\r\n"
                               "        Counter;41\r\n";

Settings changed(const std::function<void(Settings&)>& change) {
    Settings v = sample();
    change(v);
    return v;
}

void compareValues(const Settings& actual, const Settings& expected) {
    QCOMPARE(actual.path(PathKind::GSPath), expected.path(PathKind::GSPath));
    QCOMPARE(actual.path(PathKind::Outputpath), expected.path(PathKind::Outputpath));
    QCOMPARE(actual.path(PathKind::MoveToFolder), expected.path(PathKind::MoveToFolder));
    QCOMPARE(actual.path(PathKind::WatchDirpath), expected.path(PathKind::WatchDirpath));
    QCOMPARE(actual.path(PathKind::ComposeFolder), expected.path(PathKind::ComposeFolder));
    QCOMPARE(actual.path(PathKind::AcroPath), expected.path(PathKind::AcroPath));
    QCOMPARE(actual.options.deletePSFiles, expected.options.deletePSFiles);
    QCOMPARE(actual.options.startDistOnBoot, expected.options.startDistOnBoot);
    QCOMPARE(actual.options.useBoundingBox, expected.options.useBoundingBox);
    QCOMPARE(actual.options.useEncryption, expected.options.useEncryption);
    QCOMPARE(actual.options.goodPicQuality, expected.options.goodPicQuality);
    QCOMPARE(actual.options.quality, expected.options.quality);
    QCOMPARE(actual.options.ownerPassword, expected.options.ownerPassword);
    QCOMPARE(actual.options.userPassword, expected.options.userPassword);
    QCOMPARE(actual.options.keepGhostscriptRunning, expected.options.keepGhostscriptRunning);
    QCOMPARE(actual.language, expected.language);
    QCOMPARE(actual.left, expected.left);
    QCOMPARE(actual.top, expected.top);
    QCOMPARE(actual.windowState, expected.windowState);
    QCOMPARE(actual.counter, expected.counter);
    QCOMPARE(actual.counterCaption, expected.counterCaption);
}

// The values a freshly written file gives back when read into defaults.
Settings asReadBack(Settings v) {
    v.counterCaption = v.counterCaption.trimmed();
    v.counter = v.counterCaption.toDouble();
    return v;
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

  private slots:
    void formatWritesExactBytes_data();
    void formatWritesExactBytes();
    void passwordLineKind_data();
    void passwordLineKind();
    void roundTrip_data();
    void roundTrip();
    void parse_data();
    void parse();
    void parseIgnoresBinaryGarbage();
    void parseKeepsQualityInRange();
    void parseHugeFile();
    void readInPieces_data();
    void readInPieces();
    void bytesComeBackUnchanged_data();
    void bytesComeBackUnchanged();
};

void TestSettingsFile::formatWritesExactBytes_data() {
    QTest::addColumn<Settings>("values");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("sample") << sample() << kSampleFile;

    QTest::newRow("defaults") << Settings()
                              << kSettingsHeader +
                                     "Ghostscriptpath;\r\n"
                                     "     Outputpath;\r\n"
                                     "     MoveFolder;\r\n"
                                     "   WatchDirpath;\r\n"
                                     "  ComposeFolder;\r\n"
                                     "  AcrobatFolder;\r\n"
                                     "DeletePSFilesAC;0\r\n"
                                     "StartDistOnBoot;0\r\n"
                                     "        Quality;Default (all)\r\n"
                                     "UseBoundingBInf;0\r\n"
                                     "  UseEncryption;0\r\n"
                                     " GoodPicQuality;0\r\n"
                                     "       Language;GB\r\n"
                                     "           Left;0\r\n"
                                     "            Top;0\r\n"
                                     "    WindowState;0\r\n"
                                     "        Counter;0\r\n";

    Settings odd;
    odd.options.startDistOnBoot = true;
    odd.options.goodPicQuality = true;
    odd.options.quality = 7;
    odd.options.ownerPassword = "abc";
    odd.options.userPassword = "aaaaaaaaaaaaaaaaaaa ";
    odd.left = -32768;
    odd.top = 32767;
    odd.counterCaption = "  17 ";
    // Written only when ticked, after every other line.
    odd.options.keepGhostscriptRunning = true;
    QTest::newRow("unusual values")
        << odd
        << kSettingsHeader +
               "Ghostscriptpath;\r\n"
               "     Outputpath;\r\n"
               "     MoveFolder;\r\n"
               "   WatchDirpath;\r\n"
               "  ComposeFolder;\r\n"
               "  AcrobatFolder;\r\n"
               "DeletePSFilesAC;0\r\n"
               "StartDistOnBoot;1\r\n"
               "        Quality;Default (all)\r\n"
               "UseBoundingBInf;0\r\n"
               "  UseEncryption;0\r\n"
               " GoodPicQuality;1\r\n"
               "  OwnerPassword;^^^\r\n"
               "    UserPassHex;5e5d5c5b5a595857565554535251504f4e4d4c0a\r\n"
               "       Language;GB\r\n"
               "           Left;-32768\r\n"
               "            Top;32767\r\n"
               "    WindowState;0\r\n"
               "        Counter;17\r\n"
               "  KeepGsRunning;1\r\n";

    Settings screen;
    screen.options.quality = 1;
    screen.options.userPassword = "Secret1";
    screen.language = "DE";
    screen.windowState = "1";
    QTest::newRow("screen quality, user password only") << screen
                                                        << kSettingsHeader +
                                                               "Ghostscriptpath;\r\n"
                                                               "     Outputpath;\r\n"
                                                               "     MoveFolder;\r\n"
                                                               "   WatchDirpath;\r\n"
                                                               "  ComposeFolder;\r\n"
                                                               "  AcrobatFolder;\r\n"
                                                               "DeletePSFilesAC;0\r\n"
                                                               "StartDistOnBoot;0\r\n"
                                                               "        Quality;Screen  (GS7+)\r\n"
                                                               "UseBoundingBInf;0\r\n"
                                                               "  UseEncryption;0\r\n"
                                                               " GoodPicQuality;0\r\n"
                                                               "   UserPassword;Pa^l^l(\r\n"
                                                               "       Language;DE\r\n"
                                                               "           Left;0\r\n"
                                                               "            Top;0\r\n"
                                                               "    WindowState;1\r\n"
                                                               "        Counter;0\r\n";
}

void TestSettingsFile::formatWritesExactBytes() {
    QFETCH(Settings, values);
    QFETCH(QByteArray, file);

    QCOMPARE(formatSettings(values), file);
}

// Whether a password needs the hex line was worked out by hand: only a CR or
// LF among the garbled bytes calls for it.
void TestSettingsFile::passwordLineKind_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("hex");

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("plain ascii") << "abc" << false;
    QTest::newRow("blank at 20, LF") << "aaaaaaaaaaaaaaaaaaa " << true;
    QTest::newRow("exclamation at 18, CR") << "aaaaaaaaaaaaaaaaa!" << true;
    QTest::newRow("umlauts without line end") << QString::fromUtf8(
                                                     "Gr\xc3\xbc\xc3\x9f"
                                                     "e aus K\xc3\xb6ln, 2024 ge\xc3\xb6"
                                                     "ffnet!")
                                              << false;
    QTest::newRow("umlauts with CR") << QString::fromUtf8(
                                            "Gr\xc3\xb6\xc3\x9f"
                                            "enordnungen!")
                                     << true;
    QTest::newRow("umlauts with LF") << QString::fromUtf8(
                                            "Schl\xc3\xbcssel f\xc3\xbcr das B\xc3\xbcro "
                                            "\xc3\xb6"
                                            "ffnen!")
                                     << true;
}

void TestSettingsFile::passwordLineKind() {
    QFETCH(QString, password);
    QFETCH(bool, hex);

    Settings owner;
    owner.options.ownerPassword = password;
    const QByteArray ownerFile = formatSettings(owner);
    Settings user;
    user.options.userPassword = password;
    const QByteArray userFile = formatSettings(user);

    const bool plain = !hex && !password.isEmpty();
    QCOMPARE(ownerFile.contains("\r\n  OwnerPassword;"), plain);
    QCOMPARE(ownerFile.contains("\r\n   OwnerPassHex;"), hex);
    QCOMPARE(userFile.contains("\r\n   UserPassword;"), plain);
    QCOMPARE(userFile.contains("\r\n    UserPassHex;"), hex);
    // One password never brings the other one's line.
    QVERIFY(!ownerFile.contains("UserPass"));
    QVERIFY(!userFile.contains("OwnerPass"));
    // Apart from the line ends, no CR or LF may reach the file.
    QCOMPARE(ownerFile.count('\r'), ownerFile.count("\r\n"));
    QCOMPARE(ownerFile.count('\n'), ownerFile.count("\r\n"));
}

void TestSettingsFile::roundTrip_data() {
    QTest::addColumn<Settings>("values");

    QTest::newRow("sample") << sample();
    QTest::newRow("defaults") << Settings();
    for (int quality = 0; quality < 4; ++quality) {
        QTest::addRow("quality %d", quality)
            << changed([=](Settings& v) { v.options.quality = quality; });
    }
    QTest::newRow("check states flipped") << changed([](Settings& v) {
        v.options.deletePSFiles = false;
        v.options.startDistOnBoot = true;
        v.options.useBoundingBox = false;
        v.options.useEncryption = false;
        v.options.goodPicQuality = true;
        v.options.keepGhostscriptRunning = true;
    });
    QTest::newRow("non-ascii everywhere") << changed([](Settings& v) {
        v.path(PathKind::GSPath) = QString::fromUtf8("/opt/g\xc3\xa9n\xc3\xa9rique/gs");
        v.path(PathKind::MoveToFolder) = QString::fromUtf8("/srv/\xe6\x96\x87\xe4\xbb\xb6");
        v.path(PathKind::WatchDirpath) = QString::fromUtf8("/home/user/\xc3\xa5\xc3\xa4\xc3\xb6");
        v.path(PathKind::ComposeFolder) = QString::fromUtf8("/tmp/\xf0\x9f\x93\x84");
        v.path(PathKind::AcroPath) = "/usr/bin/okular";
        v.language = QString::fromUtf8("\xc3\x9c");
        v.windowState = "1";
    });
    QTest::newRow("passwords with umlauts") << changed([](Settings& v) {
        v.options.ownerPassword = QString::fromUtf8("P\xc3\xa4sswort\xc3\xa9");
        v.options.userPassword = QString::fromUtf8("\xe5\xaf\x86\xe7\xa0\x81");
    });
    QTest::newRow("passwords garbling to CR and LF") << changed([](Settings& v) {
        v.options.ownerPassword = QString::fromUtf8(
            "Gr\xc3\xb6\xc3\x9f"
            "enordnungen!");
        v.options.userPassword = QString::fromUtf8(
            "Schl\xc3\xbcssel f\xc3\xbcr das B\xc3\xbcro \xc3\xb6"
            "ffnen!");
    });
    QTest::newRow("passwords with blanks and semicolons") << changed([](Settings& v) {
        v.options.ownerPassword = "  ;both ends; ";
        v.options.userPassword = " ";
    });
    QTest::newRow("all printable ascii as password") << changed([](Settings& v) {
        QString all;
        for (char c = ' '; c <= '~'; ++c) {
            all += QLatin1Char(c);
        }
        v.options.ownerPassword = all;
        v.options.userPassword = all;
    });
    QTest::newRow("no passwords") << changed([](Settings& v) {
        v.options.ownerPassword.clear();
        v.options.userPassword.clear();
    });
    QTest::newRow("position limits") << changed([](Settings& v) {
        v.left = -32768;
        v.top = 32767;
    });
    QTest::newRow("fractional counter") << changed([](Settings& v) {
        v.counter = 2.5;
        v.counterCaption = "2.5";
    });
    QTest::newRow("counter caption with blanks")
        << changed([](Settings& v) { v.counterCaption = " 1234567 "; });
}

void TestSettingsFile::roundTrip() {
    QFETCH(Settings, values);

    const QByteArray file = formatSettings(values);
    Settings read;
    parseSettings(file, read);
    compareValues(read, asReadBack(values));
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(formatSettings(read), file);
}

void TestSettingsFile::parse_data() {
    QTest::addColumn<Settings>("before");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Settings>("expected");

    const Settings s = sample();
    auto row = [&](const char* name, const QByteArray& file,
                   const std::function<void(Settings&)>& change) {
        QTest::newRow(name) << s << file << changed(change);
    };
    auto same = [](Settings&) {};

    // Missing keys, blank lines, line ends.
    row("empty file", QByteArray(), same);
    row("header only", kSettingsHeader, same);
    row("blank lines", bytes("\r\n\r\n\n\r\r\n     Outputpath;/out\r\n\r\n"),
        [](Settings& v) { v.path(PathKind::Outputpath) = "/out"; });
    row("lone LF line ends", bytes("Ghostscriptpath;/a\n     Outputpath;/b\n       Language;DE"),
        [](Settings& v) {
            v.path(PathKind::GSPath) = "/a";
            v.path(PathKind::Outputpath) = "/b";
            v.language = "DE";
        });
    row("lone CR line ends", bytes("Ghostscriptpath;/a\r     Outputpath;/b\r       Language;DE\r"),
        [](Settings& v) {
            v.path(PathKind::GSPath) = "/a";
            v.path(PathKind::Outputpath) = "/b";
            v.language = "DE";
        });
    row("CR LF leaves no CR in the value", bytes("       Language;DE\r\n    WindowState;2\r\n"),
        [](Settings& v) { v.language = "DE"; });
    row("last line without line end", bytes("       Language;FR"),
        [](Settings& v) { v.language = "FR"; });
    row("last line wins", bytes("Ghostscriptpath;/first/gs\r\nGhostscriptpath;/second/gs\r\n"),
        [](Settings& v) { v.path(PathKind::GSPath) = "/second/gs"; });

    // Key matching.
    row("character 16 is not looked at", bytes("Ghostscriptpath=/opt/gs\r\n"),
        [](Settings& v) { v.path(PathKind::GSPath) = "/opt/gs"; });
    row("exact key in lower case ignored", bytes("ghostscriptpath;/x\r\n"), same);
    row("language key in capitals ignored", bytes("       LANGUAGE;DE\r\n"), same);
    row("unpadded key ignored", bytes("Outputpath;/x\r\n"), same);
    row("short line ignored", bytes("Ghostscript\r\n"), same);
    row("NUL in key field ignored", bytes("Ghostscript\0ath;/x\r\n"), same);
    row("quality key in capitals", bytes("        QUALITY;S\r\n"),
        [](Settings& v) { v.options.quality = 1; });
    row("encryption key in capitals", bytes("  USEENCRYPTION;0\r\n"),
        [](Settings& v) { v.options.useEncryption = false; });
    row("picture quality key in capitals", bytes(" GOODPICQUALITY;1\r\n"),
        [](Settings& v) { v.options.goodPicQuality = true; });
    row("owner password key in capitals", bytes("  OWNERPASSWORD;^^^\r\n"),
        [](Settings& v) { v.options.ownerPassword = "abc"; });
    row("user password key mixed case", bytes("   userPASSWORD;^^^\r\n"),
        [](Settings& v) { v.options.userPassword = "abc"; });
    row("owner password hex", bytes("   OwnerPassHex;5e5e5e\r\n"),
        [](Settings& v) { v.options.ownerPassword = "abc"; });
    row("user password hex, key and digits in capitals", bytes("    USERPASSHEX;5E5E5E\r\n"),
        [](Settings& v) { v.options.userPassword = "abc"; });
    row("empty owner password value", bytes("  OwnerPassword;\r\n"),
        [](Settings& v) { v.options.ownerPassword.clear(); });

    // Quality.
    row("quality full entry text", bytes("        Quality;Screen  (GS7+)\r\n"),
        [](Settings& v) { v.options.quality = 1; });
    row("quality D", bytes("        Quality;D\r\n"), [](Settings& v) { v.options.quality = 0; });
    row("quality E", bytes("        Quality;E-book  (GS8+)\r\n"),
        [](Settings& v) { v.options.quality = 3; });
    row("quality lower-case s", bytes("        Quality;screen\r\n"), same);
    row("quality unknown letter", bytes("        Quality;X\r\n"), same);
    row("quality empty value", bytes("        Quality;\r\n"), same);

    // Check states.
    row("check state 1xyz sets", bytes("StartDistOnBoot;1xyz\r\n"),
        [](Settings& v) { v.options.startDistOnBoot = true; });
    row("check state empty clears", bytes("DeletePSFilesAC;\r\n"),
        [](Settings& v) { v.options.deletePSFiles = false; });
    row("check state 0 clears", bytes("UseBoundingBInf;0\r\n"),
        [](Settings& v) { v.options.useBoundingBox = false; });
    row("check state 2 clears", bytes("DeletePSFilesAC;2\r\n"),
        [](Settings& v) { v.options.deletePSFiles = false; });
    row("check state x1 clears", bytes("DeletePSFilesAC;x1\r\n"),
        [](Settings& v) { v.options.deletePSFiles = false; });
    row("check state blank then 1 clears", bytes("DeletePSFilesAC; 1\r\n"),
        [](Settings& v) { v.options.deletePSFiles = false; });

    // Counter.
    row("counter abc", bytes("        Counter;abc\r\n"), [](Settings& v) { v.counter = 0; });
    row("counter with blanks", bytes("        Counter; 12 \r\n"), [](Settings& v) {
        v.counter = 12;
        v.counterCaption = "12";
    });
    row("counter 12.0", bytes("        Counter;12.0\r\n"), [](Settings& v) {
        v.counter = 12;
        v.counterCaption = "12";
    });
    row("counter fraction", bytes("        Counter;2.5\r\n"), [](Settings& v) {
        v.counter = 2.5;
        v.counterCaption = "2.5";
    });
    row("counter negative", bytes("        Counter;-3\r\n"), [](Settings& v) {
        v.counter = -3;
        v.counterCaption = "-3";
    });
    row("counter minus zero", bytes("        Counter;-0\r\n"), [](Settings& v) {
        v.counter = 0;
        v.counterCaption = "0";
    });
    row("counter large whole number", bytes("        Counter;123456789012\r\n"), [](Settings& v) {
        v.counter = 123456789012.0;
        v.counterCaption = "123456789012";
    });
    row("counter exponent", bytes("        Counter;1e3\r\n"), [](Settings& v) { v.counter = 0; });
    row("counter inf", bytes("        Counter;inf\r\n"), [](Settings& v) { v.counter = 0; });
    row("counter empty", bytes("        Counter;\r\n"), [](Settings& v) { v.counter = 0; });

    // Window position.
    struct Twips {
        const char* name;
        QByteArray value;
        qint16 left;
    };
    const Twips twips[] = {
        {"not a number", "abc", 0},
        {"12.5 to even", "12.5", 12},
        {"13.5 to even", "13.5", 14},
        {"-12.5 to even", "-12.5", -12},
        {"-13.5 to even", "-13.5", -14},
        {"12.49", "12.49", 12},
        {"12.51", "12.51", 13},
        {"leading dot", ".75", 1},
        {"trailing dot", "5.", 5},
        {"blanks around", "  7  ", 7},
        {"plus sign", "+7", 7},
        {"40000 out of range", "40000", 0},
        {"-40000 out of range", "-40000", 0},
        {"upper limit", "32767", 32767},
        {"lower limit", "-32768", -32768},
        {"rounds past upper limit", "32767.5", 0},
        {"rounds to lower limit", "-32768.5", -32768},
        {"too many digits for a double", "1" + QByteArray(400, '0'), 0},
        {"exponent", "1e3", 0},
        {"hex", "0x10", 0},
        {"-1.5 to even", "-1.5", -2},
        {"nan", "nan", 0},
        {"minus inf", "-inf", 0},
        {"two minus signs", "--5", 0},
        {"plus then minus", "+-5", 0},
        {"blank after sign", "- 5", 0},
        {"fraction with exponent", "1.5e3", 0},
        {"inf", "inf", 0},
        {"two dots", "1.2.3", 0},
        {"sign only", "-", 0},
        {"dot only", ".", 0},
        {"blank inside", "1 2", 0},
        {"empty", "", 0},
    };
    for (const Twips& t : twips) {
        const qint16 left = t.left;
        QTest::addRow("Left %s", t.name) << s << "           Left;" + t.value + "\r\n"
                                         << changed([=](Settings& v) { v.left = left; });
    }
    row("Top 13.5", bytes("            Top;13.5\r\n"), [](Settings& v) { v.top = 14; });
    row("Top -40000", bytes("            Top;-40000\r\n"), [](Settings& v) { v.top = 0; });
    row("Top garbage", bytes("            Top;1,5\r\n"), [](Settings& v) { v.top = 0; });

    // Bare keys and values.
    row("bare 15-character keys",
        bytes("Ghostscriptpath\r\n           Left\r\nDeletePSFilesAC\r\n        Counter\r\n"
              "       Language\r\n        Quality\r\n  OwnerPassword\r\n"),
        [](Settings& v) {
            v.path(PathKind::GSPath).clear();
            v.left = 0;
            v.options.deletePSFiles = false;
            v.counter = 0;
            v.language.clear();
            v.options.ownerPassword.clear();
        });
    row("key and semicolon only", bytes("     Outputpath;\r\n            Top;\r\n"),
        [](Settings& v) {
            v.path(PathKind::Outputpath).clear();
            v.top = 0;
        });
    row("blanks in a path are kept", bytes("     Outputpath; /out \r\n"),
        [](Settings& v) { v.path(PathKind::Outputpath) = " /out "; });
    row("utf-8 path", bytes("   WatchDirpath;/home/user/\xc3\xa5\xc3\xa4\xc3\xb6\r\n"),
        [](Settings& v) {
            v.path(PathKind::WatchDirpath) =
                QString::fromUtf8("/home/user/\xc3\xa5\xc3\xa4\xc3\xb6");
        });
    row("NUL in a value", bytes("  ComposeFolder;/a\0b\r\n"),
        [](Settings& v) { v.path(PathKind::ComposeFolder) = QString::fromUtf8(bytes("/a\0b")); });
    QTest::newRow("sample file into defaults") << Settings() << kSampleFile << sample();
}

void TestSettingsFile::parse() {
    QFETCH(Settings, before);
    QFETCH(QByteArray, file);
    QFETCH(Settings, expected);

    Settings v = before;
    parseSettings(file, v);
    compareValues(v, expected);
}

// All 256 byte values, NULs included, several times over, around a real line.
void TestSettingsFile::parseIgnoresBinaryGarbage() {
    QByteArray garbage;
    for (int round = 0; round < 4; ++round) {
        for (int code = 0; code < 256; ++code) {
            garbage.append(static_cast<char>(code));
        }
    }
    Settings v = sample();
    parseSettings(garbage + "\r\n       Language;DE\r\n" + garbage, v);
    compareValues(v, changed([](Settings& e) { e.language = "DE"; }));
}

// Random values behind real keys: whatever comes, the quality stays inside
// the list.
void TestSettingsFile::parseKeepsQualityInRange() {
    const char* const keys[] = {"DeletePSFilesAC;", "StartDistOnBoot;", "UseBoundingBInf;",
                                "  UseEncryption;", " GoodPicQuality;", "        Quality;",
                                "           Left;", "        Counter;"};
    QRandomGenerator random(4711);
    for (int round = 0; round < 2000; ++round) {
        QByteArray file;
        for (const char* key : keys) {
            QByteArray value(random.bounded(4), Qt::Uninitialized);
            for (char& c : value) {
                c = static_cast<char>(random.bounded(256));
            }
            file += key + value.replace('\r', 'x').replace('\n', 'x') + "\r\n";
        }
        Settings v;
        v.options.quality = 2;
        parseSettings(file, v);
        QVERIFY2(v.options.quality >= 0 && v.options.quality <= 3, file.toHex().constData());
    }
}

// A long line without any line end, then many settings lines: all is read and
// the last line wins.
void TestSettingsFile::parseHugeFile() {
    QByteArray file(8 * 1024 * 1024, 'x');
    file += "\r\n";
    for (int i = 0; i < 200000; ++i) {
        file += "Ghostscriptpath;/gs/" + QByteArray::number(i) + "\r\n";
    }
    Settings v = sample();
    parseSettings(file, v);
    compareValues(v, changed([](Settings& e) { e.path(PathKind::GSPath) = "/gs/199999"; }));
}

// The file as it comes from the disk, in pieces of every size: a line cut by
// a piece boundary reads as a whole one, and a line longer than the limit is
// passed over whole, however it is cut.
void TestSettingsFile::readInPieces_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("ghostscriptPath");

    const QByteArray key = "Ghostscriptpath;";
    const QByteArray longest(kLongestSettingsLine - key.size(), 'L');
    QTest::newRow("sample") << kSampleFile << "/usr/bin/gs";
    QTest::newRow("no line end at the end") << key + "/gs"
                                            << "/gs";
    QTest::newRow("longest line") << key + longest + "\r\n" << QString::fromLatin1(longest);
    QTest::newRow("a byte too long") << key + "/gs\n" + key + longest + "x\r\n"
                                     << "/gs";
    QTest::newRow("too long, then a line")
        << key + QByteArray(3 * kLongestSettingsLine, 'x') + "\n" + key + "/last"
        << "/last";
}

void TestSettingsFile::readInPieces() {
    QFETCH(QByteArray, file);
    QFETCH(QString, ghostscriptPath);

    for (const qsizetype size :
         {qsizetype(1), qsizetype(2), qsizetype(15), qsizetype(16), qsizetype(4096), file.size()}) {
        Settings v;
        SettingsReader reader(v);
        for (qsizetype at = 0; at < file.size(); at += size) {
            reader.read(QByteArrayView(file).sliced(at, qMin(size, file.size() - at)));
        }
        reader.finish();
        QVERIFY2(v.path(PathKind::GSPath) == ghostscriptPath, qPrintable(QString::number(size)));
    }
}

// A file written by another program may hold bytes that are not UTF-8 in any
// text value or password: read and written again, every byte stays. Valid
// UTF-8 reads as the text it encodes.
void TestSettingsFile::bytesComeBackUnchanged_data() {
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("latin-1") << bytes("caf\xe9 \xc0 la carte");
    QTest::newRow("lone continuation bytes") << bytes("\x80\xbf");
    QTest::newRow("overlong forms") << bytes("\xc0\xaf \xe0\x80\xaf \xf0\x80\x80\xaf");
    QTest::newRow("encoded surrogate") << bytes("\xed\xa0\x80\xed\xb2\x80");
    QTest::newRow("beyond U+10FFFF") << bytes("\xf4\x90\x80\x80");
    QTest::newRow("cut off at the end") << bytes("/opt/\xe2\x82");
    QTest::newRow("NUL and FF") << bytes("a\0b\xff");
    // Found by fuzzing: a byte-order mark was dropped where a piece began.
    QTest::newRow("byte-order mark") << bytes("\xef\xbb\xbf/opt/\xff\xef\xbb\xbf ");
    QTest::newRow("valid, up to four bytes") << bytes("\xc3\xa9\xe2\x82\xac\xf0\x90\x82\x80");
}

void TestSettingsFile::bytesComeBackUnchanged() {
    QFETCH(QByteArray, value);

    QByteArray file = kSettingsHeader;
    for (const char* key : {"Ghostscriptpath;", "     Outputpath;", "     MoveFolder;",
                            "   WatchDirpath;", "  ComposeFolder;", "  AcrobatFolder;"}) {
        file += key + value + "\r\n";
    }
    file +=
        "DeletePSFilesAC;0\r\nStartDistOnBoot;0\r\n        Quality;Default (all)\r\n"
        "UseBoundingBInf;0\r\n  UseEncryption;0\r\n GoodPicQuality;0\r\n";
    const QByteArray garbled = garblePasswords(value);
    file += garbled.contains('\r') || garbled.contains('\n')
                ? "   OwnerPassHex;" + garbled.toHex() + "\r\n"
                : "  OwnerPassword;" + garbled + "\r\n";
    file += "       Language;" + value + "\r\n           Left;0\r\n            Top;0\r\n";
    file += "    WindowState;" + value + "\r\n        Counter;0\r\n";

    Settings v;
    parseSettings(file, v);
    QCOMPARE(formatSettings(v), file);
    if (QString::fromUtf8(value).toUtf8() == value) {
        QCOMPARE(v.options.ownerPassword, QString::fromUtf8(value));
    } else {
        QVERIFY(v.options.ownerPassword != QString::fromUtf8(value));
    }
}

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
