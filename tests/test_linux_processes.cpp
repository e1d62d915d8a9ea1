// Runs and detached programs with real processes: small /bin/sh scripts
// stand in for Ghostscript and the PDF reader.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include "common/byte_text.h"
#include "platform/linux/linux_processes.h"
#include "support/test_files.h"

Q_DECLARE_METATYPE(RunEnd::How)

namespace {

RunRequest shell(const QString& script, const QStringList& arguments = {}) {
    return {QStringLiteral("/bin/sh"),
            QStringList{QStringLiteral("-c"), script} + arguments,
            {},
            false};
}

bool isAlive(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == 0;
}

pid_t pidIn(const QString& path) {
    return static_cast<pid_t>(readFile(path).trimmed().toInt());
}

// Starts two sleepers that would outlive the script: one in its process
// group, one that left it for a session of its own. Each one's process id
// goes to a file; with "wait" as its third argument the script then waits.
const QByteArray kLeaveChildren =
    "sleep 300 & echo $! > \"$1\"\n"
    "setsid sh -c 'echo $$ > \"$0.part\" && mv \"$0.part\" \"$0\"; exec sleep 300' \"$2\" &\n"
    "while [ ! -s \"$2\" ]; do sleep 0.01; done\n"
    "[ \"$3\" = wait ] && wait\n"
    "exit 0\n";

// Writes the folder it runs in and its arguments, one per line in brackets,
// to the file named first; the file appears whole.
const QByteArray kShowArguments =
    "#!/bin/sh\n"
    "out=\"$1\"; shift\n"
    "{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$out.part\"\n"
    "mv \"$out.part\" \"$out\"\n";

}  // namespace

