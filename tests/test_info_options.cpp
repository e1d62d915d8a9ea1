#include <QTest>

#include "shell/info_options.h"

// Only --help and --version, each alone, are answered with a text; every other
// command line (the start-up's own: d, a file, anything) starts the program.
class TestInfoOptions : public QObject {
    Q_OBJECT
  private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("help") << QStringList{"--help"}
                              << "Usage: tarnwick [d | FILE | --help | --version]";
        QTest::newRow("version") << QStringList{"--version"} << "TarnWick " TARNWICK_VERSION;
        QTest::newRow("nothing") << QStringList{} << QString();
        QTest::newRow("distiller on") << QStringList{"d"} << QString();
        QTest::newRow("a file") << QStringList{"/tmp/report.ps"} << QString();
        QTest::newRow("a file named like the option") << QStringList{"./--version"} << QString();
        QTest::newRow("with more arguments") << QStringList{"--help", "d"} << QString();
        QTest::newRow("other spelling") << QStringList{"--Version"} << QString();
    }
    void answers() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        const std::optional<QString> text = infoOptionText(arguments);
        QCOMPARE(text.has_value(), !firstLine.isEmpty());
        if (text) {
            QCOMPARE(text->section(QLatin1Char('\n'), 0, 0), firstLine);
        }
    }
};

QTEST_APPLESS_MAIN(TestInfoOptions)
#include "test_info_options.moc"
