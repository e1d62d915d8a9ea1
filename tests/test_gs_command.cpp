#include <QTest>

#include "engine/gs_command.h"

namespace {

const QString kGs = QStringLiteral("C:\\gs\\bin\\gswin32.exe");
const QString kTemp = QStringLiteral("C:\\In\\Temp_Stay_off");

}  // namespace

class TestGsCommand : public QObject {
    Q_OBJECT
  private slots:
    void workedExampleAllOff() {
        ConversionOptions options;
        options.gsPath = kGs;
        QCOMPARE(
            gsCommandLine(options, std::nullopt, kTemp, QStringLiteral("C:\\Moved\\Report.ps")),
            QStringLiteral("C:\\gs\\bin\\gswin32.exe -q -dNOPAUSE  -dBATCH -sDEVICE=pdfwrite "
                           "-sOutputFile=\"C:\\In\\Temp_Stay_off\" \"C:\\Moved\\Report.ps\""));
    }

    void workedExampleBoundingBox() {
        ConversionOptions options;
        options.gsPath = kGs;
        options.goodPictures = true;
        options.useBoundingBox = true;
        options.qualityPreset = QStringLiteral("-dPDFSETTINGS=/ebook ");
        QCOMPARE(gsCommandLine(options, PageSize{6120, 7920}, kTemp,
                               QStringLiteral("C:\\Moved\\Plot.eps")),
                 QStringLiteral("C:\\gs\\bin\\gswin32.exe -q -dNOPAUSE -dEPSCrop  "
                                "-dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode "
                                "-dPDFSETTINGS=/ebook  -dBATCH -sDEVICE=pdfwrite  -g6120x7920 "
                                "-sOutputFile=\"C:\\In\\Temp_Stay_off\" \"C:\\Moved\\Plot.eps\""));
    }

    void pieces_data() {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("gsPath");
        QTest::addColumn<QString>("expectedStart");
        QTest::newRow("encryption, empty passwords")
            << true << ""
            << ""
            << "/usr/bin/gs"
            << "/usr/bin/gs -q -dNOPAUSE  -sOwnerPassword=\"\" -sUserPassword=\"\" "
               "-dEncryptionR=2 -dKeylength=40  -dBATCH";
        QTest::newRow("encryption, passwords unchanged")
            << true << "o w\"n"
            << "us;er"
            << "/usr/bin/gs"
            << "/usr/bin/gs -q -dNOPAUSE  -sOwnerPassword=\"o w\"n\" -sUserPassword=\"us;er\" "
               "-dEncryptionR=2 -dKeylength=40  -dBATCH";
        QTest::newRow("path with blanks unquoted, trimmed")
            << false << ""
            << ""
            << "  /opt/my gs/gs  "
            << "/opt/my gs/gs -q -dNOPAUSE  -dBATCH";
    }
    void pieces() {
        QFETCH(bool, encrypt);
        QFETCH(QString, owner);
        QFETCH(QString, user);
        QFETCH(QString, gsPath);
        QFETCH(QString, expectedStart);
        ConversionOptions options;
        options.gsPath = gsPath;
        options.encrypt = encrypt;
        options.ownerPassword = owner;
        options.userPassword = user;
        const QString line = gsCommandLine(
            options, std::nullopt, QStringLiteral("/w/Temp_Stay_off"), QStringLiteral("/m/a.ps"));
        QVERIFY2(line.startsWith(expectedStart), qPrintable(line));
        QVERIFY(line.endsWith(QStringLiteral(" -sOutputFile=\"/w/Temp_Stay_off\" \"/m/a.ps\"")));
    }

    void noBoundingBoxMeansNoCropOrSize() {
        ConversionOptions options;
        options.gsPath = QStringLiteral("gs");
        options.useBoundingBox = true;
        const QString line = gsCommandLine(options, std::nullopt, kTemp, QStringLiteral("x.ps"));
        QVERIFY(!line.contains(QStringLiteral("-dEPSCrop")));
        QVERIFY(!line.contains(QStringLiteral("-g")));
    }

    void negativeSize() {
        ConversionOptions options;
        options.gsPath = QStringLiteral("gs");
        const QString line = gsCommandLine(options, PageSize{-100, 50}, kTemp, QStringLiteral("x"));
        QVERIFY(line.contains(QStringLiteral(" -g-100x50 -sOutputFile=")));
    }
};

QTEST_APPLESS_MAIN(TestGsCommand)
#include "test_gs_command.moc"
