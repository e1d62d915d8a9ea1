#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "engine/distiller.h"
#include "support/main_window_fixture.h"
#include "widgets/colors.h"
#include "widgets/outline.h"
#include "widgets/twips.h"

namespace {

const char* const kSettingControls[] = {"Shape1",
                                        "Line1",
                                        "Line2",
                                        "Line3",
                                        "Line4",
                                        "cmbQuality",
                                        "lblQuality",
                                        "lblMoveFolder",
                                        "lblOutputPath",
                                        "lblWatchDir",
                                        "lblComposeFolder",
                                        "lblDeletePSfiles",
                                        "lblStartDistOnBoot",
                                        "lblWebsite",
                                        "cmdAcroPath",
                                        "cmdComposeFolder",
                                        "cmdGSPath",
                                        "cmdOutput",
                                        "cmdPSMove",
                                        "cmdWatchDir",
                                        "chkDeletePSFiles",
                                        "chkStartDistOnBoot",
                                        "chkUseBBX",
                                        "lblUseBBx",
                                        "chkUseEncryption",
                                        "chkPicQualityGood",
                                        "lblUseEncryption",
                                        "lblOwnerPassword",
                                        "lblUserPassword",
                                        "txtOwnerPassword",
                                        "txtUserPassword",
                                        "cmdShowPassWords",
                                        "lblLanguage",
                                        "cmbLanguage"};

const char* const kOutlines[] = {"Line1",  "Line2",  "Line3",  "Line4",  "Shape1", "Shape2",
                                 "Shape3", "Shape4", "Shape5", "Shape6", "Shape7"};

const char* const kColouredTexts[] = {
    "lblGsPath",   "lblMoveFolder",    "lblOutputPath",    "lblWatchDir",      "lblComposeFolder",
    "lblAcroPath", "lblDeletePSfiles", "lblStatus",        "lblQuality",       "lblUseBBx",
    "lblWebsite",  "lblLanguage",      "lblUseEncryption", "lblOwnerPassword", "lblUserPassword"};

}  // namespace

