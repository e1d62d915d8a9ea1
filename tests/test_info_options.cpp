#include <QTest>

#include "app/info_options.h"

// Only --help and --version, each alone, are answered with a text (what they
// print is checked on the packaged program); every other command line starts
// the program as before.
class TestInfoOptions : public QObject {
    Q_OBJECT
  private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("answered");
        QTest::newRow("help") << QStringList{"--help"} << true;
        QTest::newRow("version") << QStringList{"--version"} << true;
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("distiller on") << QStringList{"d"} << false;
        QTest::newRow("a file named like the option") << QStringList{"./--version"} << false;
        QTest::newRow("with more arguments") << QStringList{"--help", "d"} << false;
        QTest::newRow("other spelling") << QStringList{"--Version"} << false;
    }
    void answers() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, answered);
        QCOMPARE(infoOptionText(arguments).has_value(), answered);
    }
};

QTEST_APPLESS_MAIN(TestInfoOptions)
#include "test_info_options.moc"
