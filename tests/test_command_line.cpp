#include <QTest>

#include "app/command_line.h"

using Kind = CommandLine::Kind;

// The one reading of the program's arguments: which of its uses they ask
// for, and what each use is given.
class TestCommandLine : public QObject {
    Q_OBJECT

  private slots:
    void kinds_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files");  // what exists; nothing else does
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail");  // the printer name, or part of the complaint
        QTest::addColumn<int>("exitCode");
        const QStringList none;
        auto row = [](const char* name, const QStringList& arguments, const QStringList& files,
                      Kind kind, const QString& detail = {}, int exitCode = 0) {
            QTest::newRow(name) << arguments << files << int(kind) << detail << exitCode;
        };
        row("nothing", {}, none, Kind::Start);
        row("help", {"--help"}, none, Kind::Help);
        row("version", {"--version"}, none, Kind::Version);
        row("service", {"--service"}, none, Kind::Service);
        row("an option beside another word", {"--help", "d"}, none, Kind::Wrong, "stands alone", 2);
        row("an unknown option", {"--Version"}, none, Kind::Wrong, "unknown option --Version", 2);
        row("unknown among words", {"/tmp/a.ps", "-x"}, none, Kind::Wrong, "unknown option -x", 2);
        row("an existing file named like an option", {"-x.ps"}, {"-x.ps"}, Kind::Start);
        row("a file named like an option, in pieces", {"/tmp/a", "-b.ps"}, {"/tmp/a -b.ps"},
            Kind::Start);
        row("a file path like the option", {"./--version"}, none, Kind::Start);
        row("add, default name", {"--add-printer"}, none, Kind::Printer, "TarnWick");
        row("remove, own name", {"--remove-printer", "PDF_2"}, none, Kind::Printer, "PDF_2");
        row("two names", {"--add-printer", "a", "b"}, none, Kind::Wrong, "one printer name", 1);
        row("blank in the name", {"--add-printer", "my pdf"}, none, Kind::Wrong,
            "not a printer name", 1);
        row("not ASCII", {"--add-printer", "Dr\u00fccker"}, none, Kind::Wrong, "not a printer name",
            1);
        row("an option for a name", {"--add-printer", "--help"}, none, Kind::Wrong,
            "not a printer name", 1);
        row("too long", {"--add-printer", QString(128, u'x')}, none, Kind::Wrong,
            "not a printer name", 1);
        row("a file to convert", {"--add-printer.ps"}, {"--add-printer.ps"}, Kind::Start);
    }
    void kinds() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QFETCH(int, kind);
        QFETCH(QString, detail);
        QFETCH(int, exitCode);
        const CommandLine command = parseCommandLine(
            arguments, [&files](const QString& path) { return files.contains(path); });
        QCOMPARE(int(command.kind), kind);
        if (command.kind == Kind::Printer) {
            QCOMPARE(command.printer.name, detail);
        }
        if (command.kind == Kind::Wrong) {
            QCOMPARE(command.exitCode, exitCode);
            QVERIFY2(
                command.complaint.startsWith("tarnwick: ") && command.complaint.contains(detail),
                qPrintable(command.complaint));
            // A usage error shows how the program is used; a bad printer name does not.
            QCOMPARE(command.complaint.contains(usageText()), exitCode == 2);
        }
    }

    void startRequests_data() {
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
    void startRequests() {
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

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
