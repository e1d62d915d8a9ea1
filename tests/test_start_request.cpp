#include <QTest>

#include "app/start_request.h"

class TestStartRequest : public QObject {
    Q_OBJECT

  private slots:
    void commandLines_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("distill");
        QTest::addColumn<QString>("source");  // empty: no single-file run
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pdf");
        QTest::newRow("empty") << "" << false << ""
                               << ""
                               << "";
        QTest::newRow("d") << "d" << true << ""
                           << ""
                           << "";
        QTest::newRow("D") << "D" << true << ""
                           << ""
                           << "";
        QTest::newRow("d with a blank") << "d " << false << ""
                                        << ""
                                        << "";
        QTest::newRow("quoted, capital extension")
            << "\"/home/a b/Report.PS\"" << false << "/home/a b/Report.PS"
            << "/home/a b/"
            << "/home/a b/Report.pdf";
        QTest::newRow("no folder") << "x.prn" << false << "x.prn"
                                   << ""
                                   << "x.pdf";
        QTest::newRow("dots in the folder") << "/v1.2/pic.eps" << false << "/v1.2/pic.eps"
                                            << "/v1.2/"
                                            << "/v1.2/pic.pdf";
        QTest::newRow("other extension") << "/tmp/a.pdf" << false << ""
                                         << ""
                                         << "";
        QTest::newRow("one quote alone") << "\"" << false << ""
                                         << ""
                                         << "";
        QTest::newRow("quote at one end only") << "\"/tmp/a.ps" << false << "\"/tmp/a.ps"
                                               << "\"/tmp/"
                                               << "\"/tmp/a.pdf";
    }
    void commandLines() {
        QFETCH(QString, commandLine);
        QFETCH(bool, distill);
        QFETCH(QString, source);
        QFETCH(QString, folder);
        QFETCH(QString, pdf);
        const StartRequest request = interpretCommandLine(commandLine);
        QCOMPARE(request.distill, distill);
        QCOMPARE(request.singleFile.has_value(), !source.isEmpty());
        if (request.singleFile) {
            QCOMPARE(request.singleFile->sourcePath, source);
            QCOMPARE(request.singleFile->folder, folder);
            QCOMPARE(request.singleFile->folder + request.singleFile->fileName, source);
            QCOMPARE(request.singleFile->pdfPath, pdf);
        }
    }

    void secondInstanceMessages() {
        QCOMPARE(secondInstanceMessage(QStringLiteral("  ")),
                 QStringLiteral("There is allready an instance of TarnWick running, quitting now"));
        QCOMPARE(secondInstanceMessage(QStringLiteral("d")),
                 QStringLiteral("There is allready an instance of TarnWick running in distiller "
                                "mode, quitting now"));
    }
};

QTEST_MAIN(TestStartRequest)
#include "test_start_request.moc"
