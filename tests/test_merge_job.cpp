#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "merge/merge_command.h"
#include "merge/merge_job.h"
#include "merge/merge_number.h"
#include "support/engine_fixture.h"

Q_DECLARE_METATYPE(MergeJob::Start)

class TestMergeJob : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<MergeJob> job;
    const QStringList rows{"a.pdf", "b.ps", ""};

    QStringList messages() const {
        QStringList texts;
        for (const FakePrompts::Shown& shown : f->platform.fakePrompts.shown) {
            texts.append(shown.text);
        }
        return texts;
    }

  private slots:
    void init() {
        f = std::make_unique<EngineFixture>();
        job = std::make_unique<MergeJob>(f->config, f->results, f->texts, f->platform,
                                         f->distiller.state());
        writeFile(f->merge + "a.pdf", "a");
        writeFile(f->merge + "b.ps", "b");
    }
    void cleanup() {
        // The inputs are never touched.
        QCOMPARE(QFile(f->merge + "a.pdf").size() + QFile(f->merge + "b.ps").size(), 2);
        job.reset();
        f.reset();
    }

    void nextMergeNumber_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("number");
        QTest::newRow("none") << QStringList{"report.pdf"} << "0001";
        QTest::newRow("after 0009, 0010")
            << QStringList{"Merged_File_0010.pdf", "Merged_File_0009.pdf"} << "0011";
        QTest::newRow("malformed") << QStringList{"Merged_File_.pdf",
                                                  "Merged_File_12",
                                                  "Merged_File_x7.pdf",
                                                  "Merged_File_-3.pdf",
                                                  "merged_file_0042.pdf",
                                                  "Merged_File_0007.pdf",
                                                  "Merged_File_99999999999999999999.pdf"}
                                   << "0008";
        QTest::newRow("9999") << QStringList{"Merged_File_9999.pdf"} << "10000";
    }
    void nextMergeNumber() {
        QFETCH(QStringList, names);
        QFETCH(QString, number);
        QCOMPARE(::nextMergeNumber(names), number);
    }

    void argumentFile_data() {
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QByteArray>("options");
        QTest::newRow("options off") << false << false << QByteArray(" ");
        QTest::newRow("pictures") << true << false
                                  << QByteArray(
                                         " -dAutoFilterColorImages=false "
                                         "-dColorImageFilter=/FlateEncode ");
        QTest::newRow("encryption, empty user password")
            << false << true
            << QByteArray(
                   "  -sOwnerPassword=\"own\" -sUserPassword=\"\" -dEncryptionR=2 "
                   "-dKeylength=40 ");
    }
    void argumentFile() {
        QFETCH(bool, pictures);
        QFETCH(bool, encrypt);
        QFETCH(QByteArray, options);
        const MergeRun run{pictures,
                           encrypt,
                           QStringLiteral("own"),
                           QString(),
                           "/o/r.pdf",
                           "/m/",
                           {"a.pdf", "  ", QStringLiteral("é.ps"), ""}};
        QCOMPARE(mergeArgumentFile(run),
                 "-q -dSAFER -dNOPAUSE" + options +
                     "-sDEVICE=pdfwrite -sOUTPUTFILE=\"/o/r.pdf\" -dBATCH\r\n"
                     "-f \"/m/a.pdf\"\r\n-f \"/m/\xc3\xa9.ps\"\r\n");
    }

    // Each ends before anything is written or started.
    void endsEarly_data() {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("answer");  // "?" for Cancel
        QTest::addColumn<MergeJob::Start>("result");
        QTest::addColumn<QString>("message");
        using S = MergeJob::Start;
        QTest::newRow("only the empty row")
            << QStringList{"  "} << "" << S::NothingToMerge << "Nothing to Merge";
        QTest::newRow("cancelled") << rows << "?" << S::NoName << "";
        QTest::newRow("blank name") << rows << "  " << S::NoName << "";
        QTest::newRow("slash") << rows << "../x" << S::Refused
                               << "The name may not contain \"/\", a double quote or a line break.";
        QTest::newRow("file name with a quote")
            << QStringList{"a\".ps"} << "x" << S::Refused
            << "Nothing was merged: a file name, a folder or a password holds a double quote or "
               "a line break, which cannot be passed to Ghostscript.";
        QTest::newRow("output is an input")
            << rows << "a" << S::Refused
            << "Nothing was merged: the merged file would replace one of the files to merge: {a}";
    }
    void endsEarly() {
        QFETCH(QStringList, list);
        QFETCH(QString, answer);
        QFETCH(MergeJob::Start, result);
        QFETCH(QString, message);
        f->config.setPath(PathKind::Outputpath, f->merge);
        f->platform.fakePrompts.inputs = {answer == "?" ? std::nullopt : std::optional(answer)};
        QCOMPARE(job->start(list), result);
        QCOMPARE(messages().join(""), message.replace("{a}", f->merge + "a.pdf"));
        QVERIFY(f->platform.started.isEmpty() && !job->isRunning());
        QVERIFY(!QFile::exists(f->merge + "gscommand.txt"));
    }

    // An earlier file of the name is replaced; a run that fails or does not
    // start leaves no file, a failed entry and a message, and is not counted.
    void outcome_data() {
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("fails");
        QTest::newRow("merged") << true << false;
        QTest::newRow("fails, leaving pages") << true << true;
        QTest::newRow("does not start") << false << true;
    }
    void outcome() {
        QFETCH(bool, starts);
        QFETCH(bool, fails);
        const QString merged = f->output + "report.pdf";
        writeFile(merged, "old file");
        f->platform.fakePrompts.inputs = {"report"};
        f->platform.failStart = !starts;
        f->platform.onStart = [this, fails, merged](const FakePlatform::Started& start) {
            QCOMPARE(start.commandLine, QStringLiteral("/usr/bin/gs"));
            QCOMPARE(start.arguments, QStringList{"@gscommand.txt"});
            QCOMPARE(start.workingFolder, f->merge);
            QVERIFY(!QFile::exists(merged));
            writeFile(merged, "%PDF");
            f->platform.finishProcess(start.id, fails);
        };
        QSignalSpy progress(job.get(), &MergeJob::progress);
        QCOMPARE(job->start(rows), MergeJob::Start::Started);
        QCOMPARE(progress[0][0].toString(), "Merging postscriptfiles to report.pdf");
        QCOMPARE(f->results.entries, QStringList{(fails ? "failed: " : "") + merged});
        QCOMPARE(f->config.counter(), fails ? 0.0 : 1.0);
        QCOMPARE(f->results.runCount, fails ? 0.0 : 1.0);
        QCOMPARE(QFile::exists(merged), !fails);
        QCOMPARE(messages(), fails ? QStringList{"Ghostscript could not merge the files, no PDF "
                                                 "was made: " +
                                                 merged}
                                   : QStringList());
    }

    // A distill pass in progress ends before Ghostscript starts.
    void waitsForTheDistillPass() {
        f->distiller.state().PassHold = true;
        QCOMPARE(job->start(rows), MergeJob::Start::Started);
        QTest::qWait(2 * MergeJob::kPollMs);
        QVERIFY(f->platform.started.isEmpty() && job->isRunning());
        f->distiller.state().PassHold = false;
        QTRY_COMPARE(f->platform.started.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMergeJob)
#include "test_merge_job.moc"
