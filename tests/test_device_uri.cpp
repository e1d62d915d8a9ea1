#include <QTest>

#include "printing/device_uri.h"

// The queue's device URI carries the watched folder from the printer set-up
// to the backend: every folder comes back as it went, byte for byte, and a
// URI that names no absolute folder names none.
class TestDeviceUri : public QObject {
    Q_OBJECT
  private slots:
    void folders_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("uri");
        QTest::newRow("plain") << "/home/user/PostScript/"
                               << "tarnwick:/home/user/PostScript/";
        QTest::newRow("blank and percent") << "/home/u/My 100% files/"
                                           << "tarnwick:/home/u/My%20100%25%20files/";
        QTest::newRow("query and fragment marks") << "/a?b#c/"
                                                  << "tarnwick:/a%3Fb%23c/";
        QTest::newRow("not ASCII")
            << QString::fromUtf8("/home/j\xc3\xb6rg/") << "tarnwick:/home/j%C3%B6rg/";
    }
    void folders() {
        QFETCH(QString, folder);
        QFETCH(QString, uri);
        QCOMPARE(deviceUriOfFolder(folder), uri);
        QCOMPARE(folderOfDeviceUri(uri.toLatin1()), std::optional(folder.toUtf8()));
    }

    void readings_data() {
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<std::optional<QByteArray>>("folder");
        const std::optional<QByteArray> none;
        QTest::newRow("empty host")
            << QByteArray("tarnwick:///srv/ps/") << std::optional<QByteArray>("/srv/ps/");
        QTest::newRow("bytes that are no UTF-8")
            << QByteArray("tarnwick:/a%FF/") << std::optional<QByteArray>("/a\xff/");
        QTest::newRow("other scheme") << QByteArray("file:/srv/ps/") << none;
        QTest::newRow("scheme only") << QByteArray("tarnwick:") << none;
        QTest::newRow("relative") << QByteArray("tarnwick:srv/ps/") << none;
        QTest::newRow("a host") << QByteArray("tarnwick://host/srv/") << none;
        QTest::newRow("broken escape") << QByteArray("tarnwick:/a%2") << none;
        QTest::newRow("not hex") << QByteArray("tarnwick:/a%zz/") << none;
        QTest::newRow("NUL") << QByteArray("tarnwick:/a%00b/") << none;
        QTest::newRow("a query") << QByteArray("tarnwick:/a/?x=1") << none;
    }
    void readings() {
        QFETCH(QByteArray, uri);
        QFETCH(std::optional<QByteArray>, folder);
        QCOMPARE(folderOfDeviceUri(uri), folder);
    }
};

QTEST_APPLESS_MAIN(TestDeviceUri)
#include "test_device_uri.moc"
