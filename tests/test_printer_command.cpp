#include <QTest>

#include "app/printer_command.h"
#include "platform/print_queue_admin.h"

namespace {

// A printing system that holds one queue (or none) and answers every
// administration step as scripted; it records the steps asked of it.
class FakeAdmin : public PrintQueueAdmin {
  public:
    std::optional<QString> device;  // the device of the queue asked about
    Outcome answer{Result::Done, {}};
    QStringList steps;

    std::optional<QString> queueDevice(const QString&) override { return device; }
    Outcome addQueue(const QString& name, const QString& deviceUri) override {
        steps << QStringLiteral("add %1 %2").arg(name, deviceUri);
        return answer;
    }
    Outcome removeQueue(const QString& name) override {
        steps << QStringLiteral("remove %1").arg(name);
        return answer;
    }
    QString addQueueCommand(const QString& name, const QString& deviceUri) const override {
        return QStringLiteral("lpadmin -p %1 -v %2").arg(name, deviceUri);
    }
    QString removeQueueCommand(const QString& name) const override {
        return QStringLiteral("lpadmin -x %1").arg(name);
    }
};

using Result = PrintQueueAdmin::Result;

}  // namespace

// tarnwick --add-printer and --remove-printer: what they take, what they
// ask of the printing system, and what they say on which stream.
class TestPrinterCommand : public QObject {
    Q_OBJECT
  private slots:
    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("isPrinterCommand");
        QTest::addColumn<QString>("name");  // empty: refused as a bad argument
        QTest::newRow("add, default name") << QStringList{"--add-printer"} << true << "TarnWick";
        QTest::newRow("remove, default name")
            << QStringList{"--remove-printer"} << true << "TarnWick";
        QTest::newRow("add, own name") << QStringList{"--add-printer", "PDF_2"} << true << "PDF_2";
        QTest::newRow("two names") << QStringList{"--add-printer", "a", "b"} << true << "";
        QTest::newRow("blank in the name") << QStringList{"--add-printer", "my pdf"} << true << "";
        QTest::newRow("slash in the name") << QStringList{"--remove-printer", "a/b"} << true << "";
        QTest::newRow("not ASCII") << QStringList{"--add-printer", "Dr\u00fccker"} << true << "";
        QTest::newRow("an option for a name")
            << QStringList{"--add-printer", "--help"} << true << "";
        QTest::newRow("too long") << QStringList{"--add-printer", QString(128, u'x')} << true << "";
        QTest::newRow("a file to convert") << QStringList{"--add-printer.ps"} << false << "";
        QTest::newRow("the distiller on") << QStringList{"d"} << false << "";
        QTest::newRow("nothing") << QStringList{} << false << "";
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, isPrinterCommand);
        QFETCH(QString, name);
        const auto parsed = parsePrinterOption(arguments);
        QCOMPARE(parsed.has_value(), isPrinterCommand);
        if (!parsed) {
            return;
        }
        if (name.isEmpty()) {
            const auto* refused = std::get_if<PrinterCommandResult>(&*parsed);
            QVERIFY(refused);
            QCOMPARE(refused->exitCode, 1);
            QVERIFY(refused->out.isEmpty());
            QVERIFY(refused->err.startsWith(QLatin1String("tarnwick: ")));
        } else {
            QCOMPARE(std::get<PrinterOption>(*parsed).name, name);
        }
    }

    void commands_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<std::optional<QString>>("device");
        QTest::addColumn<int>("answer");  // PrintQueueAdmin::Result
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");  // a part of what it says there
        QTest::addColumn<QString>("err");

        const QString folder = QStringLiteral("/home/u/Post Script/");
        const QString uri = QStringLiteral("tarnwick:/home/u/Post%20Script/");
        const std::optional<QString> none;
        const std::optional<QString> ours = QStringLiteral("tarnwick:/home/u/old/");
        const std::optional<QString> foreign = QStringLiteral("ipp://printer.local/ipp/print");
        const int done = int(Result::Done), denied = int(Result::Denied),
                  failed = int(Result::Failed);

        QTest::newRow("add") << true << folder << none << done << "add TarnWick " + uri << 0
                             << "Added the printer \"TarnWick\""
                             << "";
        QTest::newRow("add names the folder")
            << true << folder << none << done << "add TarnWick " + uri << 0 << folder << "";
        QTest::newRow("add over an own queue")
            << true << folder << ours << done << "add TarnWick " + uri << 0
            << "Changed the printer \"TarnWick\" (it delivered into /home/u/old/)"
            << "";
        QTest::newRow("add refused: the administrator's command")
            << true << folder << none << denied << "add TarnWick " + uri << 1 << ""
            << "  sudo lpadmin -p TarnWick -v " + uri + "\n";
        QTest::newRow("add refused: the group")
            << true << folder << none << denied << "add TarnWick " + uri << 1 << ""
            << "join the group lpadmin (sudo adduser $USER lpadmin";
        QTest::newRow("add fails")
            << true << folder << none << failed << "add TarnWick " + uri << 1 << ""
            << "could not be added: words";
        QTest::newRow("no watched folder") << true << "" << none << done << "" << 1 << ""
                                           << "no watched folder is set";
        QTest::newRow("another printer of that name is kept")
            << true << folder << foreign << done << "" << 1 << ""
            << "it is left alone";
        QTest::newRow("remove") << false << folder << ours << done << "remove TarnWick" << 0
                                << "Removed the printer \"TarnWick\"."
                                << "";
        QTest::newRow("remove without a watched folder")
            << false << "" << ours << done << "remove TarnWick" << 0 << "Removed"
            << "";
        QTest::newRow("remove refused")
            << false << folder << ours << denied << "remove TarnWick" << 1 << ""
            << "  sudo lpadmin -x TarnWick\n";
        QTest::newRow("remove fails")
            << false << folder << none << failed << "remove TarnWick" << 1 << ""
            << "could not be removed: words";
        QTest::newRow("another printer is not removed")
            << false << folder << foreign << done << "" << 1 << ""
            << "it is left alone";
    }
    void commands() {
        QFETCH(bool, add);
        QFETCH(QString, folder);
        QFETCH(std::optional<QString>, device);
        QFETCH(int, answer);
        QFETCH(QString, step);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        FakeAdmin admin;
        admin.device = device;
        admin.answer = {Result(answer), QStringLiteral("words")};
        const PrinterOption option{add ? PrinterAction::Add : PrinterAction::Remove,
                                   QStringLiteral("TarnWick")};
        const PrinterCommandResult result = runPrinterCommand(option, folder, admin);
        QCOMPARE(admin.steps, step.isEmpty() ? QStringList() : QStringList{step});
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out.isEmpty(), out.isEmpty());
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
        QCOMPARE(result.err.isEmpty(), err.isEmpty());
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
    }
};

QTEST_APPLESS_MAIN(TestPrinterCommand)
#include "test_printer_command.moc"
