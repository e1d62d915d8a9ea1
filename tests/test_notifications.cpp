#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>

#include "i18n/text_table.h"
#include "platform/linux/linux_notifications.h"
#include "shell/result_notices.h"
#include "support/app_fixture.h"

// A stand-in notification service: records what it is asked to show.
class StandInService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QStringList bodies;
    QList<QStringList> actions;

  public slots:
    uint Notify(const QString&, uint, const QString&, const QString&, const QString& body,
                const QStringList& actionList, const QVariantMap&, int) {
        bodies.append(body);
        actions.append(actionList);
        return static_cast<uint>(bodies.size());
    }

  signals:
    void ActionInvoked(uint id, const QString& action);
};

// Messages for PDFs made and files failed while the window is not looked
// at, on a private session bus: none without a service, one per file or one
// per batch with one, and a click opens what the message is about.
class TestNotifications : public QObject {
    Q_OBJECT
    QProcess bus_;

  private slots:
    void initTestCase() {
        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
        QVERIFY(bus_.waitForReadyRead());
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }
    void cleanupTestCase() {
        bus_.terminate();
        bus_.waitForFinished();
    }

    void toldWhileTheWindowIsAway() {
        AppFixture f;  // its window is never shown: as if in the tray
        TextTable texts;
        texts.Select_Texts(QStringLiteral("GB"));
        LinuxNotifications notifications;
        ResultNotices notices(f.window(), f.config(), texts, notifications, f.desktop);

        // No service on the bus: nothing shown, nothing fails.
        notifications.show("TarnWick", "PDF made: lost.pdf", f.output + "lost.pdf");

        StandInService service;
        QDBusConnection serviceBus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("stand-in"));
        QVERIFY(serviceBus.registerObject(
            QStringLiteral("/org/freedesktop/Notifications"), &service,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

        notices.converted(f.output + "a.pdf");
        QTRY_COMPARE(service.bodies, QStringList{"PDF made: a.pdf"});
        QVERIFY(service.actions[0].contains("default"));
        emit service.ActionInvoked(1, QStringLiteral("default"));
        QTRY_COMPARE(f.desktop.openedFiles, QStringList{f.output + "a.pdf"});

        notices.converted(f.output + "b.pdf");
        notices.failed(f.moved + "c.ps", "Ghostscript ended with exit code 1");
        notices.converted(f.output + "d.pdf");
        QTRY_COMPARE(service.bodies.size(), 2);
        QCOMPARE(service.bodies[1], "2 PDFs made, 1 failed");
        emit service.ActionInvoked(2, QStringLiteral("default"));
        QTRY_COMPARE(f.desktop.openedFolders, QStringList{f.output});
    }
};

QTEST_MAIN(TestNotifications)
#include "test_notifications.moc"