class TestDistillerSwitch : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    bool shown(const char* name) const {
        return f->control<QWidget>(name)->isVisibleTo(f->window.get());
    }
    void click(const char* button) {
        QTest::mouseClick(f->control<QPushButton>(button), Qt::LeftButton);
    }
    QColor textColor(const char* name) const {
        return f->control<QWidget>(name)->palette().color(QPalette::WindowText);
    }
    void checkLook(quint32 color, bool settingsShown) {
        for (const char* name : kSettingControls) {
            QVERIFY2(shown(name) == settingsShown, name);
        }
        for (const char* name : kOutlines) {
            QCOMPARE(f->control<Outline>(name)->borderColor(), color);
        }
        for (const char* name : kColouredTexts) {
            QCOMPARE(textColor(name), toQColor(color));
        }
        QCOMPARE(f->control<QLineEdit>("txtOwnerPassword")->isEnabled(), settingsShown);
        QCOMPARE(f->control<QLineEdit>("txtUserPassword")->isEnabled(), settingsShown);
        const QRect list = f->control<QListWidget>("lstConverted")->geometry();
        QCOMPARE(list.top(), twipsToPixels(settingsShown ? 5160 : 790));
        QCOMPARE(list.height(), twipsToPixels(settingsShown ? 1980 : 6500));
        for (const char* always : {"lblStatus", "lstConverted", "lblCurrentCount", "lblTeller",
                                   "Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7"}) {
            QVERIFY2(shown(always), always);
        }
    }

  private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->window->Make_Orange();
        f->window->show();
    }
    void cleanup() { f.reset(); }

    void inactiveLook() {
        checkLook(Color_Orange, true);
        QCOMPARE(textColor("lblStartDistOnBoot"), QColor(255, 192, 128));
        QVERIFY(shown("cmdStart") && shown("cmdCompose") && shown("cmdExit"));
        QVERIFY(!shown("cmdStop"));
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
    }

    void activeLook() {
        click("cmdStart");
        QVERIFY(f->window->distiller().state().DistillerActive);
        checkLook(Color_Green, false);
        QVERIFY(shown("cmdStop"));
        QVERIFY(!shown("cmdStart") && !shown("cmdCompose") && !shown("cmdExit"));
        // Labels the active look leaves visible lie under the enlarged list.
        const QRect list = f->control<QListWidget>("lstConverted")->geometry();
        for (const char* under : {"lblGsPath", "lblAcroPath", "lblBetterPictureQuality"}) {
            QVERIFY2(list.contains(f->control<QWidget>(under)->geometry()), under);
        }
        QCOMPARE(f->window->childAt(f->control<QWidget>("lblGsPath")->geometry().center()),
                 f->control<QListWidget>("lstConverted")->viewport());
        // Calling a look twice gives the same result.
        f->window->Make_Green();
        checkLook(Color_Green, false);
    }

    void stopRestoresInactiveLook() {
        click("cmdStart");
        click("cmdStop");
        QVERIFY(!f->window->distiller().state().DistillerActive);
        checkLook(Color_Orange, true);
        QVERIFY(shown("cmdStart") && shown("cmdCompose") && shown("cmdExit"));
        QVERIFY(!shown("cmdStop"));
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
    }

    // The folders as the file system sees them; {root} is the test's folder,
    // holding In/, in/ and a link to In/.
    void equalFolders_data() {
        QTest::addColumn<QString>("watch");
        QTest::addColumn<QString>("moved");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same text") << "{root}/In/"
                                   << "{root}/In/" << true;
        QTest::newRow("doubled separator") << "{root}/In/"
                                           << "{root}/In//" << true;
        QTest::newRow("through a link") << "{root}/In/"
                                        << "{root}/link/" << true;
        QTest::newRow("trailing separator on one side") << "{root}/In/"
                                                        << "{root}/In" << true;
        QTest::newRow("letter case differs") << "{root}/In/"
                                             << "{root}/in/" << false;
        QTest::newRow("different folders") << "{root}/In/"
                                           << "{root}/Out/" << false;
    }
    void equalFolders() {
        QFETCH(QString, watch);
        QFETCH(QString, moved);
        QFETCH(bool, refused);
        const QString root = f->root.path();
        QVERIFY(QDir(root).mkdir("In") && QDir(root).mkdir("in") && QDir(root).mkdir("Out"));
        QVERIFY(QFile::link(root + "/In", root + "/link"));
        f->setCaption("lblWatchDir", watch.replace("{root}", root));
        f->setCaption("lblMoveFolder", moved.replace("{root}", root));
        bool exitHiddenWhileAsking = false;
        f->platform.fakePrompts.whileOpen = [&] { exitHiddenWhileAsking = !shown("cmdExit"); };
        click("cmdStart");
        QCOMPARE(f->window->distiller().state().DistillerActive, !refused);
        QCOMPARE(f->platform.fakePrompts.shown.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(f->platform.fakePrompts.shown[0].text,
                     QStringLiteral("The Watched Folder is the same as the ps move to folder, "
                                    "please change one of them"));
            QCOMPARE(f->platform.fakePrompts.shown[0].buttons, Prompts::Buttons::Ok);
            QVERIFY(exitHiddenWhileAsking);
            QVERIFY(shown("cmdStart") && shown("cmdCompose") && shown("cmdExit"));
            checkLook(Color_Orange, true);
        }
    }

    void refusalSpeaksTheCurrentLanguage() {
        f->setCaption("lblMoveFolder", f->watch);
        f->window->applyLanguage(QStringLiteral("DE"));
        TextTable german;
        german.Select_Texts(QStringLiteral("DE"));
        click("cmdStart");
        QCOMPARE(f->platform.fakePrompts.shown.value(0).text, german[TextId::Tr_MsgSameFolders]);
    }

    void currentCountStartsAgainAtEachSwitchOn() {
        f->ghostscriptWritesOutput();
        Distiller& distiller = f->window->distiller();
        f->writeFile(f->watch + "a.ps");
        click("cmdStart");
        distiller.tick();
        click("cmdStop");
        click("cmdStart");
        QCOMPARE(distiller.state().CurrentCount, 0.0);
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("1"));  // not refreshed
        f->writeFile(f->watch + "b.ps");
        distiller.tick();
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("1"));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("2"));
    }

    // The pass runs from the window's own 200 ms timer.
    void timerRunsPasses() {
        f->ghostscriptWritesOutput();
        f->writeFile(f->watch + "a.ps");
        f->control<QTimer>("tmrAutodistill")->start();
        click("cmdStart");
        QTRY_COMPARE(f->listEntries(), QStringList{f->output + "a.pdf"});
        QTRY_COMPARE(f->caption("lblStatus"),
                     QStringLiteral("Distiller is active, nothing to distill at this moment....."));
    }
};

QTEST_MAIN(TestDistillerSwitch)
#include "test_distiller_switch.moc"
