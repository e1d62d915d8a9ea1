#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "settings/settings_location.h"
#include "shell/window_geometry.h"
#include "support/main_window_fixture.h"
#include "support/settings_text.h"
#include "widgets/twips.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& contents) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

// The value of a setting line in a file, by its padded key.
QByteArray valueOf(const QByteArray& file, const QByteArray& paddedKey) {
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith(paddedKey + ';')) {
            return line.mid(paddedKey.size() + 1).chopped(1);  // without the CR
        }
    }
    return QByteArray("(missing)");
}

const char* const kPathLabels[] = {"lblGsPath",   "lblOutputPath",    "lblMoveFolder",
                                   "lblWatchDir", "lblComposeFolder", "lblAcroPath"};
const char* const kCheckBoxes[] = {"chkDeletePSFiles", "chkStartDistOnBoot", "chkUseBBX",
                                   "chkUseEncryption", "chkPicQualityGood"};

// What a window shows of its settings, to set it and to compare it whole.
struct WindowSettings {
    QStringList paths;   // in the order of kPathLabels
    QList<bool> checks;  // in the order of kCheckBoxes
    int quality = 0;
    QString qualityPreset;
    QString owner, user;
    QString language;
    double counter = 0;
    QString counterCaption;
    QString windowState;

    bool operator==(const WindowSettings&) const = default;
};

// Every field set, and each path different, so that a mix-up shows.
WindowSettings everythingSet() {
    WindowSettings s;
    s.paths = {"/usr/bin/gs",  "/data/pdf out/", "/data/moved/",
               "/data/watch/", "/data/merge/",   "/usr/bin/evince"};
    s.checks = {true, false, true, true, false};
    s.quality = 2;
    s.qualityPreset = "-dPDFSETTINGS=/printer ";
    s.owner = "owner";
    s.user = "user";
    s.language = "DE";
    s.counter = 1234;
    s.counterCaption = "1234";
    s.windowState = "0";
    return s;
}

// The opposite of everythingSet in every field that can be cleared.
WindowSettings everythingCleared() {
    WindowSettings s;
    s.paths = {"", "", "", "", "", ""};
    s.checks = {false, true, false, false, true};
    s.quality = 0;
    s.qualityPreset = "";
    s.language = "GB";
    s.counter = 0;
    s.counterCaption = "0";
    s.windowState = "0";
    return s;
}

char* describe(const WindowSettings& s) {
    QStringList checks;
    for (bool check : s.checks) {
        checks.append(check ? "1" : "0");
    }
    return qstrdup(qPrintable(QStringLiteral("paths [%1] checks %2 quality %3 '%4' owner '%5' "
                                             "user '%6' language %7 counter %8 '%9' state %10")
                                  .arg(s.paths.join("|"), checks.join(""))
                                  .arg(s.quality)
                                  .arg(s.qualityPreset, s.owner, s.user, s.language)
                                  .arg(s.counter)
                                  .arg(s.counterCaption, s.windowState)));
}

// Where a saved coordinate is expected: the window's own, 0, or flush with
// the right edge of the screen.
enum class Place { AsShown, Zero, FlushRight };

}  // namespace

Q_DECLARE_METATYPE(Place)

namespace QTest {
template <>
char* toString(const WindowSettings& s) {
    return describe(s);
}
}  // namespace QTest

Q_DECLARE_METATYPE(WindowSettings)

class TestWindowSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    static void apply(FrmMain& window, const WindowSettings& s) {
        for (int i = 0; i < 6; ++i) {
            window.findChild<QLabel*>(kPathLabels[i])->setText(s.paths[i]);
        }
        for (int i = 0; i < 5; ++i) {
            window.findChild<QCheckBox*>(kCheckBoxes[i])->setChecked(s.checks[i]);
        }
        window.findChild<QComboBox*>("cmbQuality")->setCurrentIndex(s.quality);
        window.findChild<QLineEdit*>("txtOwnerPassword")->setText(s.owner);
        window.findChild<QLineEdit*>("txtUserPassword")->setText(s.user);
        window.applyLanguage(s.language);
        window.setCounter(s.counter);
        window.windowGeometry().setSaved(window.windowGeometry().savedLeft(),
                                         window.windowGeometry().savedTop(), s.windowState);
    }
    static WindowSettings read(FrmMain& window) {
        WindowSettings s;
        for (const char* label : kPathLabels) {
            s.paths.append(window.findChild<QLabel*>(label)->text());
        }
        for (const char* box : kCheckBoxes) {
            s.checks.append(window.findChild<QCheckBox*>(box)->isChecked());
        }
        s.quality = window.findChild<QComboBox*>("cmbQuality")->currentIndex();
        s.qualityPreset = window.options().qualityPreset;
        s.owner = window.findChild<QLineEdit*>("txtOwnerPassword")->text();
        s.user = window.findChild<QLineEdit*>("txtUserPassword")->text();
        s.language = window.languageCode();
        s.counter = window.counter();
        s.counterCaption = window.findChild<QLabel*>("lblTeller")->text();
        s.windowState = window.windowGeometry().savedWindowState();
        return s;
    }
    void showAt(int x, int y) {
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
        // The place kept is the client area's.
        f->window->setGeometry(QRect(QPoint(x, y), f->window->size()));
        QCoreApplication::processEvents();
        if (x >= 0) {
            QCOMPARE(f->window->geometry().topLeft(), QPoint(x, y));
        } else {
            QVERIFY(f->window->geometry().x() < 0);
        }
    }
    // The places below need the whole window on the screen at (40, 30); at a
    // high logical DPI it is wider than a small screen.
    bool fitsOnScreen() const {
        const QRect screen = f->window->screen()->geometry();
        const QSize frame = f->window->frameGeometry().size();
        return frame.width() + 40 <= screen.width() && frame.height() + 30 <= screen.height();
    }
    QByteArray savedFile() { return readAll(f->window->settingsPath()); }

  private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    void settingsFileBesideProgram() {
        QCOMPARE(f->window->settingsPath(), f->root.path() + "/Tarnwick.ini");
    }

    void settingsFileLocation_data() {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::newRow("program folder writable") << true;
        QTest::newRow("program folder not writable") << false;
    }
    void settingsFileLocation() {
        QFETCH(bool, programFolderWritable);
        QTemporaryDir root;
        FakePlatform platform;
        platform.programFolderPath = root.path() + "/bin";
        platform.configFolderPath = root.path() + "/config";
        QVERIFY(QDir().mkpath(platform.programFolderPath));
        QVERIFY(QDir().mkpath(platform.configFolderPath));
        if (!programFolderWritable) {
            platform.unwritableFolders.insert(platform.programFolderPath);
        }
        const QString expected =
            (programFolderWritable ? platform.programFolderPath : platform.configFolderPath) +
            "/Tarnwick.ini";
        QCOMPARE(settingsFilePath(platform), expected);

        FrmMain window(platform);
        window.setSettingsPath(settingsFilePath(platform));
        window.Save_Settings();
        QVERIFY(QFile::exists(expected));
        QCOMPARE(platform.fakePrompts.shown.size(), 0);
    }

    void saveIsByteExact_data() {
        QTest::addColumn<WindowSettings>("settings");
        QTest::addColumn<QPoint>("position");
        // %left and %top: the window's place in twips (600 and 450 at 96 DPI).
        QTest::addColumn<QByteArray>("file");
        // The passwords stand garbled: each byte shifted down by its
        // position plus 2 ("owner" -> "lsi_k", "user" -> "ro`l").
        QTest::newRow("everything set") << everythingSet() << QPoint(40, 30)
                                        << kSettingsHeader +
                                               "Ghostscriptpath;/usr/bin/gs\r\n"
                                               "     Outputpath;/data/pdf out/\r\n"
                                               "     MoveFolder;/data/moved/\r\n"
                                               "   WatchDirpath;/data/watch/\r\n"
                                               "  ComposeFolder;/data/merge/\r\n"
                                               "  AcrobatFolder;/usr/bin/evince\r\n"
                                               "DeletePSFilesAC;1\r\n"
                                               "StartDistOnBoot;0\r\n"
                                               "        Quality;Printer (GS7+)\r\n"
                                               "UseBoundingBInf;1\r\n"
                                               "  UseEncryption;1\r\n"
                                               " GoodPicQuality;0\r\n"
                                               "  OwnerPassword;lsi_k\r\n"
                                               "   UserPassword;ro`l\r\n"
                                               "       Language;DE\r\n"
                                               "           Left;%left\r\n"
                                               "            Top;%top\r\n"
                                               "    WindowState;0\r\n"
                                               "        Counter;1234\r\n";
        // Empty passwords have no line at all.
        QTest::newRow("everything cleared") << everythingCleared() << QPoint(0, 0)
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
                                                   "       Language;GB\r\n"
                                                   "           Left;%left\r\n"
                                                   "            Top;%top\r\n"
                                                   "    WindowState;0\r\n"
                                                   "        Counter;0\r\n";
    }
    void saveIsByteExact() {
        QFETCH(WindowSettings, settings);
        QFETCH(QPoint, position);
        QFETCH(QByteArray, file);
        apply(*f->window, settings);
        showAt(position.x(), position.y());
        if (!fitsOnScreen()) {
            QSKIP("the window does not fit on the screen at this DPI");
        }
        file.replace("%left", QByteArray::number(pixelsToTwips(position.x())));
        file.replace("%top", QByteArray::number(pixelsToTwips(position.y())));
        f->window->Save_Settings();
        QCOMPARE(savedFile(), file);
        QCOMPARE(f->platform.fakePrompts.shown.size(), 0);
    }

    void savedPositionStaysOnScreen_data() {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<Place>("left");
        QTest::addColumn<Place>("top");
        QTest::newRow("on the screen") << QPoint(40, 30) << Place::AsShown << Place::AsShown;
        QTest::newRow("partly off the left edge")
            << QPoint(-100, 30) << Place::Zero << Place::AsShown;
        QTest::newRow("over the bottom edge") << QPoint(40, 700) << Place::AsShown << Place::Zero;
        QTest::newRow("sticking out on the right")
            << QPoint(700, 30) << Place::FlushRight << Place::AsShown;
        QTest::newRow("out on the right and the bottom")
            << QPoint(700, 700) << Place::FlushRight << Place::Zero;
    }
    void savedPositionStaysOnScreen() {
        QFETCH(QPoint, position);
        QFETCH(Place, left);
        QFETCH(Place, top);
        showAt(position.x(), position.y());
        if (!fitsOnScreen()) {
            QSKIP("the window does not fit on the screen at this DPI");
        }
        const QRect screen = f->window->screen()->geometry();
        // The saved place is the client area's, the window's size its frame's.
        const QRect frame = f->window->frameGeometry();
        const QPoint client = f->window->geometry().topLeft();
        QCOMPARE(screen.topLeft(), QPoint(0, 0));
        // Each row puts the window where its name says.
        QCOMPARE(frame.left() < 0, left == Place::Zero);
        QCOMPARE(frame.right() > screen.right(), left == Place::FlushRight);
        QCOMPARE(frame.bottom() > screen.bottom(), top == Place::Zero);

        f->window->Save_Settings();
        const QByteArray file = savedFile();
        const int expectedLeft = left == Place::Zero ? 0
                                 : left == Place::FlushRight
                                     ? pixelsToTwips(screen.width()) - pixelsToTwips(frame.width())
                                     : pixelsToTwips(client.x());
        const int expectedTop = top == Place::Zero ? 0 : pixelsToTwips(client.y());
        QCOMPARE(valueOf(file, "           Left"), QByteArray::number(expectedLeft));
        QCOMPARE(valueOf(file, "            Top"), QByteArray::number(expectedTop));
        QCOMPARE(valueOf(file, "    WindowState"), QByteArray("0"));
    }

    // A minimised or maximised window has no place of its own to save: the
    // place read at start is kept.
    void savedPositionOfMinimisedOrMaximisedWindow_data() {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::addColumn<QByteArray>("windowState");
        QTest::newRow("minimised") << Qt::WindowMinimized << QByteArray("1");
        QTest::newRow("maximised") << Qt::WindowMaximized << QByteArray("0");
    }
    void savedPositionOfMinimisedOrMaximisedWindow() {
        QFETCH(Qt::WindowState, state);
        QFETCH(QByteArray, windowState);
        showAt(40, 30);
        f->window->windowGeometry().setSaved(-1234, 20000, QStringLiteral("0"));
        f->window->setWindowState(state);
        QTRY_VERIFY(f->window->windowState() & state);
        f->window->Save_Settings();
        const QByteArray file = savedFile();
        QCOMPARE(valueOf(file, "           Left"), QByteArray("-1234"));
        QCOMPARE(valueOf(file, "            Top"), QByteArray("20000"));
        QCOMPARE(valueOf(file, "    WindowState"), windowState);
        QCOMPARE(f->window->windowGeometry().savedWindowState(), QString::fromLatin1(windowState));
    }

    void loadRoundTrip_data() {
        QTest::addColumn<WindowSettings>("saved");
        QTest::addColumn<WindowSettings>("before");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("everything set, into a new window")
            << everythingSet() << WindowSettings() << false;
        // An empty password has no line to read, so the box keeps what it
        // had: at start that is nothing.
        WindowSettings setWithoutPasswords = everythingSet();
        setWithoutPasswords.owner.clear();
        setWithoutPasswords.user.clear();
        QTest::newRow("everything cleared, over everything set")
            << everythingCleared() << setWithoutPasswords << false;
        WindowSettings minimised = everythingSet();
        minimised.windowState = "1";
        QTest::newRow("minimised window") << minimised << WindowSettings() << true;
    }
    void loadRoundTrip() {
        QFETCH(WindowSettings, saved);
        QFETCH(WindowSettings, before);
        QFETCH(bool, minimised);
        apply(*f->window, saved);
        showAt(40, 30);
        if (!fitsOnScreen()) {
            QSKIP("the window does not fit on the screen at this DPI");
        }
        if (minimised) {
            f->window->windowGeometry().setSaved(3000, 1500,
                                                 f->window->windowGeometry().savedWindowState());
            f->window->setWindowState(Qt::WindowMinimized);
            QTRY_VERIFY(f->window->isMinimized());
        }
        f->window->Save_Settings();
        QCOMPARE(f->platform.fakePrompts.shown.size(), 0);

        FrmMain loaded(f->platform);
        loaded.setSettingsPath(f->window->settingsPath());
        if (!before.paths.isEmpty()) {
            apply(loaded, before);
        }
        loaded.Load_Settings();

        QCOMPARE(read(loaded), saved);
        QCOMPARE(loaded.windowGeometry().savedLeft(), qint16(minimised ? 3000 : pixelsToTwips(40)));
        QCOMPARE(loaded.windowGeometry().savedTop(), qint16(minimised ? 1500 : pixelsToTwips(30)));
        QCOMPARE(f->platform.fakePrompts.shown.size(), 0);
    }

    // A hand-written file read into a fresh window, for values a window
    // never writes itself.
    void loadHandWrittenFile() {
        writeAll(f->window->settingsPath(), kSettingsHeader +
                                                "        Quality;E-book  (GS8+)\r\n"
                                                "       Language;FI\r\n"
                                                "           Left;-450\r\n"
                                                "            Top;32767\r\n"
                                                "    WindowState;2\r\n"
                                                "        Counter;99999\r\n");
        f->window->Load_Settings();
        const WindowSettings s = read(*f->window);
        QCOMPARE(s.quality, 3);
        QCOMPARE(s.qualityPreset, QStringLiteral("-dPDFSETTINGS=/ebook "));
        QCOMPARE(s.language, QStringLiteral("FI"));
        QCOMPARE(f->window->windowGeometry().savedLeft(), qint16(-450));
        QCOMPARE(f->window->windowGeometry().savedTop(), qint16(32767));
        QCOMPARE(s.windowState, QStringLiteral("2"));
        QCOMPARE(s.counter, 99999.0);
        QCOMPARE(s.counterCaption, QStringLiteral("99999"));
    }

    void unwritableSettingsFile() {
        showAt(40, 30);
        const QString path = f->window->settingsPath();
        f->platform.unwritableFiles.insert(path);
        f->window->Save_Settings();
        QCOMPARE(f->platform.fakePrompts.shown.size(), 1);
        const QString text = f->platform.fakePrompts.shown[0].text;
        QVERIFY2(text.startsWith("The settings could not be saved to this file: "),
                 qPrintable(text));
        QVERIFY2(text.contains(path), qPrintable(text));
        QCOMPARE(f->platform.fakePrompts.shown[0].buttons, Prompts::Buttons::Ok);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f->platform.endCount, 0);
        // The program goes on: the next save, once possible, succeeds.
        f->platform.unwritableFiles.clear();
        f->window->Save_Settings();
        QVERIFY(QFile::exists(path));
        QCOMPARE(f->platform.fakePrompts.shown.size(), 1);
    }

    void unusableFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("unreadable");
        // A good file that cannot be read must not be read some other way.
        const QByteArray goodFile = kSettingsHeader +
                                    "     Outputpath;/elsewhere/\r\n"
                                    "        Quality;Screen  (GS7+)\r\n"
                                    "  UseEncryption;0\r\n"
                                    "       Language;NL\r\n"
                                    "        Counter;5\r\n";
        QTest::newRow("unreadable") << goodFile << true;
        QTest::newRow("no file") << QByteArray() << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01\x80\x7f\x00\x00\x1b[2J", 12)
                                << false;
        // Keys in the wrong case or out of their column are not keys.
        QTest::newRow("text") << QByteArray(
                                     "this is not a settings file\r\n"
                                     ";;;;;;;;;;;;;;;;;;;;\r\n"
                                     "           left;999\r\n"
                                     "        counter;77\r\n"
                                     "Counter;77\n"
                                     "Outputpath;/elsewhere/\r")
                              << false;
    }
    void unusableFileChangesNothing() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, unreadable);
        const QString path = f->window->settingsPath();
        if (!contents.isEmpty() || !unreadable) {
            writeAll(path, contents);
        }
        if (unreadable) {
            f->platform.unreadable.insert(path);
        }
        apply(*f->window, everythingSet());
        const WindowSettings before = read(*f->window);
        f->window->Load_Settings();
        QCOMPARE(read(*f->window), before);
        QCOMPARE(f->platform.fakePrompts.shown.size(), 0);
    }
};

QTEST_MAIN(TestWindowSettings)
#include "test_window_settings.moc"