class TestLinuxProcesses : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<LinuxProcesses> processes_;

    QString path(const QString& name) const { return dir_->filePath(name); }

    // Waits for the end of a run and gives it.
    std::optional<RunEnd> endOf(ProcessId id, QSignalSpy& ended) {
        if (!QTest::qWaitFor([&] { return ended.count() > 0; }, 10000)) {
            return std::nullopt;
        }
        if (ended.count() != 1 || ended[0][0].value<ProcessId>() != id) {
            return std::nullopt;
        }
        return processes_->runEnd(id);
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        processes_ = std::make_unique<LinuxProcesses>();
    }
    void cleanup() {
        processes_.reset();
        dir_.reset();
    }

    // How a run ended, told once it has; its input is empty at once.
    void runEnds_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<RunEnd::How>("how");
        QTest::addColumn<int>("code");
        QTest::newRow("exit 0") << "exit 0" << RunEnd::How::Exited << 0;
        QTest::newRow("exit 3") << "exit 3" << RunEnd::How::Exited << 3;
        QTest::newRow("reads its empty input") << "read x; exit 7" << RunEnd::How::Exited << 7;
        QTest::newRow("killed") << "kill -KILL $$" << RunEnd::How::Signalled << int(SIGKILL);
        QTest::newRow("terminated") << "kill -TERM $$" << RunEnd::How::Signalled << int(SIGTERM);
        QTest::newRow("ended by endRun") << "sleep 300" << RunEnd::How::Ended << 0;
    }
    void runEnds() {
        QFETCH(QString, script);
        QFETCH(RunEnd::How, how);
        QFETCH(int, code);
        QSignalSpy ended(processes_.get(), &Processes::runEnded);
        const Result<ProcessId> id = processes_->startRun(shell(script));
        QVERIFY(id);
        QCOMPARE(processes_->runEnd(*id).has_value(), false);
        // Only a conversation run reads what is sent.
        QVERIFY(!processes_->sendInput(*id, "x\n"));
        if (how == RunEnd::How::Ended) {
            processes_->endRun(*id);
        }
        const std::optional<RunEnd> end = endOf(*id, ended);
        QVERIFY(end);
        QCOMPARE(end->how, how);
        QCOMPARE(end->code, code);
        // An ended run stays ended; ending it again changes nothing.
        processes_->endRun(*id);
        QCoreApplication::processEvents();
        QCOMPARE(ended.count(), 1);
    }

    // {dir} stands for the test folder; the marker file appears only if
    // anything ran.
    void unstartableProgramRunsNothing_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("workingFolder");
        QTest::newRow("missing program") << "/nonexistent/tool"
                                         << "";
        QTest::newRow("not on the search path") << "tarnwick-no-such-program"
                                                << "";
        QTest::newRow("empty name") << ""
                                    << "";
        QTest::newRow("folder") << "{dir}"
                                << "";
        QTest::newRow("file without execute permission") << "{dir}/plain tool.sh"
                                                         << "";
        QTest::newRow("missing working folder") << "{dir}/marking tool.sh"
                                                << "{dir}/gone";
    }
    void unstartableProgramRunsNothing() {
        QFETCH(QString, program);
        QFETCH(QString, workingFolder);
        const QByteArray marking = "#!/bin/sh\ntouch \"" + path("marker").toUtf8() + "\"\n";
        writeFile(path("plain tool.sh"), marking);
        writeFile(path("marking tool.sh"), marking);
        QVERIFY(QFile::setPermissions(path("marking tool.sh"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        program.replace(QStringLiteral("{dir}"), dir_->path());
        workingFolder.replace(QStringLiteral("{dir}"), dir_->path());
        QSignalSpy ended(processes_.get(), &Processes::runEnded);

        const Result<ProcessId> run = processes_->startRun({program, {}, workingFolder, false});
        QVERIFY(!run);
        QVERIFY(run.failure().error != 0);
        QVERIFY(!run.failure().text.isEmpty());
        if (workingFolder.isEmpty()) {
            QVERIFY(!processes_->startProgram('"' + program + '"', WindowMode::Normal));
        }
        QCoreApplication::processEvents();
        QCOMPARE(ended.count(), 0);
        QVERIFY(!exists(path("marker")));
    }

    // What the program receives, argument by argument: no shell expands or
    // splits anything, bytes that are not UTF-8 and an empty argument come
    // whole. A run works in its folder; a detached program is split from one
    // command line (a program path with blanks, quoted or not).
    void argumentsArriveAsTheyAre_data() {
        QTest::addColumn<bool>("detached");
        QTest::addColumn<bool>("quotedProgram");
        QTest::newRow("run") << false << false;
        QTest::newRow("detached, program with blanks") << true << false;
        QTest::newRow("detached, quoted program") << true << true;
    }
    void argumentsArriveAsTheyAre() {
        QFETCH(bool, detached);
        QFETCH(bool, quotedProgram);
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("my tools")));
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("work")));
        const QString program = path("my tools/show args");
        writeFile(program, kShowArguments);
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString output = path("out");
        const QString notUtf8 = textOfBytes("caf\xe9\xff\xc3");
        const QStringList arguments{"plain", "two  words", "*", "$HOME", "", "a\\b", notUtf8};

        QByteArray expected;
        if (detached) {
            const QString line = (quotedProgram ? '"' + program + '"' : program) + ' ' + output +
                                 " plain \"two  words\" * $HOME \"\" a\\b " + notUtf8;
            QVERIFY(processes_->startProgram(line, WindowMode::Maximised));
            expected = QFile::encodeName(QDir::currentPath());
        } else {
            QVERIFY(processes_->startRun(
                {program, QStringList{output} + arguments, path("work"), false}));
            expected = QFile::encodeName(path("work"));
        }
        expected += '\n';
        for (const QString& argument : arguments) {
            expected += '[' + bytesOfText(argument) + "]\n";
        }
        QTRY_VERIFY(exists(output));
        QCOMPARE(readFile(output), expected);
    }

    // A conversation run reads what is sent and its output comes back, all
    // of it before its end, also when it is more than a pipe holds.
    void conversation_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("code");
        QTest::newRow("lines") << "read a; read b; echo \"got $a $b\"; exit 5"
                               << QByteArray("one\ntwo\n") << QByteArray("got one two\n") << 5;
        QByteArray large(300 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < large.size(); ++i) {
            large[i] = char(i % 251);
        }
        QTest::newRow("more than a pipe holds")
            << QStringLiteral("head -c %1").arg(large.size()) << large << large << 0;
    }
    void conversation() {
        QFETCH(QString, script);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        QFETCH(int, code);
        QSignalSpy ended(processes_.get(), &Processes::runEnded);
        QByteArray received;
        bool outputAfterEnd = false;
        connect(processes_.get(), &Processes::outputRead, this,
                [&](ProcessId, const QByteArray& bytes) {
                    outputAfterEnd = outputAfterEnd || ended.count() > 0;
                    received += bytes;
                });
        RunRequest request = shell(script);
        request.conversation = true;
        const Result<ProcessId> id = processes_->startRun(request);
        QVERIFY(id);
        QVERIFY(processes_->sendInput(*id, input));
        const std::optional<RunEnd> end = endOf(*id, ended);
        QVERIFY(end);
        QCOMPARE(end->code, code);
        QVERIFY(!outputAfterEnd);
        QCOMPARE(received.size(), output.size());
        QCOMPARE(received, output);
        // Nobody reads any more.
        QVERIFY(!processes_->sendInput(*id, "late\n"));
    }

    // A run that closed its input is written to without ending this program
    // (no SIGPIPE).
    void inputToAClosedRun() {
        QSignalSpy ended(processes_.get(), &Processes::runEnded);
        QByteArray received;
        connect(processes_.get(), &Processes::outputRead, this,
                [&](ProcessId, const QByteArray& bytes) { received += bytes; });
        RunRequest request =
            shell(QStringLiteral("exec 0<&-; echo closed; exec tail -f /dev/null"));
        request.conversation = true;
        const Result<ProcessId> id = processes_->startRun(request);
        QVERIFY(id);
        QTRY_VERIFY(received.contains("closed"));
        QVERIFY(processes_->sendInput(*id, QByteArray(256 * 1024, 'x')));
        processes_->endRun(*id);
        const std::optional<RunEnd> end = endOf(*id, ended);
        QVERIFY(end);
        QCOMPARE(end->how, RunEnd::How::Ended);
    }

    // Whatever a run started ends with it: its process group and a process
    // that left the group for a session of its own, whether the run is ended,
    // ends by itself or its starter goes. A detached program lives on.
    void everyProcessEndsWithItsRun_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("livesOn");
        QTest::newRow("ended by endRun") << "endRun" << false;
        QTest::newRow("ended by itself") << "itself" << false;
        QTest::newRow("its starter ends") << "starter" << false;
        QTest::newRow("detached program, its starter ends") << "detached" << true;
    }
    void everyProcessEndsWithItsRun() {
        QFETCH(QString, end);
        QFETCH(bool, livesOn);
        const QString script = writeFile(path("leave children.sh"), kLeaveChildren);
        const QString grouped = path("grouped");
        const QString alone = path("alone");
        const QString waits = end == QLatin1String("itself") ? "exit" : "wait";
        QSignalSpy ended(processes_.get(), &Processes::runEnded);
        ProcessId run = 0;
        if (end == QLatin1String("detached")) {
            QVERIFY(processes_->startProgram(QStringLiteral("/bin/sh \"%1\" \"%2\" \"%3\" %4")
                                                 .arg(script, grouped, alone, waits),
                                             WindowMode::Minimised));
        } else {
            const Result<ProcessId> id = processes_->startRun(
                {QStringLiteral("/bin/sh"), {script, grouped, alone, waits}, {}, false});
            QVERIFY(id);
            run = *id;
        }
        QTRY_VERIFY(exists(alone));
        const pid_t children[] = {pidIn(grouped), pidIn(alone)};
        if (end != QLatin1String("itself")) {
            QVERIFY(isAlive(children[0]) && isAlive(children[1]));
        }

        if (end == QLatin1String("endRun")) {
            processes_->endRun(run);
            QTRY_COMPARE(ended.count(), 1);
            QCOMPARE(processes_->runEnd(run)->how, RunEnd::How::Ended);
        } else if (end == QLatin1String("itself")) {
            QTRY_COMPARE(ended.count(), 1);
            QCOMPARE(processes_->runEnd(run)->how, RunEnd::How::Exited);
        } else {
            processes_.reset();
        }
        for (const pid_t child : children) {
            if (livesOn) {
                QVERIFY(isAlive(child));
                ::kill(child, SIGKILL);
            } else {
                QTRY_VERIFY(!isAlive(child));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLinuxProcesses)
#include "test_linux_processes.moc"
