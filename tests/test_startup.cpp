#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/startup.h"
#include "engine/distiller.h"
#include "shell/frm_main.h"
#include "shell/tray_icon.h"
#include "shell/window_geometry.h"
#include "support/engine_fixture.h"
#include "support/scripted_picker.h"
#include "support/settings_text.h"

// The start-up sequence on the fake platform: what it reads, shows and asks,
// and where it ends early.
class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> root;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<FrmMain> window;
    std::unique_ptr<ScriptedPicker> picker;
    QString watch;
    QString settings;

    QStringList messages() const {
        QStringList texts;
        for (const FakePrompts::Shown& shown : platform->fakePrompts.shown) {
            texts.append(shown.text);
        }
        return texts;
    }
    void writeSettings(const QByteArray& lines) {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kSettingsHeader + lines);
    }
    QByteArray settingsWith(const QString& gsPath, const QString& language = "GB") const {
        return ("Ghostscriptpath;" + gsPath + "\r\n   WatchDirpath;" + watch +
                "\r\n     MoveFolder;" + root->path() + "/moved/\r\n       Language;" + language +
                "\r\n")
            .toUtf8();
    }
    void start(const QString& commandLine, int chooseAt = 1) {
        picker = std::make_unique<ScriptedPicker>(*window, chooseAt, QStringLiteral("/bin/sh"));
        runStartUp(*window, *platform, interpretCommandLine(commandLine), *picker);
        window->timer().stop();  // every pass below is one the test runs
    }

  private slots:
    void init() {
        root = std::make_unique<QTemporaryDir>();
        platform = std::make_unique<FakePlatform>();
        platform->programFolderPath = root->path();
        platform->configFolderPath = root->path() + "/config";
        watch = root->path() + "/watch/";
        settings = root->path() + "/Tarnwick.ini";
        for (const char* folder : {"/watch", "/moved", "/output", "/elsewhere", "/config"}) {
            QDir().mkpath(root->path() + folder);
        }
        window = std::make_unique<FrmMain>(*platform);
    }
    void cleanup() {
        window.reset();
        platform.reset();
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
        platform->otherInstance = true;
        start(commandLine);
        QCOMPARE(messages(), QStringList{message});
        QCOMPARE(platform->endCount, 1);
        QVERIFY(!window->isVisible());
        QVERIFY(!QFile::exists(settings));
    }

    // What start-up reads and asks: each row a settings file (or none) and
    // the messages and values that follow.
    void settingsAtStart_data() {
        QTest::addColumn<QByteArray>("file");  // "none": no settings file
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("statusLine");
        QTest::addColumn<int>("languageEntry");
        TextTable english;
        english.Select_Texts(QStringLiteral("GB"));
        const QString check =
            english[TextId::Tr_MsgFirstUse] + "\r\n\r\n" + english[TextId::Tr_MsgLikelyGSPath];
        const QString gs = QStringLiteral("/bin/sh");  // any existing file
        QTest::newRow("no settings file")
            << QByteArray("none") << QStringList{check} << "Distiller is not active" << -1;
        QTest::newRow("Finnish") << settingsWith(gs, "FI") << QStringList()
                                 << "Distiller ei ole aktiivinen" << 5;
        QTest::newRow("lower-case gb: English, nothing selected")
            << settingsWith(gs, "gb") << QStringList() << "Distiller is not active" << -1;
        QTest::newRow("empty Ghostscript path")
            << settingsWith("") << QStringList{english[TextId::Tr_MsgSettingsWrong], check}
            << "Distiller is not active" << 0;
        QTest::newRow("missing Ghostscript path")
            << settingsWith(root->path() + "/no-gs")
            << QStringList{english[TextId::Tr_MsgGSPathInvalid], check} << "Distiller is not active"
            << 0;
    }
    void settingsAtStart() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, messages);
        QFETCH(QString, statusLine);
        QFETCH(int, languageEntry);
        if (file != "none") {
            writeSettings(file);
        }
        start("");
        QCOMPARE(this->messages(), messages);
        QCOMPARE(window->findChild<QComboBox*>("cmbLanguage")->currentIndex(), languageEntry);
        QCOMPARE(window->findChild<QLabel*>("lblStatus")->text(), statusLine);
        QVERIFY(window->isVisible());
        QCOMPARE(platform->endCount, 0);
        QCOMPARE(window->path(PathKind::GSPath), QStringLiteral("/bin/sh"));
        QCOMPARE(window->path(PathKind::AcroPath), QString(file == "none" ? "" : "/"));
        for (PathKind kind : {PathKind::Outputpath, PathKind::ComposeFolder}) {
            QCOMPARE(window->path(kind), QStringLiteral("/"));
        }
    }

    // Cancel on the question after an empty choice ends the program at once.
    void pathCheckCancelled() {
        platform->fakePrompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Cancel};
        start("", 0);
        QCOMPARE(platform->endCount, 1);
        QVERIFY(!window->isVisible());
        QVERIFY(!QFile::exists(settings));
        QCOMPARE(picker->calls, QStringList({"ask GSPath", "select /", "show"}));
    }

    void distillerAndTrayAtStart_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("plain") << "" << QByteArray() << false << false;
        QTest::newRow("D") << "D" << QByteArray() << true << false;
        QTest::newRow("start-on-boot")
            << "" << QByteArray("StartDistOnBoot;1\r\n") << true << false;
        QTest::newRow("window state 1")
            << "" << QByteArray("    WindowState;1\r\n") << false << true;
    }
    void distillerAndTrayAtStart() {
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, extra);
        QFETCH(bool, active);
        QFETCH(bool, minimised);
        writeSettings(settingsWith("/bin/sh") + extra);
        start(commandLine);
        QCOMPARE(window->distiller().state().DistillerActive, active);
        QCOMPARE(window->isMinimized(), minimised);
        QVERIFY(messages().isEmpty());
    }

    // A file named on the command line is converted beside itself and the
    // program ends, with the reader opened when one is configured.
    void singleFileRun_data() {
        QTest::addColumn<QString>("folder");  // below the temporary root
        QTest::addColumn<bool>("withReader");
        QTest::newRow("outside the watched folder, with a reader") << "/elsewhere/" << true;
        QTest::newRow("in the watched folder, without a reader") << "/watch/" << false;
    }
    void singleFileRun() {
        QFETCH(QString, folder);
        QFETCH(bool, withReader);
        const QString source = writeFile(root->path() + folder + "Report.PS");
        writeSettings(settingsWith("/bin/sh") +
                      (withReader ? QByteArray("  AcrobatFolder;/bin/true\r\n") : QByteArray()));
        platform->onStart = [this](const FakePlatform::Started& started) {
            if (started.mode == WindowMode::Minimised) {
                writeFile(outputFileOf(started), kWholePdf);
                platform->finishProcess(started.id);
            }
        };
        start("\"" + source + "\"");
        QVERIFY(window->distiller().state().DistillerActive);
        window->distiller().tick();

        const QString pdf = root->path() + folder + "Report.pdf";
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(platform->endCount, 1);
        QVERIFY(QFile::exists(settings));
        QVERIFY(window->tray().icon() == nullptr || !window->tray().icon()->isVisible());
        const bool readerStarted = platform->started.size() == 2;
        QCOMPARE(readerStarted, withReader);
        if (withReader) {
            QCOMPARE(platform->started[1].commandLine, "\"/bin/true\" \"" + pdf + "\"");
            QCOMPARE(platform->started[1].mode, WindowMode::Maximised);
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
        const QString source = root->path() + "/elsewhere/a.ps";
        if (exists) {
            writeFile(source);
            platform->copyFailures[watch + "a.ps"] = FileResult::Failed;
            messages[0] += source;
        }
        writeSettings(settingsWith("/bin/sh"));
        start(source);
        QCOMPARE(platform->endCount, 1);
        QCOMPARE(this->messages(), messages);
        QCOMPARE(QFile::exists(source), exists);
        QVERIFY(!window->distiller().state().DistillerActive);
        QVERIFY(platform->started.isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
