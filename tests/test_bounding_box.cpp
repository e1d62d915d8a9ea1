#include <QTest>

#include "ghostscript/bounding_box.h"

class TestBoundingBox : public QObject {
    Q_OBJECT
  private slots:
    void scan_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");

        const QByteArray filler(4990, 'x');
        QTest::newRow("first line, CR LF") << QByteArray("%%BoundingBox: 0 0 612 792\r\n%%EOF\r\n")
                                           << false << true << 6120 << 7920;
        QTest::newRow("lone LF") << QByteArray("%!PS\n%%BoundingBox: 10 20 300 400\n") << false
                                 << true << 3100 << 4200;
        QTest::newRow("atend passed over, page box taken")
            << QByteArray("%!PS\r\n%%BoundingBox: (atend)\r\n%%PageBoundingBox: 0 0 595 842\r\n")
            << false << true << 5950 << 8420;
        QTest::newRow("lower-case keyword")
            << QByteArray("%%boundingbox: 0 0 100 200\n") << false << true << 1000 << 2000;
        QTest::newRow("two blanks before the keyword")
            << QByteArray("  %%BoundingBox: 0 0 612 792\n") << false << false << 0 << 0;
        QTest::newRow("no line end")
            << QByteArray("%%BoundingBox: 0 0 612 792") << false << false << 0 << 0;
        QTest::newRow("line end after byte 5000")
            << QByteArray(filler + "\n%%BoundingBox: 0 0 612 792\n") << false << false << 0 << 0;
        QTest::newRow("ImageMatrix after the box")
            << QByteArray("%%BoundingBox: 0 0 612 792\n/ImageMatrix [1 0 0 1 0 0]\n") << false
            << false << 0 << 0;
        QTest::newRow("imagematrix before the box, any case")
            << QByteArray("/IMAGEMATRIX [1 0 0 1 0 0]\n%%BoundingBox: 0 0 612 792\n") << false
            << false << 0 << 0;
        QTest::newRow("first box wins")
            << QByteArray("%%BoundingBox: 0 0 10 10\n%%BoundingBox: 0 0 612 792\n") << false << true
            << 100 << 100;
        QTest::newRow("halves round to even")
            << QByteArray("%%BoundingBox: 0.5 1.5 612.5 791.5\n") << false << true << 6120 << 7940;
        QTest::newRow("negative corner adds")
            << QByteArray("%%BoundingBox: -10 -20 300 400\n") << false << true << 2900 << 3800;
        QTest::newRow("long line, keyword inside the first 100")
            << QByteArray(QByteArray(60, ' ') + "%%BoundingBox: 0 0 612 792" + QByteArray(40, ' ') +
                          "\n")
            << false << true << 6120 << 7920;
        QTest::newRow("long line, keyword after place 100")
            << QByteArray(QByteArray(101, ' ') + "%%BoundingBox: 0 0 612 792\n") << false << false
            << 0 << 0;
        QTest::newRow("two blanks between numbers fails")
            << QByteArray("%%BoundingBox: 0  0 612 792\n") << true << false << 0 << 0;
        QTest::newRow("tab fails")
            << QByteArray("%%BoundingBox: 0\t0 612 792\n") << true << false << 0 << 0;
        QTest::newRow("fifth word fails")
            << QByteArray("%%BoundingBox: 0 0 612 792 9\n") << true << false << 0 << 0;
        QTest::newRow("word instead of number fails")
            << QByteArray("%%BoundingBox: 0 zero 612 792\n") << true << false << 0 << 0;
        QTest::newRow("too few numbers fails")
            << QByteArray("%%BoundingBox: 0 612 792\n") << true << false << 0 << 0;
        QTest::newRow("overflowing size fails")
            << QByteArray("%%BoundingBox: 0 0 999999999 792\n") << true << false << 0 << 0;
    }
    void scan() {
        QFETCH(QByteArray, head);
        QFETCH(bool, failed);
        QFETCH(bool, found);
        QFETCH(int, width);
        QFETCH(int, height);
        const BoundingBoxScan result = scanBoundingBox(head);
        QCOMPARE(result.failed, failed);
        QCOMPARE(result.found, found);
        if (found) {
            QCOMPARE(result.size.width, width);
            QCOMPARE(result.size.height, height);
        }
    }

    // Byte 5000 is the last one looked at: a line ending exactly there counts.
    void lineEndingAtByte5000() {
        QByteArray head("%%BoundingBox: 0 0 612 792");
        head = QByteArray(5000 - head.size() - 2, 'x') + "\n" + head + "\n";
        QCOMPARE(head.size(), 5000);
        QVERIFY(scanBoundingBox(head).found);
        QVERIFY(!scanBoundingBox(QByteArray(" ") + head).found);
    }
};

QTEST_APPLESS_MAIN(TestBoundingBox)
#include "test_bounding_box.moc"
