#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "merge/merge_command.h"
#include "merge/merge_job.h"
#include "merge/merge_number.h"
#include "platform/linux/aside_path.h"
#include "support/engine_fixture.h"

Q_DECLARE_METATYPE(MergeJob::Start)

class TestMergeJob : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<MergeJob> job;
    const QStringList rows{"a.pdf", "b.ps", ""};

    QStringList messages() const { return f->prompts.messages(); }

  private slots:
    void init() {
        f = std::make_unique<EngineFixture>();
        job = std::make_unique<MergeJob>(f->context, f->distiller);
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

    // A double quote travels escaped, a per cent sign in the output path is
    // doubled so that Ghostscript takes it literally.
    void argumentFile_data() {
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("outputPath");
        QTest::addColumn<QString>("lastRow");
        QTest::addColumn<QByteArray>("file");
        const QByteArray rowsOut = "-f \"/m/a.pdf\"\r\n-f \"/m/\xc3\xa9.ps\"\r\n";
        QTest::newRow("options off")
            << false << false << "own"
            << "/o/r.pdf" << QStringLiteral("é.ps")
            << "-q -dSAFER -dNOPAUSE -sDEVICE=pdfwrite -sOUTPUTFILE=\"/o/r.pdf\" -dBATCH\r\n" +
                   rowsOut;
        QTest::newRow("pictures")
            << true << false << "own"
            << "/o/r.pdf" << QStringLiteral("é.ps")
            << "-q -dSAFER -dNOPAUSE -dAutoFilterColorImages=false "
               "-dColorImageFilter=/FlateEncode -sDEVICE=pdfwrite -sOUTPUTFILE=\"/o/r.pdf\" "
               "-dBATCH\r\n" +
                   rowsOut;
        QTest::newRow("encryption, empty user password")
            << false << true << "own"
            << "/o/r.pdf" << QStringLiteral("é.ps")
            << "-q -dSAFER -dNOPAUSE  -sOwnerPassword=\"own\" -sUserPassword=\"\" "
               "-dEncryptionR=2 -dKeylength=40 -sDEVICE=pdfwrite -sOUTPUTFILE=\"/o/r.pdf\" "
               "-dBATCH\r\n" +
                   rowsOut;
        QTest::newRow("quotes and a per cent sign")
            << false << true << "o\"wn"
            << "/o/100% r.pdf"
            << "say \"hi\".ps"
            << QByteArray(
                   "-q -dSAFER -dNOPAUSE  -sOwnerPassword=\"o\\\"wn\" -sUserPassword=\"\" "
                   "-dEncryptionR=2 -dKeylength=40 -sDEVICE=pdfwrite "
                   "-sOUTPUTFILE=\"/o/100%% r.pdf\" -dBATCH\r\n"
                   "-f \"/m/a.pdf\"\r\n-f \"/m/say \\\"hi\\\".ps\"\r\n");
    }
    void argumentFile() {
        QFETCH(bool, pictures);
        QFETCH(bool, encrypt);
        QFETCH(QString, owner);
        QFETCH(QString, outputPath);
        QFETCH(QString, lastRow);
        QFETCH(QByteArray, file);
        MergeRun run;
        run.options.goodPictures = pictures;
        run.options.encrypt = encrypt;
        run.options.ownerPassword = owner;
        run.outputPath = outputPath;
        run.mergeFolder = QStringLiteral("/m/");
        run.rows = QStringList{"a.pdf", "  ", lastRow, ""};
        QCOMPARE(mergeArgumentFile(run), file);
    }

    // Each ends before anything is written or started.
    void endsEarly_data() {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("owner");   // the owner password, encryption on
        QTest::addColumn<QString>("answer");  // "?" for Cancel
        QTest::addColumn<MergeJob::Start>("result");
        QTest::addColumn<QString>("message");
        using S = MergeJob::Start;
        QTest::newRow("only the empty row") << QStringList{"  "} << "own"
                                            << "" << S::NothingToMerge << "Nothing to Merge";
        QTest::newRow("cancelled") << rows << "own"
                                   << "?" << S::NoName << "";
        QTest::newRow("blank name") << rows << "own"
                                    << "  " << S::NoName << "";
        QTest::newRow("slash") << rows << "own"
                               << "../x" << S::Refused
                               << "The name may not contain \"/\", a double quote or a line break.";
        QTest::newRow("file name ending in a backslash")
            << QStringList{"a.ps\\"} << "own"
            << "x" << S::Refused
            << "Nothing was merged: {m}a.ps\\ ends in a backslash or holds a line break, which "
               "cannot be passed to Ghostscript.";
        QTest::newRow("owner password ending in a backslash")
            << rows << "own\\"
            << "x" << S::Refused
            << "Nothing was merged: the owner password ends in a backslash or holds a line "
               "break, which cannot be passed to Ghostscript.";
        QTest::newRow("a link among the files")
            << QStringList{"link.ps"} << "own"
            << "x" << S::Refused
            << "Nothing was merged: {m}link.ps is a link, which is not followed.";
        QTest::newRow("output is an input")
            << rows << "own"
            << "a" << S::Refused
            << "Nothing was merged: the merged file would replace one of the files to merge: {a}";
    }
    void endsEarly() {
        QFETCH(QStringList, list);
        QFETCH(QString, owner);
        QFETCH(QString, answer);
        QFETCH(MergeJob::Start, result);
        QFETCH(QString, message);
        f->config.setPath(PathKind::Outputpath, f->merge);
        f->config.opts.useEncryption = true;
        f->config.opts.ownerPassword = owner;
        QVERIFY(QFile::link(f->merge + "a.pdf", f->merge + "link.ps"));
        f->prompts.inputs = {answer == "?" ? std::nullopt : std::optional(answer)};
        QCOMPARE(job->start(list), result);
        QCOMPARE(messages().join(""),
                 message.replace("{a}", f->merge + "a.pdf").replace("{m}", f->merge));
        QVERIFY(f->processes.started.isEmpty() && !job->isRunning());
        QVERIFY(!QFile::exists(f->merge + "gscommand.txt"));
    }

    // A whole new file takes the place of an earlier one of the name; a run
    // that fails, leaves half a PDF or does not start leaves the earlier file
    // and nothing aside, a failed entry and a message, and is not counted.
    void outcome_data() {
        QTest::addColumn<bool>("starts");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("fails");
        QTest::newRow("merged") << true << 0 << kWholePdf << false;
        QTest::newRow("fails, leaving pages") << true << 1 << kWholePdf << true;
        QTest::newRow("cut short") << true << 0 << QByteArray("%PDF-1.4\n1 0 obj") << true;
        QTest::newRow("does not start") << false << 0 << QByteArray() << true;
    }
    void outcome() {
        QFETCH(bool, starts);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, written);
        QFETCH(bool, fails);
        const QString merged = f->output + "report.pdf";
        const QString aside = asidePathOf(merged);
        writeFile(merged, "old file");
        f->prompts.inputs = {"report"};
        f->processes.failStart = !starts;
        f->processes.onStart = [&](const FakeProcesses::Started& start) {
            QCOMPARE(start.request.program, QStringLiteral("/usr/bin/gs"));
            QCOMPARE(start.request.arguments, QStringList{"@gscommand.txt"});
            QCOMPARE(start.request.workingFolder, f->merge);
            QVERIFY(readFile(f->merge + "gscommand.txt").contains("\"" + aside.toUtf8() + "\""));
            QCOMPARE(readFile(merged), QByteArray("old file"));
            writeFile(aside, written);
            f->processes.finishRun(start.id, {RunEnd::How::Exited, exitCode});
        };
        QSignalSpy progress(job.get(), &MergeJob::progress);
        QSignalSpy finished(job.get(), &MergeJob::finished);
        QCOMPARE(job->start(rows), MergeJob::Start::Started);
        QCOMPARE(progress[0][0].toString(), "Merging postscriptfiles to report.pdf");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(f->processes.started.size(), starts ? 1 : 0);
        QCOMPARE(f->results.entries, QStringList{(fails ? "failed: " : "") + merged});
        QCOMPARE(f->config.counter(), fails ? 0.0 : 1.0);
        QCOMPARE(f->results.runCount, fails ? 0.0 : 1.0);
        QCOMPARE(readFile(merged), fails ? QByteArray("old file") : kWholePdf);
        QVERIFY(!exists(aside));
        QCOMPARE(messages(), fails ? QStringList{"Ghostscript could not merge the files, no PDF "
                                                 "was made: " +
                                                 merged}
                                   : QStringList());
    }

    // A distill pass in progress ends before Ghostscript starts.
    void waitsForTheDistillPass() {
        f->files.held[writeFile(f->watch + "a.ps")] = -1;
        f->distiller.Start_Distiller();
        f->distiller.tick();
        QVERIFY(f->distiller.isPassInProgress());
        QCOMPARE(job->start(rows), MergeJob::Start::Started);
        QVERIFY(f->processes.started.isEmpty() && job->isRunning());
        f->distiller.Stop_Distiller();
        QTRY_COMPARE(f->processes.started.size(), 1);
        QCOMPARE(f->processes.started[0].request.arguments, QStringList{"@gscommand.txt"});
    }
};

QTEST_GUILESS_MAIN(TestMergeJob)
#include "test_merge_job.moc"
