#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <cerrno>
#include <csignal>

#include "platform/linux/linux_program_life.h"

class TestLinuxProgramLife : public QObject {
    Q_OBJECT

  private slots:
    void oneInstancePerUser() {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        auto first = std::make_unique<LinuxProgramLife>();
        auto second = std::make_unique<LinuxProgramLife>();
        QVERIFY(first->claimInstance());
        QVERIFY(!second->claimInstance());
        first.reset();
        QVERIFY(second->claimInstance());
        second.reset();

        // A lock left by an instance that ended without removing it is taken.
        QProcess ended;
        ended.start(QStringLiteral("true"));
        QVERIFY(ended.waitForStarted());
        const qint64 endedPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile stale(runtime.path() + QStringLiteral("/tarnwick.lock"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(endedPid) + "\ntarnwick\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QVERIFY(LinuxProgramLife().claimInstance());
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void folders() {
        LinuxProgramLife life;
        QCOMPARE(life.programFolder(), QCoreApplication::applicationDirPath());
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/nowhere/config");
        const QString config = life.configFolder();
        qputenv("XDG_CONFIG_HOME", previous);
        QCOMPARE(config, QStringLiteral("/nowhere/config/TarnWick"));
    }

    // 0 stands for the end of the session, which comes as a quit event.
    void terminationRequests_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("end of the session") << 0;
    }
    // One handler serves the process: a life that goes away leaves it to the
    // others. A burst of signals before the event loop runs neither blocks the
    // handler on a full socket nor changes errno where the signal struck.
    void terminationRequests() {
        QFETCH(int, signal);
        auto older = std::make_unique<LinuxProgramLife>();
        LinuxProgramLife life;
        older->watchTermination();
        life.watchTermination();
        older.reset();
        QSignalSpy requested(&life, &ProgramLife::terminationRequested);
        if (signal == 0) {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            QCOMPARE(requested.count(), 1);
            return;
        }
        bool errnoKept = true;
        for (int i = 0; i < 10000; ++i) {
            errno = EDOM;
            raise(signal);
            errnoKept = errnoKept && errno == EDOM;
        }
        QVERIFY(errnoKept);
        QVERIFY(requested.wait());
    }
};

QTEST_GUILESS_MAIN(TestLinuxProgramLife)
#include "test_linux_program_life.moc"
