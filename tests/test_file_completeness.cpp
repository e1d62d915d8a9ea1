#include <QTest>

#include "common/file_completeness.h"

class TestFileCompleteness : public QObject {
    Q_OBJECT
  private slots:
    void wholePdf_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<bool>("whole");
        QTest::newRow("trailer and end mark")
            << QByteArray("trailer\nstartxref\n9\n%%EOF\n") << true;
        QTest::newRow("CR LF after the mark") << QByteArray("startxref\r\n9\r\n%%EOF\r\n") << true;
        QTest::newRow("cut inside the trailer") << QByteArray("trailer\n<< /Size 9") << false;
        QTest::newRow("end mark without pointer") << QByteArray("endobj\n%%EOF\n") << false;
        QTest::newRow("more after the end mark")
            << QByteArray("startxref\n9\n%%EOF\n1 0 obj") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void wholePdf() {
        QFETCH(QByteArray, tail);
        QFETCH(bool, whole);
        QCOMPARE(isWholePdf(tail), whole);
    }

    // Whatever its first line says, a file is unfinished until it ends with
    // its end mark (white space and Ctrl-D after it allowed).
    void unfinishedPostScript_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("unfinished");
        QTest::newRow("conforming, no end mark yet")
            << QByteArray("%!PS-Adobe-3.0\n%%Page: 1 1\n") << true;
        QTest::newRow("conforming, ended")
            << QByteArray("%!PS-Adobe-3.0\nshowpage\n%%EOF\n") << false;
        QTest::newRow("ended, then Ctrl-D")
            << QByteArray("\x04%!PS-Adobe-2.0\n%%EOF\r\n\x04") << false;
        QTest::newRow("plain PostScript, no end mark") << QByteArray("%!PS\nshowpage\n") << true;
        QTest::newRow("plain PostScript, ended") << QByteArray("%!PS\nshowpage\n%%EOF") << false;
        QTest::newRow("end mark inside, more after it")
            << QByteArray("%!PS\n%%EOF\nshowpage\n") << true;
    }
    void unfinishedPostScript() {
        QFETCH(QByteArray, file);
        QFETCH(bool, unfinished);
        QCOMPARE(isUnfinishedPostScript(file.right(kCompletenessTailBytes)), unfinished);
    }
};

QTEST_APPLESS_MAIN(TestFileCompleteness)
#include "test_file_completeness.moc"
