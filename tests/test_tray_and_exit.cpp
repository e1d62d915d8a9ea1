#include <QPushButton>
#include <QResizeEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <cerrno>

#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"
#include "support/app_fixture.h"
#include "support/settings_text.h"

namespace {

// Counts the resizes of a window.
class ResizeCounter : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The ways the program is asked to end.
enum class Ending { ExitButton, CloseRequest, Termination };

}  // namespace

Q_DECLARE_METATYPE(Ending)

class TestTrayAndExit : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    FrmMain& window() { return f->window(); }
    TrayIcon& tray() { return f->app->tray(); }
    void minimise() {
        window().setWindowState(window().windowState() | Qt::WindowMinimized);
        QTRY_VERIFY(window().isMinimized());
    }
    void end(Ending ending) {
        switch (ending) {
            case Ending::ExitButton: {
                auto* exit = f->control<QPushButton>("cmdExit");
                QVERIFY(exit->isVisible());
                QTest::mouseClick(exit, Qt::LeftButton);
                break;
            }
            case Ending::CloseRequest:
                window().close();
                break;
            case Ending::Termination:
                f->life.requestTermination();
                break;
        }
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        QVERIFY(f->showWindow());
    }
    void cleanup() { f.reset(); }

    void addAndRemoveIcon() {
        tray().Add_Tray_Icon();
        QVERIFY(tray().isShown());
        QCOMPARE(tray().tip(), QStringLiteral("Click for TarnWick to appear"));
        tray().Remove_Tray_Icon();
        QVERIFY(!tray().isShown());
        // Added again after a removal, it is the same icon shown once more.
        tray().Add_Tray_Icon();
        QVERIFY(tray().isShown());
        QCOMPARE(tray().findChildren<QSystemTrayIcon*>().size(), 1);
    }

    // The icon asks for the window back; the application brings it out of
    // the minimised state and, where a notification area hid it, on screen.
    void trayNotification_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("restores");
        QTest::newRow("512 mouse move") << 512 << false << false;
        QTest::newRow("513 left pressed") << 513 << false << false;
        QTest::newRow("514 left released") << 514 << false << true;
        QTest::newRow("515 left double-click") << 515 << false << true;
        QTest::newRow("516 right pressed") << 516 << false << false;
        QTest::newRow("517 right released") << 517 << false << true;
        QTest::newRow("518 right double-click") << 518 << false << false;
        QTest::newRow("519 middle pressed") << 519 << false << false;
        QTest::newRow("0") << 0 << false << false;
        QTest::newRow("514, hidden in the tray") << 514 << true << true;
        QTest::newRow("516, hidden in the tray") << 516 << true << false;
    }
    void trayNotification() {
        QFETCH(int, code);
        QFETCH(bool, hidden);
        QFETCH(bool, restores);
        tray().Add_Tray_Icon();
        minimise();
        if (hidden) {
            window().hide();
        }
        tray().handleTrayNotification(code);
        QCoreApplication::processEvents();
        QCOMPARE(window().isMinimized(), !restores);
        QCOMPARE(window().isVisible(), restores || !hidden);
        if (restores) {
            QCOMPARE(window().windowState(), Qt::WindowStates(Qt::WindowNoState));
        }
    }

    // A minimised window goes into the notification area only while the
    // icon is there to bring it back; without a notification area it stays.
    void minimising_data() {
        QTest::addColumn<bool>("iconShown");
        QTest::newRow("icon shown") << true;
        QTest::newRow("no icon") << false;
    }
    void minimising() {
        QFETCH(bool, iconShown);
        if (iconShown) {
            tray().Add_Tray_Icon();
        }
        minimise();
        if (iconShown && QSystemTrayIcon::isSystemTrayAvailable()) {
            QTRY_VERIFY(!window().isVisible());
        } else {
            QCoreApplication::processEvents();
            QVERIFY(window().isVisible());
        }
        QVERIFY(window().isMinimized());
    }

    void ending_data() {
        QTest::addColumn<Ending>("ending");
        QTest::newRow("Exit button") << Ending::ExitButton;
        QTest::newRow("close request") << Ending::CloseRequest;
        QTest::newRow("termination signal") << Ending::Termination;
    }
    void ending() {
        QFETCH(Ending, ending);
        tray().Add_Tray_Icon();
        f->config().setCounter(7);
        QVERIFY(!f->savedSettings());

        end(ending);

        QVERIFY(readFile(f->settingsPath()).startsWith(kSettingsHeader));
        const std::optional<Settings> saved = f->savedSettings();
        QVERIFY(saved);
        QCOMPARE(saved->windowState, QStringLiteral("0"));
        QCOMPARE(saved->counter, 7.0);
        QVERIFY(!tray().isShown());
        QCOMPARE(f->life.endCount, 1);
        QCOMPARE(f->prompts.shown.size(), 0);
    }

    // The program ends even when its settings cannot be written; the user
    // is told which file it was. An end from outside waits for nobody: the
    // message goes to standard error instead of a box.
    void endingWithUnwritableSettings_data() { ending_data(); }
    void endingWithUnwritableSettings() {
        QFETCH(Ending, ending);
        tray().Add_Tray_Icon();
        f->files.failing.insert(f->settingsPath(),
                                Failure{Failure::Kind::Failed, EACCES, "Permission denied"});
        end(ending);
        const bool box = ending != Ending::Termination;
        QCOMPARE(f->prompts.shown.size(), box ? 1 : 0);
        QVERIFY(!box || f->prompts.shown[0].text.contains(f->settingsPath()));
        QVERIFY(!tray().isShown());
        QCOMPARE(f->life.endCount, 1);
    }

    void endingWhileMinimised_data() {
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<bool>("hiddenInTray");
        QTest::newRow("close request") << Ending::CloseRequest << false;
        QTest::newRow("termination signal") << Ending::Termination << false;
        // A notification area hides the minimised window; a signal reaches
        // it all the same.
        QTest::newRow("termination signal, hidden in the tray") << Ending::Termination << true;
    }
    void endingWhileMinimised() {
        QFETCH(Ending, ending);
        QFETCH(bool, hiddenInTray);
        tray().Add_Tray_Icon();
        f->app->animations().setFullSize(9615, 8325);
        f->app->geometry().setSaved(1500, 975, QStringLiteral("0"));
        minimise();
        if (hiddenInTray) {
            window().hide();
        }
        const QSize size = window().size();
        ResizeCounter resizes;
        window().installEventFilter(&resizes);

        end(ending);
        window().removeEventFilter(&resizes);

        const std::optional<Settings> saved = f->savedSettings();
        QVERIFY(saved);
        QCOMPARE(saved->left, qint16(1500));
        QCOMPARE(saved->top, qint16(975));
        QCOMPARE(saved->windowState, QStringLiteral("1"));
        // Not rolled up: a minimised window is not animated.
        QCOMPARE(resizes.count, 0);
        QCOMPARE(window().size(), size);
        QVERIFY(!tray().isShown());
        QCOMPARE(f->life.endCount, 1);
    }
};

QTEST_MAIN(TestTrayAndExit)
#include "test_tray_and_exit.moc"
