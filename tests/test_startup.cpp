#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <functional>

#include "distill/distiller.h"
#include "settings/configuration.h"
#include "shell/tray_icon.h"
#include "support/app_fixture.h"
#include "support/scripted_picker.h"

Q_DECLARE_METATYPE(std::function<void(Settings&)>)

namespace {

using Change = std::function<void(Settings&)>;

// Any existing file serves as Ghostscript: nothing is run.
const QString kGs = QStringLiteral("/bin/sh");

}  // namespace

// The start-up sequence on the stand-in platform: what it reads, shows and
// asks, and where it ends early.
class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<ScriptedPicker> picker;
    QString elsewhere;  // a folder outside the four of a conversion

    // A settings file naming Ghostscript and the watched and move-to
    // folders; every other path empty.
    Settings settingsWith(const QString& gsPath, const QString& language = "GB") const {
        Settings settings;
        settings.path(PathKind::GSPath) = gsPath;
        settings.path(PathKind::WatchDirpath) = f->watch;
        settings.path(PathKind::MoveToFolder) = f->moved;
        settings.language = language;
        return settings;
    }
    void start(const QString& commandLine, int chooseAt = 1) {
        picker = std::make_unique<ScriptedPicker>(f->config(), chooseAt, kGs);
        f->app->start(interpretCommandLine(commandLine), *picker);
        f->app->timer().stop();  // every pass below is one the test runs
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        // As the program starts: no path shown yet.
        for (PathKind kind : kPathKinds) {
            f->config().setPath(kind, QString());
        }
        elsewhere = f->root.path() + "/elsewhere/";
        QVERIFY(QDir().mkpath(elsewhere));
    }
    void cleanup() {
        picker.reset();
        f.reset();
    }

    void secondInstance_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("message");
        QTest::newRow("no argument")
            << ""
            << "There is allready an instance of TarnWick running, quitting now";
        QTest::newRow("d") << "d"
                           << "There is allready an instance of TarnWick running in distiller "
                              "mode, quitting now";
    }
    void secondInstance() {
        QFETCH(QString, commandLine);
        QFETCH(QString, message);
        f->life.otherInstance = true;
        start(commandLine);
        QCOMPARE(f->prompts.messages(), QStringList{message});
        QCOMPARE(f->life.endCount, 1);
        QVERIFY(!f->life.watching);
        QVERIFY(!f->window().isVisible());
        QVERIFY(!QFile::exists(f->settingsPath()));
    }

    // What start-up reads and asks: each row a settings file (or none) and
    // the messages and values that follow.
    void settingsAtStart_data() {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QString>("gsPath");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("statusLine");
        QTest::addColumn<int>("languageEntry");
        TextTable english;
        english.Select_Texts(QStringLiteral("GB"));
        const QString check =
            english[TextId::Tr_MsgFirstUse] + "\r\n\r\n" + english[TextId::Tr_MsgLikelyGSPath];
        QTest::newRow("no settings file") << false << QString() << QString() << QStringList{check}
                                          << "Distiller is not active" << -1;
        QTest::newRow("Finnish") << true << kGs << "FI" << QStringList()
                                 << "Distiller ei ole aktiivinen" << 5;
        QTest::newRow("lower-case gb: English, nothing selected")
            << true << kGs << "gb" << QStringList() << "Distiller is not active" << -1;
        QTest::newRow("empty Ghostscript path")
            << true << QString() << "GB" << QStringList{english[TextId::Tr_MsgSettingsWrong], check}
            << "Distiller is not active" << 0;
        QTest::newRow("missing Ghostscript path")
            << true << "/no/such/gs"
            << "GB" << QStringList{english[TextId::Tr_MsgGSPathInvalid], check}
            << "Distiller is not active" << 0;
    }
    void settingsAtStart() {
        QFETCH(bool, withFile);
        QFETCH(QString, gsPath);
        QFETCH(QString, language);
        QFETCH(QStringList, messages);
        QFETCH(QString, statusLine);
        QFETCH(int, languageEntry);
        if (withFile) {
            f->writeSettings(settingsWith(gsPath, language));
        }
        start("");
        QCOMPARE(f->prompts.messages(), messages);
        QCOMPARE(f->control<QComboBox>("cmbLanguage")->currentIndex(), languageEntry);
        QCOMPARE(f->caption("lblStatus"), statusLine);
        QVERIFY(f->window().isVisible());
        QVERIFY(f->life.watching);
        QCOMPARE(f->life.endCount, 0);
        QCOMPARE(f->config().path(PathKind::GSPath), kGs);
        QCOMPARE(f->config().path(PathKind::AcroPath), QString(withFile ? "/" : ""));
        for (PathKind kind : {PathKind::Outputpath, PathKind::ComposeFolder}) {
            QCOMPARE(f->config().path(kind), QStringLiteral("/"));
        }
    }

    // Cancel on the question after an empty choice ends the program at once.
    void pathCheckCancelled() {
        f->prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Cancel};
        start("", 0);
        QCOMPARE(f->life.endCount, 1);
        QVERIFY(!f->window().isVisible());
        QVERIFY(!QFile::exists(f->settingsPath()));
        QCOMPARE(picker->calls, QStringList({"ask GSPath", "select /", "show"}));
    }

    void distillerAndTrayAtStart_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("minimised");
        const Change none = [](Settings&) {};
        QTest::newRow("plain") << "" << none << false << false;
        QTest::newRow("D") << "D" << none << true << false;
        QTest::newRow("start-on-boot")
            << "" << Change([](Settings& s) { s.options.startDistOnBoot = true; }) << true << false;
        QTest::newRow("window state 1")
            << "" << Change([](Settings& s) { s.windowState = "1"; }) << false << true;
    }
    void distillerAndTrayAtStart() {
        QFETCH(QString, commandLine);
        QFETCH(Change, change);
        QFETCH(bool, active);
        QFETCH(bool, minimised);
        Settings settings = settingsWith(kGs);
        change(settings);
        f->writeSettings(settings);
        start(commandLine);
        QCOMPARE(f->app->distiller().isActive(), active);
        QCOMPARE(f->window().isMinimized(), minimised);
        QVERIFY(f->app->tray().isShown());
        QVERIFY(f->prompts.shown.isEmpty());
    }

    // A file named on the command line is converted beside itself and the
    // program ends, with the reader opened when one is configured.
    void singleFileRun_data() {
        QTest::addColumn<bool>("inWatchedFolder");
        QTest::addColumn<bool>("withReader");
        QTest::newRow("outside the watched folder, with a reader") << false << true;
        QTest::newRow("in the watched folder, without a reader") << true << false;
    }
    void singleFileRun() {
        QFETCH(bool, inWatchedFolder);
        QFETCH(bool, withReader);
        const QString folder = inWatchedFolder ? f->watch : elsewhere;
        const QString source = writeFile(folder + "Report.PS");
        Settings settings = settingsWith(kGs);
        if (withReader) {
            settings.path(PathKind::AcroPath) = "/bin/true";
        }
        f->writeSettings(settings);
        f->ghostscriptWritesOutput();
        start("\"" + source + "\"");
        QVERIFY(f->app->distiller().isActive());
        f->tickToEnd();

        const QString pdf = folder + "Report.pdf";
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(f->processes.started.size(), 1);
        QCOMPARE(f->life.endCount, 1);
        QVERIFY(QFile::exists(f->settingsPath()));
        QVERIFY(!f->app->tray().isShown());
        QCOMPARE(f->processes.programs.size(), withReader ? 1 : 0);
        QCOMPARE(f->desktop.openedFiles, withReader ? QStringList() : QStringList{pdf});
        if (withReader) {
            QCOMPARE(f->processes.programs[0].commandLine, "\"/bin/true\" \"" + pdf + "\"");
            QCOMPARE(f->processes.programs[0].mode, WindowMode::Maximised);
        }
    }

    void singleFileEndsEarly_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no such file") << false << QStringList();
        QTest::newRow("watched folder cannot take it")
            << true
            << QStringList{
                   "The file could not be copied into the watched folder, it is left "
                   "where it is: "};
    }
    void singleFileEndsEarly() {
        QFETCH(bool, exists);
        QFETCH(QStringList, messages);
        const QString source = elsewhere + "a.ps";
        if (exists) {
            writeFile(source);
            f->files.failing.insert(f->watch + "a.ps", Failure{});
            messages[0] += source;
        }
        f->writeSettings(settingsWith(kGs));
        start(source);
        QCOMPARE(f->life.endCount, 1);
        QCOMPARE(f->prompts.messages(), messages);
        QCOMPARE(QFile::exists(source), exists);
        QVERIFY(!f->app->distiller().isActive());
        QVERIFY(f->processes.started.isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
