// What the main window shows of the distiller: its two looks follow the
// switch (the inactive one shows the settings, the active one hides them
// behind a larger list), and the list and the counters show the results.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <utility>

#include "distill/distiller.h"
#include "shell/frm_main.h"
#include "support/app_fixture.h"
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

class TestDistillerLooks : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    bool shown(const char* name) const {
        return f->control<QWidget>(name)->isVisibleTo(&f->window());
    }
    void click(const char* button) {
        QTest::mouseClick(f->control<QPushButton>(button), Qt::LeftButton);
    }
    QColor textColor(const char* name) const {
        return f->control<QWidget>(name)->palette().color(QPalette::WindowText);
    }
    // The look of a colour, and the buttons that go with it: Distill, Merge
    // and Exit while off, Stop while on.
    void checkLook(quint32 color, bool off) {
        for (const char* name : kSettingControls) {
            QVERIFY2(shown(name) == off, name);
        }
        for (const char* name : kOutlines) {
            QCOMPARE(f->control<Outline>(name)->borderColor(), color);
        }
        for (const char* name : kColouredTexts) {
            QCOMPARE(textColor(name), toQColor(color));
        }
        QCOMPARE(f->control<QLineEdit>("txtOwnerPassword")->isEnabled(), off);
        QCOMPARE(f->control<QLineEdit>("txtUserPassword")->isEnabled(), off);
        const QRect list = f->control<QListWidget>("lstConverted")->geometry();
        QCOMPARE(list.top(), twipsToPixels(off ? 5160 : 790));
        QCOMPARE(list.height(), twipsToPixels(off ? 1980 : 6500));
        for (const char* always : {"lblStatus", "lstConverted", "lblCurrentCount", "lblTeller",
                                   "Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7"}) {
            QVERIFY2(shown(always), always);
        }
        for (const char* button : {"cmdStart", "cmdCompose", "cmdExit"}) {
            QVERIFY2(shown(button) == off, button);
        }
        QCOMPARE(shown("cmdStop"), !off);
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        f->window().Make_Orange();
        f->window().show();
    }
    void cleanup() { f.reset(); }

    void inactiveLook() {
        checkLook(Color_Orange, true);
        QCOMPARE(textColor("lblStartDistOnBoot"), QColor(255, 192, 128));
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
    }

    void activeLook() {
        click("cmdStart");
        QVERIFY(f->app->distiller().isActive());
        checkLook(Color_Green, false);
        // Labels the active look leaves visible lie under the enlarged list.
        const QRect list = f->control<QListWidget>("lstConverted")->geometry();
        for (const char* under : {"lblGsPath", "lblAcroPath", "lblBetterPictureQuality"}) {
            QVERIFY2(list.contains(f->control<QWidget>(under)->geometry()), under);
        }
        QCOMPARE(f->window().childAt(f->control<QWidget>("lblGsPath")->geometry().center()),
                 f->control<QListWidget>("lstConverted")->viewport());
        // Calling a look twice gives the same result.
        f->window().Make_Green();
        checkLook(Color_Green, false);
    }

    void stopRestoresInactiveLook() {
        click("cmdStart");
        click("cmdStop");
        QVERIFY(!f->app->distiller().isActive());
        checkLook(Color_Orange, true);
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
    }

    // While the refusal is shown Exit cannot be pressed; afterwards the
    // window is as it was.
    void refusedStartKeepsTheInactiveLook() {
        f->setCaption("lblMoveFolder", f->watch);
        bool exitHiddenWhileAsking = false;
        f->prompts.whileOpen = [&] { exitHiddenWhileAsking = !shown("cmdExit"); };
        click("cmdStart");
        QVERIFY(!f->app->distiller().isActive());
        QCOMPARE(f->prompts.shown.size(), 1);
        QVERIFY(exitHiddenWhileAsking);
        checkLook(Color_Orange, true);
    }

    // A conversion that made no PDF is listed marked, with its reason. The
    // count of this switching-on is shown afresh only when a file is taken;
    // the count of produced files counts started runs.
    void resultsInTheWindow() {
        Distiller& distiller = f->app->distiller();
        f->processes.failStart = true;
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        click("cmdStart");
        distiller.tick();
        QTRY_VERIFY(!distiller.isPassInProgress());
        const QString reason =
            " (conversion failed, no PDF was made): Ghostscript /usr/bin/gs "
            "could not be started";
        QStringList entries = f->listEntries();
        entries.sort();
        QCOMPARE(entries, QStringList({f->moved + "a.ps" + reason, f->moved + "b.ps" + reason}));
        auto* list = f->control<QListWidget>("lstConverted");
        QVERIFY(list->item(0)->data(FrmMain::kFailedRole).toBool());
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("2"));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("0"));

        click("cmdStop");
        click("cmdStart");
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("2"));
        f->processes.failStart = false;
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "c.ps");
        distiller.tick();
        QTRY_VERIFY(!distiller.isPassInProgress());
        QCOMPARE(f->listEntries().value(2), f->output + "c.pdf");
        QVERIFY(!list->item(2)->data(FrmMain::kFailedRole).toBool());
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("1"));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("1"));
    }

    // The passes run from the application's own 200 ms timer.
    void timerRunsPasses() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "a.ps");
        f->app->timer().start();
        click("cmdStart");
        QTRY_COMPARE(f->listEntries(), QStringList{f->output + "a.pdf"});
        QTRY_COMPARE(f->caption("lblStatus"),
                     QStringLiteral("Distiller is active, nothing to distill at this moment....."));
    }

    // A change in the watched folder starts a pass at once, without the
    // timer, and one during a pass another after it; the running indicator
    // is left to the timer.
    void folderChangeRunsAPass() {
        bool first = true;
        f->processes.onStart = [this, &first](const FakeProcesses::Started& start) {
            if (std::exchange(first, false)) {
                writeFile(f->watch + "b.ps");
                f->folderWatch.change();
            }
            writeFile(outputFileOf(start), kWholePdf);
            f->processes.finishRun(start.id);
        };
        click("cmdStart");
        QCOMPARE(f->folderWatch.watched, f->watch);
        const int step = f->app->distiller().runStep();
        writeFile(f->watch + "a.ps");
        f->folderWatch.change();
        QTRY_COMPARE(f->listEntries(), QStringList({f->output + "a.pdf", f->output + "b.pdf"}));
        QCOMPARE(f->app->distiller().runStep(), step);
        click("cmdStop");
        QVERIFY(f->folderWatch.watched.isEmpty());
    }
};

QTEST_MAIN(TestDistillerLooks)
#include "test_distiller_looks.moc"
