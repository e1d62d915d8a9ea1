#include <QTest>

#include "distill/file_type.h"

class TestFileType : public QObject {
    Q_OBJECT
  private slots:
    void postScriptNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("qualifies");
        QTest::addColumn<QString>("base");
        QTest::newRow("ps") << "report.ps" << true << "report";
        QTest::newRow("PS capitals keep the base's case") << "Report.PS" << true << "Report";
        QTest::newRow("eps capitals") << "c.EPS" << true << "c";
        QTest::newRow("plt") << "drawing.plt" << true << "drawing";
        QTest::newRow("prn") << "page.prn" << true << "page";
        QTest::newRow("no dot, three letters count") << "steps" << true << "s";
        QTest::newRow("three-letter name keeps itself") << "eps" << true << "eps";
        QTest::newRow("name with nothing left keeps itself") << "xprn" << true << "xprn";
        QTest::newRow("text file") << "b.txt" << false << "";
        QTest::newRow("pdf") << "a.pdf" << false << "";
        QTest::newRow("temporary file") << "Temp_Stay_off" << false << "";
        QTest::newRow("postscript in the middle") << "a.ps.bak" << false << "";
        QTest::newRow("two characters") << "ps" << false << "";
    }
    void postScriptNames() {
        QFETCH(QString, name);
        QFETCH(bool, qualifies);
        QFETCH(QString, base);
        QCOMPARE(isPostScriptName(name), qualifies);
        if (qualifies) {
            QCOMPARE(pdfBaseName(name), base);
        }
    }
};

QTEST_APPLESS_MAIN(TestFileType)
#include "test_file_type.moc"
