#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "ghostscript/gs_error_lines.h"

// What the real Ghostscript writes when a file fails, read back as its own
// error lines.
class TestGsErrorLines : public QObject {
    Q_OBJECT
  private slots:
    void realOutput_data() {
        QTest::addColumn<QByteArray>("postscript");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown operator")
            << QByteArray("%!PS\nnosuchoperator\nshowpage\n") << "undefined: nosuchoperator";
        QTest::newRow("unbalanced string") << QByteArray("%!PS\n(never closed\n") << "syntaxerror";
        QTest::newRow("stack underflow") << QByteArray("%!PS\npop\n") << "stackunderflow: pop";
        QTest::newRow("a good file says nothing")
            << QByteArray("%!PS\nnewpath 0 0 moveto 10 10 lineto stroke showpage\n") << QString();
    }
    void realOutput() {
        QFETCH(QByteArray, postscript);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("in.ps")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(postscript);
        file.close();
        QProcess gs;
        gs.setProcessChannelMode(QProcess::MergedChannels);
        gs.start(QStringLiteral("gs"),
                 {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                  QStringLiteral("-sDEVICE=pdfwrite"),
                  QStringLiteral("-sOutputFile=") + dir.filePath(QStringLiteral("out.pdf")),
                  file.fileName()},
                 QIODevice::ReadOnly);
        QVERIFY(gs.waitForFinished());
        const QStringList lines = gsErrorLines(gs.readAll());
        if (expected.isEmpty()) {
            QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('|'))));
        } else {
            QVERIFY2(!lines.isEmpty() && lines.first() == expected,
                     qPrintable(lines.join(QLatin1Char('|'))));
            QVERIFY(lines.size() <= 3);
        }
    }
};

QTEST_GUILESS_MAIN(TestGsErrorLines)
#include "test_gs_error_lines.moc"
