#include <QTest>

#include "ghostscript/gs_command.h"

namespace {

const QString kTemp = QStringLiteral("/In/Temp_Stay_off");

}  // namespace

class TestGsCommand : public QObject {
    Q_OBJECT
  private slots:
    void allOptionsOff() {
        ConversionOptions options;
        options.gsPath = QStringLiteral("/usr/bin/gs");
        const GsCommand command =
            gsCommand(options, std::nullopt, kTemp, QStringLiteral("/Moved/Report.ps"));
        QCOMPARE(command.program, QStringLiteral("/usr/bin/gs"));
        QCOMPARE(command.arguments,
                 QStringList({"-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                              "-sOutputFile=/In/Temp_Stay_off", "/Moved/Report.ps"}));
    }

    void boundingBoxPicturesAndPreset() {
        ConversionOptions options;
        options.gsPath = QStringLiteral("/usr/bin/gs");
        options.goodPictures = true;
        options.quality = 3;  // E-book
        QCOMPARE(gsCommand(options, PageSize{6120, 7920}, kTemp, QStringLiteral("/Moved/Plot.eps"))
                     .arguments,
                 QStringList({"-q", "-dNOPAUSE", "-dEPSCrop", "-dAutoFilterColorImages=false",
                              "-dColorImageFilter=/FlateEncode", "-dPDFSETTINGS=/ebook", "-dBATCH",
                              "-sDEVICE=pdfwrite", "-g6120x7920", "-sOutputFile=/In/Temp_Stay_off",
                              "/Moved/Plot.eps"}));
    }

    // Whatever a path or a password holds stays inside its own argument.
    void valuesStayWhole_data() {
        QTest::addColumn<QString>("gsPath");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("expectedProgram");
        QTest::addColumn<QStringList>("expectedArguments");
        QTest::newRow("empty passwords") << "/usr/bin/gs"
                                         << ""
                                         << "/m/a.ps"
                                         << "/w/T"
                                         << "/usr/bin/gs"
                                         << QStringList{"-q",
                                                        "-dNOPAUSE",
                                                        "-sOwnerPassword=",
                                                        "-sUserPassword=",
                                                        "-dEncryptionR=2",
                                                        "-dKeylength=40",
                                                        "-dBATCH",
                                                        "-sDEVICE=pdfwrite",
                                                        "-sOutputFile=/w/T",
                                                        "/m/a.ps"};
        QTest::newRow("quotes and switches in a name and a password")
            << "  /opt/my gs/gs  "
            << "o w\"n -c quit"
            << "/m/say \"hi\" -c \"x\".ps"
            << "/w/100%d/T"
            << "/opt/my gs/gs"
            << QStringList{"-q",
                           "-dNOPAUSE",
                           "-sOwnerPassword=o w\"n -c quit",
                           "-sUserPassword=",
                           "-dEncryptionR=2",
                           "-dKeylength=40",
                           "-dBATCH",
                           "-sDEVICE=pdfwrite",
                           "-sOutputFile=/w/100%%d/T",
                           "/m/say \"hi\" -c \"x\".ps"};
    }
    void valuesStayWhole() {
        QFETCH(QString, gsPath);
        QFETCH(QString, owner);
        QFETCH(QString, input);
        QFETCH(QString, temp);
        QFETCH(QString, expectedProgram);
        QFETCH(QStringList, expectedArguments);
        ConversionOptions options;
        options.gsPath = gsPath;
        options.encrypt = true;
        options.ownerPassword = owner;
        const GsCommand command = gsCommand(options, std::nullopt, temp, input);
        QCOMPARE(command.program, expectedProgram);
        QCOMPARE(command.arguments, expectedArguments);
    }

    void negativeSize() {
        const GsCommand command =
            gsCommand(ConversionOptions{}, PageSize{-100, 50}, kTemp, QStringLiteral("x"));
        QVERIFY(command.arguments.contains(QStringLiteral("-g-100x50")));
    }
};

QTEST_APPLESS_MAIN(TestGsCommand)
#include "test_gs_command.moc"
