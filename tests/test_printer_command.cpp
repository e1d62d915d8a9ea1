#include <QTest>

#include "printing/print_queue_admin.h"
#include "printing/printer_command.h"

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

// tarnwick --add-printer and --remove-printer: what they ask of the printing
// system, and what they say on which stream.
class TestPrinterCommand : public QObject {
    Q_OBJECT
  private slots:
    void commands_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<std::optional<QString>>("device");
        QTest::addColumn<int>("answer");  // PrintQueueAdmin::Result
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("out");  // parts of what it says there
        QTest::addColumn<QStringList>("err");

        const QString folder = QStringLiteral("/home/u/Post Script/");
        const QString uri = QStringLiteral("tarnwick:/home/u/Post%20Script/");
        const QString add = "add TarnWick " + uri;
        const QString remove = QStringLiteral("remove TarnWick");
        const std::optional<QString> none;
        const std::optional<QString> ours = QStringLiteral("tarnwick:/home/u/old/");
        const std::optional<QString> foreign = QStringLiteral("ipp://printer.local/ipp/print");
        const int done = int(Result::Done), denied = int(Result::Denied),
                  failed = int(Result::Failed);
        const QStringList nothing;

        QTest::newRow("add") << true << folder << none << done << add << 0
                             << QStringList{"Added the printer \"TarnWick\"", folder} << nothing;
        QTest::newRow("add over an own queue")
            << true << folder << ours << done << add << 0
            << QStringList{"Changed the printer \"TarnWick\" (it delivered into /home/u/old/)"}
            << nothing;
        QTest::newRow("add refused") << true << folder << none << denied << add << 1 << nothing
                                     << QStringList{"  sudo lpadmin -p TarnWick -v " + uri + "\n",
                                                    "join the group lpadmin (sudo adduser $USER "
                                                    "lpadmin"};
        QTest::newRow("add fails") << true << folder << none << failed << add << 1 << nothing
                                   << QStringList{"could not be added: words"};
        QTest::newRow("no watched folder") << true << "" << none << done << "" << 1 << nothing
                                           << QStringList{"no watched folder is set"};
        QTest::newRow("another printer of that name is kept")
            << true << folder << foreign << done << "" << 1 << nothing
            << QStringList{"it is left alone"};
        QTest::newRow("remove") << false << folder << ours << done << remove << 0
                                << QStringList{"Removed the printer \"TarnWick\"."} << nothing;
        QTest::newRow("remove without a watched folder")
            << false << "" << ours << done << remove << 0 << QStringList{"Removed"} << nothing;
        QTest::newRow("remove refused") << false << folder << ours << denied << remove << 1
                                        << nothing << QStringList{"  sudo lpadmin -x TarnWick\n"};
        QTest::newRow("remove fails") << false << folder << none << failed << remove << 1 << nothing
                                      << QStringList{"could not be removed: words"};
        QTest::newRow("another printer is not removed")
            << false << folder << foreign << done << "" << 1 << nothing
            << QStringList{"it is left alone"};
    }
    void commands() {
        QFETCH(bool, add);
        QFETCH(QString, folder);
        QFETCH(std::optional<QString>, device);
        QFETCH(int, answer);
        QFETCH(QString, step);
        QFETCH(int, exitCode);
        QFETCH(QStringList, out);
        QFETCH(QStringList, err);
        FakeAdmin admin;
        admin.device = device;
        admin.answer = {Result(answer), QStringLiteral("words")};
        const PrinterOption option{add ? PrinterAction::Add : PrinterAction::Remove,
                                   QStringLiteral("TarnWick")};
        const PrinterCommandResult result = runPrinterCommand(option, folder, admin);
        QCOMPARE(admin.steps, step.isEmpty() ? QStringList() : QStringList{step});
        QCOMPARE(result.exitCode, exitCode);
        for (const auto& [said, parts] : {std::pair{result.out, out}, std::pair{result.err, err}}) {
            QCOMPARE(said.isEmpty(), parts.isEmpty());
            for (const QString& part : parts) {
                QVERIFY2(said.contains(part), qPrintable(said));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestPrinterCommand)
#include "test_printer_command.moc"
