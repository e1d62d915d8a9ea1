#include <QFile>
#include <QPushButton>
#include <QResizeEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "app/startup.h"
#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"
#include "support/main_window_fixture.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

    std::unique_ptr<MainWindowFixture> f;

    FrmMain& window() { return *f->window; }
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
                f->platform.requestTermination();
                break;
        }
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        connectCloseRequests(*f->window, f->platform);
        window().Make_Orange();
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }
    void cleanup() { f.reset(); }

    void addAndRemoveIcon() {
        window().tray().Add_Tray_Icon();
        QSystemTrayIcon* icon = window().tray().icon();
        QVERIFY(icon != nullptr);
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->toolTip(), QStringLiteral("Click for TarnWick to appear"));
        window().tray().Remove_Tray_Icon();
        QVERIFY(!icon->isVisible());
        // Added again after a removal, it is the same icon shown once more.
        window().tray().Add_Tray_Icon();
        QCOMPARE(window().tray().icon(), icon);
        QVERIFY(icon->isVisible());
    }

    void trayNotification_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restores");
        QTest::newRow("512 mouse move") << 512 << false;
        QTest::newRow("513 left pressed") << 513 << false;
        QTest::newRow("514 left released") << 514 << true;
        QTest::newRow("515 left double-click") << 515 << true;
        QTest::newRow("516 right pressed") << 516 << false;
        QTest::newRow("517 right released") << 517 << true;
        QTest::newRow("518 right double-click") << 518 << false;
        QTest::newRow("519 middle pressed") << 519 << false;
        QTest::newRow("0") << 0 << false;
    }
    void trayNotification() {
        QFETCH(int, code);
        QFETCH(bool, restores);
        window().tray().Add_Tray_Icon();
        minimise();
        window().tray().handleTrayNotification(code);
        QCoreApplication::processEvents();
        QCOMPARE(window().isMinimized(), !restores);
        QVERIFY(window().isVisible());
        if (restores) {
            QCOMPARE(window().windowState(), Qt::WindowStates(Qt::WindowNoState));
        }
    }

    // Where a notification area hides the minimised window, the icon must
    // bring it back on screen, not only out of the minimised state.
    void trayNotificationShowsHiddenWindow_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restores");
        QTest::newRow("514 left released") << 514 << true;
        QTest::newRow("516 right pressed") << 516 << false;
    }
    void trayNotificationShowsHiddenWindow() {
        QFETCH(int, code);
        QFETCH(bool, restores);
        window().tray().Add_Tray_Icon();
        minimise();
        window().hide();
        window().tray().handleTrayNotification(code);
        QCoreApplication::processEvents();
        QCOMPARE(window().isVisible(), restores);
        QCOMPARE(window().isMinimized(), !restores);
    }

    void minimisingKeepsWindowWithoutNotificationArea() {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QSKIP("this platform has a notification area");
        }
        window().tray().Add_Tray_Icon();
        minimise();
        QCoreApplication::processEvents();
        // Hidden, it could not be brought back: there is no icon to click.
        QVERIFY(window().isVisible());
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
        window().tray().Add_Tray_Icon();
        window().setCounter(7);
        const QString settings = window().settingsPath();
        QVERIFY(!QFile::exists(settings));

        end(ending);

        const QByteArray file = readAll(settings);
        QVERIFY(file.startsWith("*** This is the settingsfile for TarnWick.exe\r\n"));
        QVERIFY(file.endsWith("    WindowState;0\r\n        Counter;7\r\n"));
        QVERIFY(!window().tray().icon()->isVisible());
        QCOMPARE(f->platform.endCount, 1);
        QCOMPARE(f->platform.fakePrompts.shown.size(), 0);
    }

    // The program ends even when its settings cannot be written; the user
    // is told which file it was. An end from outside waits for nobody: the
    // message goes to standard error instead of a box.
    void endingWithUnwritableSettings_data() { ending_data(); }
    void endingWithUnwritableSettings() {
        QFETCH(Ending, ending);
        window().tray().Add_Tray_Icon();
        f->platform.unwritableFiles.insert(window().settingsPath());
        end(ending);
        const bool box = ending != Ending::Termination;
        QCOMPARE(f->platform.fakePrompts.shown.size(), box ? 1 : 0);
        QVERIFY(!box || f->platform.fakePrompts.shown[0].text.contains(window().settingsPath()));
        QVERIFY(!window().tray().icon()->isVisible());
        QCOMPARE(f->platform.endCount, 1);
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
        window().tray().Add_Tray_Icon();
        window().animations().setFullSize(9615, 8325);
        window().windowGeometry().setSaved(1500, 975, QStringLiteral("0"));
        minimise();
        if (hiddenInTray) {
            window().hide();
        }
        const QSize size = window().size();
        ResizeCounter resizes;
        window().installEventFilter(&resizes);

        end(ending);
        window().removeEventFilter(&resizes);

        const QByteArray file = readAll(window().settingsPath());
        QVERIFY(
            file.contains("\r\n           Left;1500\r\n            Top;975\r\n"
                          "    WindowState;1\r\n"));
        // Not rolled up: a minimised window is not animated.
        QCOMPARE(resizes.count, 0);
        QCOMPARE(window().size(), size);
        QVERIFY(!window().tray().icon()->isVisible());
        QCOMPARE(f->platform.endCount, 1);
    }
};

QTEST_MAIN(TestTrayAndExit)
#include "test_tray_and_exit.moc"
