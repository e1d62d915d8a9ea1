#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <future>

#include "platform/linux/linux_volumes.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/within_deadline.h"
#include "settings/path_rules.h"

using namespace std::chrono_literals;

class TestPathRules : public QObject {
    Q_OBJECT

  private slots:
    void volumesFromTheMountTable() {
        const QByteArray table =
            "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
            "23 27 0:22 / /sys rw shared:7 - sysfs sysfs rw\n"
            "24 27 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
            "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
            "26 27 0:24 / /run rw - tmpfs tmpfs rw\n"
            "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
            "31 23 0:28 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
            "40 27 0:40 / /tmp rw - tmpfs tmpfs rw\n"
            "41 27 8:2 / /home rw shared:3 master:2 - ext4 /dev/sda2 rw\n"
            "42 27 8:3 / /media/my\\040disk rw - vfat /dev/sdb1 rw\n"
            "43 26 8:4 / /run/media/me/USB rw - vfat /dev/sdc1 rw\n"
            "44 27 8:2 /me /home rw - ext4 /dev/sda2 rw\n"
            "45 27 0:50 / /net rw - autofs systemd-1 rw\n"
            "not a mount line\n";
        QCOMPARE(volumesFromMountInfo(table),
                 QStringList({"/", "/home", "/media/my disk", "/run/media/me/USB", "/tmp"}));
        QCOMPARE(volumesFromMountInfo(QByteArray()), QStringList{"/"});
    }

    void volumeOfPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("volume");
        QTest::newRow("inside a volume") << "/home/me/a.ps"
                                         << "/home";
        QTest::newRow("the mount point itself") << "/home"
                                                << "/home";
        QTest::newRow("longest mount point wins") << "/home/me/net/"
                                                  << "/home/me/net";
        QTest::newRow("a name that only begins alike") << "/homework/x"
                                                       << "/";
        QTest::newRow("the root") << "/"
                                  << "/";
        QTest::newRow("relative") << "gs"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("another system's drive") << "c:\\"
                                                << "";
    }
    void volumeOfPath() {
        QFETCH(QString, path);
        QFETCH(QString, volume);
        QCOMPARE(volumeOf({"/", "/home", "/home/me/net"}, path), volume);
    }

    void callWithinGivesUpOnWorkThatHangs() {
        QCOMPARE(callWithin<int>([] { return std::optional<int>(7); }, 5s), std::optional<int>(7));
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        const auto hanging = [released]() -> std::optional<int> {
            released.wait();
            return 1;
        };
        QCOMPARE(callWithin<int>(hanging, 50ms), std::nullopt);
        release.set_value();
    }

    void readFolderSplitsFoldersAndFiles() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/";
        QDir().mkpath(base + "sub");
        QDir().mkpath(base + ".hidden");
        QFile gs10(base + "gs-10");
        QVERIFY(gs10.open(QIODevice::WriteOnly));
        gs10.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QFile::link(base + "gs-10", base + "gs"));
        QVERIFY(QFile::link(base + "sub", base + "sublink"));
        QVERIFY(QFile::link(base + "nowhere", base + "dangling"));

        LinuxVolumes volumes;
        const std::optional<FolderContents> contents = volumes.readFolder(dir.path());
        QVERIFY(contents);
        QStringList folders = contents->folders;
        QStringList files = contents->files;
        folders.sort();
        files.sort();
        QCOMPARE(folders, QStringList({"sub", "sublink"}));
        QCOMPARE(files, QStringList({"gs", "gs-10"}));
        QCOMPARE(volumes.readFolder(base + "missing"), std::nullopt);
        QCOMPARE(volumes.volumes().value(0), QStringLiteral("/"));
    }
};

QTEST_GUILESS_MAIN(TestPathRules)
#include "test_path_rules.moc"
