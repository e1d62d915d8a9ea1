#include <QTest>

#include "common/command_split.h"

class TestCommandSplit : public QObject {
    Q_OBJECT

  private slots:
    void splits_data();
    void splits();
    void triesCandidatesShortestFirst();
};

// Each row names the files that exist; every other path is taken as missing.
void TestCommandSplit::splits_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");

    const QStringList none;

    QTest::newRow("converter call with blanks in the program")
        << QStringLiteral(
               "/opt/my gs/bin/gs -q -dNOPAUSE  -dBATCH -sDEVICE=pdfwrite "
               "-sOutputFile=\"/in/Temp_Stay_off\" \"/moved/Report.ps\"")
        << QStringList{"/opt/my gs/bin/gs"} << QStringLiteral("/opt/my gs/bin/gs")
        << QStringList{"-q",
                       "-dNOPAUSE",
                       "-dBATCH",
                       "-sDEVICE=pdfwrite",
                       "-sOutputFile=/in/Temp_Stay_off",
                       "/moved/Report.ps"};

    QTest::newRow("quoted program")
        << QStringLiteral("\"/opt/my gs/bin/gs\" -q \"a b\"") << none
        << QStringLiteral("/opt/my gs/bin/gs") << QStringList{"-q", "a b"};
    QTest::newRow("quoted program after leading blanks")
        << QStringLiteral(" \t \"/x/gs\"   -q") << none << QStringLiteral("/x/gs")
        << QStringList{"-q"};
    QTest::newRow("quoted program ignores existing files")
        << QStringLiteral("\"/opt/my\" gs -q") << QStringList{"/opt/my gs"}
        << QStringLiteral("/opt/my") << QStringList{"gs", "-q"};
    QTest::newRow("quoted program without closing quote")
        << QStringLiteral("\"/opt/my gs -q") << none << QStringLiteral("/opt/my gs -q")
        << QStringList{};
    QTest::newRow("text right after the quoted program")
        << QStringLiteral("\"/x/gs\"-q -r") << none << QStringLiteral("/x/gs")
        << QStringList{"-q", "-r"};

    QTest::newRow("shorter of two existing prefixes wins")
        << QStringLiteral("/opt/a b c -q") << QStringList{"/opt/a b c", "/opt/a b"}
        << QStringLiteral("/opt/a b") << QStringList{"c", "-q"};
    QTest::newRow("longer prefix when only it exists")
        << QStringLiteral("/opt/a b c -q") << QStringList{"/opt/a b c"}
        << QStringLiteral("/opt/a b c") << QStringList{"-q"};
    QTest::newRow("whole line names the program")
        << QStringLiteral("/opt/my prog") << QStringList{"/opt/my prog"}
        << QStringLiteral("/opt/my prog") << QStringList{};
    QTest::newRow("run of blanks inside the program")
        << QStringLiteral("/opt/a  b -q") << QStringList{"/opt/a  b"} << QStringLiteral("/opt/a  b")
        << QStringList{"-q"};
    QTest::newRow("tab inside the program")
        << QStringLiteral("/opt/a\tb -q") << QStringList{"/opt/a\tb"} << QStringLiteral("/opt/a\tb")
        << QStringList{"-q"};
    QTest::newRow("no prefix exists: first token")
        << QStringLiteral("/opt/my gs/bin/gs -q") << none << QStringLiteral("/opt/my")
        << QStringList{"gs/bin/gs", "-q"};
    QTest::newRow("program found on the search path")
        << QStringLiteral("  gs -dBATCH") << none << QStringLiteral("gs") << QStringList{"-dBATCH"};

    QTest::newRow("empty quotes after a switch")
        << QStringLiteral("gs -sOwnerPassword=\"\" -q") << none << QStringLiteral("gs")
        << QStringList{"-sOwnerPassword=", "-q"};
    QTest::newRow("lone empty quotes")
        << QStringLiteral("gs \"\" x") << none << QStringLiteral("gs") << QStringList{"", "x"};
    QTest::newRow("empty quotes at the end")
        << QStringLiteral("gs x \"\"") << none << QStringLiteral("gs") << QStringList{"x", ""};
    QTest::newRow("runs of blanks and tabs") << QStringLiteral("gs   a \t  b\t\t c   ") << none
                                             << QStringLiteral("gs") << QStringList{"a", "b", "c"};
    QTest::newRow("quotes in the middle of an argument")
        << QStringLiteral("gs -sOutputFile=\"/in/x y\".pdf a\"b c\"d") << none
        << QStringLiteral("gs") << QStringList{"-sOutputFile=/in/x y.pdf", "ab cd"};
    QTest::newRow("quoted blanks only")
        << QStringLiteral("gs \"  \"") << none << QStringLiteral("gs") << QStringList{"  "};
    QTest::newRow("trailing unmatched quote groups to the end")
        << QStringLiteral("gs -q \"/in/x  y") << none << QStringLiteral("gs")
        << QStringList{"-q", "/in/x  y"};
    QTest::newRow("lone trailing quote")
        << QStringLiteral("gs -q \"") << none << QStringLiteral("gs") << QStringList{"-q", ""};
    QTest::newRow("backslashes are ordinary")
        << QStringLiteral("gs C:\\dir\\x.ps \"a\\\" b\\\\") << none << QStringLiteral("gs")
        << QStringList{"C:\\dir\\x.ps", "a\\", "b\\\\"};

    QTest::newRow("empty line") << QString() << none << QString() << QStringList{};
    QTest::newRow("blanks only") << QStringLiteral(" \t  ") << none << QString() << QStringList{};
}

void TestCommandSplit::splits() {
    QFETCH(QString, line);
    QFETCH(QStringList, files);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);

    const SplitCommand split =
        splitCommandLine(line, [&files](const QString& path) { return files.contains(path); });

    QCOMPARE(split.program, program);
    QCOMPARE(split.arguments, arguments);
}

// The search stops at the first existing prefix and asks nothing beyond it;
// each candidate ends right before a run of blanks.
void TestCommandSplit::triesCandidatesShortestFirst() {
    QStringList asked;
    const SplitCommand split =
        splitCommandLine(QStringLiteral("  /a b  c d -q"), [&asked](const QString& path) {
            asked.append(path);
            return path == QLatin1String("/a b  c");
        });

    QCOMPARE(asked, (QStringList{"/a", "/a b", "/a b  c"}));
    QCOMPARE(split.program, QStringLiteral("/a b  c"));
    QCOMPARE(split.arguments, (QStringList{"d", "-q"}));
}

QTEST_APPLESS_MAIN(TestCommandSplit)
#include "test_command_split.moc"
