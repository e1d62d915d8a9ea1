#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <cerrno>

#include "app/settings_keeper.h"
#include "settings/configuration.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "shell/window_geometry.h"
#include "support/app_fixture.h"
#include "support/settings_text.h"
#include "widgets/twips.h"

namespace {

const std::pair<PathKind, const char*> kPathLabels[] = {
    {PathKind::GSPath, "lblGsPath"},
    {PathKind::Outputpath, "lblOutputPath"},
    {PathKind::MoveToFolder, "lblMoveFolder"},
    {PathKind::WatchDirpath, "lblWatchDir"},
    {PathKind::ComposeFolder, "lblComposeFolder"},
    {PathKind::AcroPath, "lblAcroPath"}};
const std::pair<bool Options::*, const char*> kCheckBoxes[] = {
    {&Options::deletePSFiles, "chkDeletePSFiles"},
    {&Options::startDistOnBoot, "chkStartDistOnBoot"},
    {&Options::useBoundingBox, "chkUseBBX"},
    {&Options::useEncryption, "chkUseEncryption"},
    {&Options::goodPicQuality, "chkPicQualityGood"},
    {&Options::keepGhostscriptRunning, "chkKeepGsRunning"}};

// Every field set, and each path different, so that a mix-up shows.
Settings everythingSet() {
    Settings s;
    s.path(PathKind::GSPath) = "/usr/bin/gs";
    s.path(PathKind::Outputpath) = "/data/pdf out/";
    s.path(PathKind::MoveToFolder) = "/data/moved/";
    s.path(PathKind::WatchDirpath) = "/data/watch/";
    s.path(PathKind::ComposeFolder) = "/data/merge/";
    s.path(PathKind::AcroPath) = "/usr/bin/evince";
    s.options.deletePSFiles = true;
    s.options.useBoundingBox = true;
    s.options.useEncryption = true;
    s.options.keepGhostscriptRunning = true;
    s.options.quality = 2;
    s.options.ownerPassword = "owner";
    s.options.userPassword = "user";
    s.language = "DE";
    s.counter = 1234;
    s.counterCaption = "1234";
    return s;
}

// The opposite of everythingSet in every field that can be cleared.
Settings everythingCleared() {
    Settings s;
    s.options.startDistOnBoot = true;
    s.options.goodPicQuality = true;
    return s;
}

// One line per field, so that a comparison shows the field that differs.
QString describe(const Settings& s) {
    QStringList lines;
    for (const auto& [kind, label] : kPathLabels) {
        lines << QStringLiteral("%1 '%2'").arg(label, s.path(kind));
    }
    for (const auto& [option, box] : kCheckBoxes) {
        lines << QStringLiteral("%1 %2").arg(box).arg(s.options.*option);
    }
    lines << QStringLiteral("quality %1").arg(s.options.quality)
          << QStringLiteral("owner '%1' user '%2'")
                 .arg(s.options.ownerPassword, s.options.userPassword)
          << QStringLiteral("language %1").arg(s.language)
          << QStringLiteral("left %1 top %2 state %3").arg(s.left).arg(s.top).arg(s.windowState)
          << QStringLiteral("counter %1 '%2'").arg(s.counter).arg(s.counterCaption);
    return lines.join(QLatin1Char('\n'));
}

// The application's settings as its window and keeper show them, set and
// read through the controls. The place is the geometry's; it is set by
// showing the window.
void apply(Application& app, const Settings& s) {
    FrmMain& window = app.window();
    for (const auto& [kind, label] : kPathLabels) {
        window.findChild<QLabel*>(label)->setText(s.path(kind));
    }
    for (const auto& [option, box] : kCheckBoxes) {
        window.findChild<QCheckBox*>(box)->setChecked(s.options.*option);
    }
    window.findChild<QComboBox*>("cmbQuality")->setCurrentIndex(s.options.quality);
    window.findChild<QLineEdit*>("txtOwnerPassword")->setText(s.options.ownerPassword);
    window.findChild<QLineEdit*>("txtUserPassword")->setText(s.options.userPassword);
    app.applyLanguage(s.language);
    window.configuration().setCounter(s.counter);
    app.geometry().setSaved(app.geometry().savedLeft(), app.geometry().savedTop(), s.windowState);
}

Settings read(Application& app) {
    FrmMain& window = app.window();
    Settings s;
    for (const auto& [kind, label] : kPathLabels) {
        s.path(kind) = window.findChild<QLabel*>(label)->text();
    }
    for (const auto& [option, box] : kCheckBoxes) {
        s.options.*option = window.findChild<QCheckBox*>(box)->isChecked();
    }
    s.options.quality = window.findChild<QComboBox*>("cmbQuality")->currentIndex();
    s.options.ownerPassword = window.findChild<QLineEdit*>("txtOwnerPassword")->text();
    s.options.userPassword = window.findChild<QLineEdit*>("txtUserPassword")->text();
    s.language = app.settings().language();
    s.left = app.geometry().savedLeft();
    s.top = app.geometry().savedTop();
    s.windowState = app.geometry().savedWindowState();
    s.counter = window.configuration().counter();
    s.counterCaption = window.findChild<QLabel*>("lblTeller")->text();
    return s;
}

// Where a saved coordinate is expected: the window's own, 0, or flush with
// the right edge of the screen.
enum class Place { AsShown, Zero, FlushRight };

}  // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Settings)

class TestWindowSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    void showAt(int x, int y) {
        FrmMain& window = f->window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The place kept is the client area's.
        window.setGeometry(QRect(QPoint(x, y), window.size()));
        QCoreApplication::processEvents();
        if (x >= 0) {
            QCOMPARE(window.geometry().topLeft(), QPoint(x, y));
        } else {
            QVERIFY(window.geometry().x() < 0);
        }
    }
    // The places below need the whole window on the screen at (40, 30); at a
    // high logical DPI it is wider than a small screen.
    bool fitsOnScreen() {
        const QRect screen = f->window().screen()->geometry();
        const QSize frame = f->window().frameGeometry().size();
        return frame.width() + 40 <= screen.width() && frame.height() + 30 <= screen.height();
    }
    void save() { f->app->settings().Save_Settings(); }
    Settings saved() {
        const std::optional<Settings> settings = f->savedSettings();
        return settings ? *settings : Settings();
    }

  private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup() { f.reset(); }

    // Beside a program whose folder is writable the settings file is read and
    // written; an installed program writes the configuration folder's copy and
    // reads it once it exists, until then an administrator's file beside it.
    void settingsFilePlaces_data() {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<QStringList>("present");  // "beside", "own"
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("written");
        QTest::newRow("writable folder") << true << QStringList{"own"} << "beside"
                                         << "beside";
        QTest::newRow("installed, first start") << false << QStringList{} << "own"
                                                << "own";
        QTest::newRow("installed, defaults beside it") << false << QStringList{"beside"} << "beside"
                                                       << "own";
        QTest::newRow("installed, the user's own copy")
            << false << QStringList{"beside", "own"} << "own"
            << "own";
    }
    void settingsFilePlaces() {
        QFETCH(bool, programFolderWritable);
        QFETCH(QStringList, present);
        QFETCH(QString, read);
        QFETCH(QString, written);
        f->life.programFolderPath = f->root.path() + "/bin";
        QVERIFY(QDir().mkpath(f->life.programFolderPath));
        const QHash<QString, QString> paths{{"beside", f->life.programFolderPath + "/Tarnwick.ini"},
                                            {"own", f->life.configFolderPath + "/Tarnwick.ini"}};
        QVERIFY(QDir().mkpath(f->life.configFolderPath));
        for (const QString& place : present) {
            writeFile(paths[place], settingsFile("       Language;" + place.toUtf8() + "\r\n"));
        }
        if (!programFolderWritable) {
            f->files.failing.insert(f->life.programFolderPath,
                                    Failure{Failure::Kind::Failed, EACCES, "Permission denied"});
        }
        const SettingsPlaces places = settingsPlaces(f->files, f->life);
        QCOMPARE(places.read, paths[read]);
        QCOMPARE(places.write, paths[written]);

        QVERIFY(QDir(f->life.configFolderPath).removeRecursively() || !present.contains("own"));
        f->app->settings().setPlaces(places);
        save();
        QVERIFY(QFile::exists(places.write));
        QCOMPARE(f->prompts.shown.size(), 0);
    }

    void saveIsByteExact_data() {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("everything set") << everythingSet() << QPoint(40, 30);
        QTest::newRow("everything cleared") << everythingCleared() << QPoint(0, 0);
    }
    void saveIsByteExact() {
        QFETCH(Settings, settings);
        QFETCH(QPoint, position);
        apply(*f->app, settings);
        showAt(position.x(), position.y());
        if (!fitsOnScreen()) {
            QSKIP("the window does not fit on the screen at this DPI");
        }
        settings.left = qint16(pixelsToTwips(position.x()));
        settings.top = qint16(pixelsToTwips(position.y()));
        save();
        QCOMPARE(readFile(f->settingsPath()), formatSettings(settings));
        QCOMPARE(f->prompts.shown.size(), 0);
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
        const QRect screen = f->window().screen()->geometry();
        // The saved place is the client area's, the window's size its frame's.
        const QRect frame = f->window().frameGeometry();
        const QPoint client = f->window().geometry().topLeft();
        QCOMPARE(screen.topLeft(), QPoint(0, 0));
        // Each row puts the window where its name says.
        QCOMPARE(frame.left() < 0, left == Place::Zero);
        QCOMPARE(frame.right() > screen.right(), left == Place::FlushRight);
        QCOMPARE(frame.bottom() > screen.bottom(), top == Place::Zero);

        save();
        const int expectedLeft = left == Place::Zero ? 0
                                 : left == Place::FlushRight
                                     ? pixelsToTwips(screen.width()) - pixelsToTwips(frame.width())
                                     : pixelsToTwips(client.x());
        const int expectedTop = top == Place::Zero ? 0 : pixelsToTwips(client.y());
        QCOMPARE(saved().left, qint16(expectedLeft));
        QCOMPARE(saved().top, qint16(expectedTop));
        QCOMPARE(saved().windowState, QStringLiteral("0"));
    }

    // A minimised or maximised window has no place of its own to save: the
    // place read at start is kept.
    void savedPositionOfMinimisedOrMaximisedWindow_data() {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::addColumn<QString>("windowState");
        QTest::newRow("minimised") << Qt::WindowMinimized << "1";
        QTest::newRow("maximised") << Qt::WindowMaximized << "0";
    }
    void savedPositionOfMinimisedOrMaximisedWindow() {
        QFETCH(Qt::WindowState, state);
        QFETCH(QString, windowState);
        showAt(40, 30);
        f->app->geometry().setSaved(-1234, 20000, QStringLiteral("0"));
        f->window().setWindowState(state);
        QTRY_VERIFY(f->window().windowState() & state);
        save();
        QCOMPARE(saved().left, qint16(-1234));
        QCOMPARE(saved().top, qint16(20000));
        QCOMPARE(saved().windowState, windowState);
        QCOMPARE(f->app->geometry().savedWindowState(), windowState);
    }

    // Saved by one application and read by another, over what it showed.
    void loadRoundTrip_data() {
        QTest::addColumn<Settings>("written");
        QTest::addColumn<Settings>("before");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("everything set, into a new window")
            << everythingSet() << Settings() << false;
        // An empty password, and the resident Ghostscript unticked, have no
        // line to read, so the box keeps what it had: at start that is nothing.
        Settings setWithoutPasswords = everythingSet();
        setWithoutPasswords.options.ownerPassword.clear();
        setWithoutPasswords.options.userPassword.clear();
        setWithoutPasswords.options.keepGhostscriptRunning = false;
        QTest::newRow("everything cleared, over everything set")
            << everythingCleared() << setWithoutPasswords << false;
        Settings minimised = everythingSet();
        minimised.windowState = "1";
        QTest::newRow("minimised window") << minimised << Settings() << true;
    }
    void loadRoundTrip() {
        QFETCH(Settings, written);
        QFETCH(Settings, before);
        QFETCH(bool, minimised);
        apply(*f->app, written);
        showAt(40, 30);
        if (!fitsOnScreen()) {
            QSKIP("the window does not fit on the screen at this DPI");
        }
        written.left = qint16(pixelsToTwips(40));
        written.top = qint16(pixelsToTwips(30));
        if (minimised) {
            written.left = 3000;
            written.top = 1500;
            f->app->geometry().setSaved(written.left, written.top, written.windowState);
            f->window().setWindowState(Qt::WindowMinimized);
            QTRY_VERIFY(f->window().isMinimized());
        }
        save();
        QCOMPARE(f->prompts.shown.size(), 0);

        Application loaded(f->services);
        loaded.settings().setPlaces(f->app->settings().places());
        apply(loaded, before);
        loaded.settings().Load_Settings();

        QCOMPARE(describe(read(loaded)), describe(written));
        QCOMPARE(f->prompts.shown.size(), 0);
    }

    // A hand-written file read into a fresh window, for values a window
    // never writes itself.
    void loadHandWrittenFile() {
        writeFile(f->settingsPath(), settingsFile("        Quality;E-book  (GS8+)\r\n"
                                                  "       Language;FI\r\n"
                                                  "           Left;-450\r\n"
                                                  "            Top;32767\r\n"
                                                  "    WindowState;2\r\n"
                                                  "        Counter;99999\r\n"));
        f->app->settings().Load_Settings();
        const Settings s = read(*f->app);
        QCOMPARE(s.options.quality, 3);
        QCOMPARE(s.language, QStringLiteral("FI"));
        QCOMPARE(s.left, qint16(-450));
        QCOMPARE(s.top, qint16(32767));
        QCOMPARE(s.windowState, QStringLiteral("2"));
        QCOMPARE(s.counter, 99999.0);
        QCOMPARE(s.counterCaption, QStringLiteral("99999"));
    }

    void unwritableSettingsFile() {
        showAt(40, 30);
        const QString path = f->settingsPath();
        f->files.failing.insert(path, Failure{Failure::Kind::Failed, EACCES, "Permission denied"});
        save();
        QCOMPARE(f->prompts.shown.size(), 1);
        const QString text = f->prompts.shown[0].text;
        QVERIFY2(text.startsWith("The settings could not be saved to this file: "),
                 qPrintable(text));
        QVERIFY2(text.contains(path), qPrintable(text));
        QCOMPARE(f->prompts.shown[0].buttons, Prompts::Buttons::Ok);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f->life.endCount, 0);
        // The program goes on: the next save, once possible, succeeds.
        f->files.failing.clear();
        save();
        QVERIFY(QFile::exists(path));
        QCOMPARE(f->prompts.shown.size(), 1);
    }

    void unusableFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("unreadable");
        // A good file that cannot be read must not be read some other way.
        const QByteArray goodFile = settingsFile(
            "     Outputpath;/elsewhere/\r\n"
            "        Quality;Screen  (GS7+)\r\n"
            "  UseEncryption;0\r\n"
            "       Language;NL\r\n"
            "        Counter;5\r\n");
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
        const QString path = f->settingsPath();
        if (!contents.isEmpty() || !unreadable) {
            writeFile(path, contents);
        }
        if (unreadable) {
            f->files.failing.insert(
                path, Failure{Failure::Kind::Unreadable, EACCES, "Permission denied"});
        }
        apply(*f->app, everythingSet());
        const QString before = describe(read(*f->app));
        f->app->settings().Load_Settings();
        QCOMPARE(describe(read(*f->app)), before);
        QCOMPARE(f->prompts.shown.size(), 0);
    }
};

QTEST_MAIN(TestWindowSettings)
#include "test_window_settings.moc"
