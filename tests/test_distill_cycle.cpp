#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "distill/file_type.h"
#include "support/engine_fixture.h"

namespace {

// The file work with reads of a file's head that fail, and nothing else.
class HeadFailingFiles : public FakeFolderFiles {
  public:
    Result<QByteArray> readHead(const QString& path, qint64 maxBytes) override {
        if (failingHeads.contains(path)) {
            return Failure{Failure::Kind::Unreadable, EACCES, QStringLiteral("Permission denied")};
        }
        return FakeFolderFiles::readHead(path, maxBytes);
    }
    QSet<QString> failingHeads;
};

}  // namespace

class TestDistillCycle : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

    Distiller& distiller() { return f->distiller; }
    void switchOnAndTick() { f->switchOnAndTick(); }
    void tickToEnd() { f->tickToEnd(); }
    // The PostScript files of the watched folder in the order a pass takes them.
    QStringList postScriptListing() {
        QStringList names = entryNames(f->files, f->watch);
        names.removeIf([](const QString& name) { return !isPostScriptName(name); });
        return names;
    }

  private slots:
    void init() { f = std::make_unique<EngineFixture>(); }
    void cleanup() { f.reset(); }

    void convertsPostScriptFilesInListingOrder() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.txt");
        writeFile(f->watch + "c.EPS");
        const QStringList order = postScriptListing();
        switchOnAndTick();

        QCOMPARE(f->processes.started.size(), 2);
        QStringList inputs;
        QStringList pdfs;
        for (const FakeProcesses::Started& start : std::as_const(f->processes.started)) {
            QCOMPARE(start.request.program, QStringLiteral("/usr/bin/gs"));
            QCOMPARE(start.request.arguments,
                     QStringList({"-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                                  "-sOutputFile=" + f->watch + "Temp_Stay_off",
                                  start.request.arguments.last()}));
            // Its input is empty: nothing is written to a Ghostscript run.
            QVERIFY(!start.request.conversation);
            inputs << start.request.arguments.last();
        }
        QCOMPARE(inputs, QStringList({f->moved + order[0], f->moved + order[1]}));
        QCOMPARE(f->results.entries, QStringList({f->output + pdfBaseName(order[0]) + ".pdf",
                                                  f->output + pdfBaseName(order[1]) + ".pdf"}));
        QVERIFY(exists(f->watch + "b.txt"));
        QVERIFY(!exists(f->watch + "a.ps") && !exists(f->watch + "c.EPS"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        // Delete option off: the sources stay in the move-to folder.
        QVERIFY(exists(f->moved + "a.ps") && exists(f->moved + "c.EPS"));
        QCOMPARE(f->results.runCount, 2.0);
        QCOMPARE(f->config.counter(), 2.0);
        QCOMPARE(f->results.status,
                 QStringLiteral("Distiller is active, nothing to distill at this moment....."));
    }

    void deleteOptionRemovesMovedCopies() {
        f->ghostscriptWritesOutput();
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(exists(f->output + "a.pdf"));
        QVERIFY(!exists(f->moved + "a.ps"));
    }

    void pdfNames_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("pdfs");
        QTest::newRow("no extension") << QStringList{"steps"} << QStringList{"s.pdf"};
        QTest::newRow("capital PS") << QStringList{"report.PS"} << QStringList{"report.pdf"};
        QTest::newRow("three-letter name after another file")
            << QStringList{"a.ps", "eps"} << QStringList{"a.pdf", "eps.pdf"};
    }
    void pdfNames() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, pdfs);
        f->ghostscriptWritesOutput();
        for (const QString& name : names) {
            writeFile(f->watch + name);
        }
        switchOnAndTick();
        QStringList expected;
        for (const QString& pdf : pdfs) {
            expected.append(f->output + pdf);
        }
        QStringList entries = f->results.entries;
        entries.sort();
        QCOMPARE(entries, expected);
    }

    void replacesExistingFiles() {
        f->ghostscriptWritesOutput();
        writeFile(f->output + "a.pdf", "old pdf");
        writeFile(f->moved + "a.ps", "old source");
        writeFile(f->watch + "Temp_Stay_off", "leftover");
        writeFile(f->watch + "a.ps", "new source");
        switchOnAndTick();
        QFile pdf(f->output + "a.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll(), kWholePdf);
        QFile source(f->moved + "a.ps");
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(source.readAll(), QByteArray("new source"));
    }

    void runningIndicatorOrderOverTicks() {
        QSignalSpy steps(&distiller(), &Distiller::indicatorStep);
        distiller().Start_Distiller();
        for (int i = 0; i < 7; ++i) {
            tickToEnd();
        }
        QList<int> frames;
        for (const QList<QVariant>& step : steps) {
            frames.append(step[0].toInt());
        }
        QCOMPARE(frames, QList<int>({1, 2, 3, 4, 5, 6, 1}));
    }

    void indicatorStandsStillWhileOff() {
        switchOnAndTick();
        distiller().Stop_Distiller();
        const int step = distiller().runStep();
        tickToEnd();
        QCOMPARE(distiller().runStep(), step);
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));
        // Switching on again goes on from the step where it stopped.
        switchOnAndTick();
        QCOMPARE(distiller().runStep(), step + 1);
    }

    // In onStart, exitCode -1 means ended by a signal and -2 not started.
    void runWithoutWholePdf_data() {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("reason");
        QTest::newRow("Ghostscript missing")
            << -2 << QByteArray() << "Ghostscript /usr/bin/gs could not be started";
        QTest::newRow("exit code 1 after writing a page")
            << 1 << kWholePdf << "Ghostscript ended with exit code 1";
        QTest::newRow("ended by a signal")
            << -1 << QByteArray() << "Ghostscript was ended by a signal";
        QTest::newRow("nothing written") << 0 << QByteArray() << "Ghostscript made no PDF";
        QTest::newRow("cut short by a full disk")
            << 0 << QByteArray("%PDF-1.4\n1 0 obj\n<< /Type")
            << "the PDF is incomplete; is the disk of the watched folder {watch} full?";
    }
    void runWithoutWholePdf() {
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QFETCH(QString, reason);
        f->processes.failStart = exitCode == -2;
        f->processes.onStart = [&](const FakeProcesses::Started& start) {
            writeFile(outputFileOf(start), output);
            f->processes.finishRun(start.id, exitCode == -1
                                                 ? RunEnd{RunEnd::How::Signalled, SIGKILL}
                                                 : RunEnd{RunEnd::How::Exited, exitCode});
        };
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{reason.replace("{watch}", f->watch)});
        // Only a PDF made counts.
        QCOMPARE(f->config.counter(), 0.0);
    }

    // A file that cannot be taken stays in the watched folder, is listed once
    // with the reason and left alone until it changes; the others go on. A
    // link is never followed: it is a real one, the others are scripted.
    void refusedFileIsListedOnceUntilItChanges_data() {
        QTest::addColumn<Failure::Kind>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not readable")
            << Failure::Kind::Unreadable << "the file cannot be read (Permission denied)";
        QTest::newRow("a link") << Failure::Kind::NotOrdinary
                                << "the file is a link, which is not followed";
        QTest::newRow("not removable from the watched folder")
            << Failure::Kind::NotReleased
            << "the file cannot be taken out of the folder {watch} (Permission denied)";
        QTest::newRow("move-to folder refuses it")
            << Failure::Kind::TargetRefused
            << "the ps move to folder {moved} cannot be used (Permission denied)";
    }
    void refusedFileIsListedOnceUntilItChanges() {
        QFETCH(Failure::Kind, kind);
        QFETCH(QString, reason);
        f->ghostscriptWritesOutput();
        const QByteArray elsewhere("%!PS\n% elsewhere\n%%EOF\n");
        const QString target = writeFile(f->root.path() + "/elsewhere.ps", elsewhere);
        if (kind == Failure::Kind::NotOrdinary) {
            QVERIFY(QFile::link(target, f->watch + "a.ps"));
        } else {
            f->files.failing[f->moved + "a.ps"] = {kind, EACCES, "Permission denied"};
            writeFile(f->watch + "a.ps");
        }
        writeFile(f->watch + "b.ps");
        switchOnAndTick();
        tickToEnd();
        QStringList entries = f->results.entries;
        entries.sort();
        QCOMPARE(entries, QStringList({f->output + "b.pdf", "failed: " + f->watch + "a.ps"}));
        QCOMPARE(f->results.reasons,
                 QStringList{reason.replace("{watch}", f->watch).replace("{moved}", f->moved)});
        QVERIFY(exists(f->watch + "a.ps"));
        QCOMPARE(readFile(target), elsewhere);

        f->files.failing.clear();
        if (kind == Failure::Kind::NotOrdinary) {
            QVERIFY(QFile::remove(f->watch + "a.ps"));
        }
        writeFile(f->watch + "a.ps", "%!PS\n% changed\n%%EOF\n");
        tickToEnd();
        QCOMPARE(f->results.entries.last(), f->output + "a.pdf");
    }

    // A folder in the way holds every file back, listed once, and only as
    // long as the trouble lasts.
    void folderTroubleHoldsFilesBack_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("move-to folder missing")
            << "moved"
            << "the ps move to folder {folder} cannot be used (No such file or directory)";
        QTest::newRow("output folder missing")
            << "output"
            << "the PDF output folder {folder} cannot be used (No such file or directory)";
    }
    void folderTroubleHoldsFilesBack() {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        f->ghostscriptWritesOutput();
        const QString path = folder == "moved" ? f->moved : f->output;
        QVERIFY(QDir(path).removeRecursively());
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        tickToEnd();
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->watch + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{reason.replace("{folder}", path)});
        QVERIFY(exists(f->watch + "a.ps"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(f->processes.started.isEmpty());

        QVERIFY(QDir().mkpath(path));
        tickToEnd();
        QCOMPARE(f->results.entries.last(), f->output + "a.pdf");
    }

    void pdfCannotBePlaced() {
        f->ghostscriptWritesOutput();
        f->files.failing[f->output + "a.pdf"] = {Failure::Kind::TargetRefused, ENOSPC,
                                                 "No space left on device"};
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(exists(f->moved + "a.ps"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{"the PDF output folder " + f->output +
                                                 " cannot be used (No space left on device)"});
    }

    void waitsForHeldFile() {
        f->ghostscriptWritesOutput();
        const QString source = writeFile(f->watch + "a.ps");
        f->files.held[source] = -1;
        f->results.setStatus(QStringLiteral("before"));
        distiller().Start_Distiller();
        distiller().tick();
        QTRY_VERIFY(f->files.heldChecks >= 3);
        QVERIFY(distiller().isPassInProgress());
        QCOMPARE(f->results.status, QStringLiteral("before"));
        QVERIFY(exists(source));
        f->files.held.remove(source);
        QTRY_VERIFY(!distiller().isPassInProgress());
        QCOMPARE(f->results.entries, QStringList{f->output + "a.pdf"});
    }

    void stopWhileWaitingForHeldFile() {
        f->ghostscriptWritesOutput();
        const QString source = writeFile(f->watch + "a.ps");
        f->files.held[source] = -1;
        distiller().Start_Distiller();
        distiller().tick();
        QTRY_VERIFY(f->files.heldChecks >= 2);
        distiller().Stop_Distiller();
        QTRY_VERIFY(!distiller().isPassInProgress());
        QVERIFY(exists(source));
        QVERIFY(!exists(f->moved + "a.ps"));
        QVERIFY(f->processes.started.isEmpty());
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));
    }

    // Stop ends the run in hand: the moved copy stays, listed as failed, the
    // next file waits in the watched folder and converts after switching on.
    void stopWhileGhostscriptRuns() {
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        const QStringList order = postScriptListing();
        f->processes.onStart = [this](const FakeProcesses::Started&) {
            QTimer::singleShot(0, [this] { distiller().Stop_Distiller(); });
        };
        switchOnAndTick();
        QCOMPARE(f->processes.endedRuns, QList<ProcessId>{f->processes.started[0].id});
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + order[0]});
        QCOMPARE(f->results.reasons, QStringList{"stopped before it was finished"});
        QVERIFY(exists(f->moved + order[0]) && exists(f->watch + order[1]));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));

        f->ghostscriptWritesOutput();
        switchOnAndTick();
        QCOMPARE(f->results.entries.last(), f->output + pdfBaseName(order[1]) + ".pdf");
    }

    void ghostscriptRunIsWaitedFor() {
        writeFile(f->watch + "a.ps");
        bool pdfListedEarly = true;
        QString statusWhileRunning;
        f->processes.onStart = [&](const FakeProcesses::Started& start) {
            QTimer::singleShot(0, [&, start] {
                pdfListedEarly = !f->results.entries.isEmpty();
                statusWhileRunning = f->results.status;
                writeFile(outputFileOf(start), kWholePdf);
                f->processes.finishRun(start.id);
            });
        };
        switchOnAndTick();
        QVERIFY(!pdfListedEarly);
        QCOMPARE(statusWhileRunning, QStringLiteral("Converting a.ps"));
        QCOMPARE(f->results.entries, QStringList{f->output + "a.pdf"});
    }

    // A file whose page size cannot be told is not converted; the next one is.
    void boundingBoxScanFailureStartsNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("readable");
        QTest::newRow("box that cannot be split")
            << QByteArray("%%BoundingBox: 0  0 612 792\n") << true;
        QTest::newRow("moved copy that cannot be read")
            << QByteArray("%%BoundingBox: 0 0 612 792\n") << false;
    }
    void boundingBoxScanFailureStartsNothing() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, readable);
        DistillerFixture<FakeProcesses, HeadFailingFiles> g;
        g.ghostscriptWritesOutput();
        g.config.opts.useBoundingBox = true;
        if (!readable) {
            g.files.failingHeads.insert(g.moved + "a.eps");
        }
        writeFile(g.watch + "a.eps", contents);
        writeFile(g.watch + "b.eps", "%%BoundingBox: 0 0 612 792\n");
        g.switchOnAndTick();
        QCOMPARE(g.processes.started.size(), 1);
        QCOMPARE(g.processes.started[0].request.arguments.last(), g.moved + "b.eps");
        QVERIFY(g.processes.started[0].request.arguments.contains("-g6120x7920"));
        QCOMPARE(g.config.counter(), 1.0);
        QVERIFY(exists(g.moved + "a.eps"));
        QVERIFY(g.results.entries.contains("failed: " + g.moved + "a.eps"));
        QVERIFY(g.results.entries.contains(g.output + "b.pdf"));
        QCOMPARE(g.results.reasons, QStringList{"its bounding box comment cannot be read"});
    }

    void singleFileMode() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "given.ps");
        writeFile(f->watch + "other.ps");
        const QString beside = f->root.path() + "/beside/given.pdf";
        QDir().mkpath(f->root.path() + "/beside");
        QStringList endings;
        distiller().beginSingleFile(
            {QStringLiteral("given.ps"), beside, [&](const QString& pdf) { endings << pdf; }});
        switchOnAndTick();
        QCOMPARE(endings, QStringList{beside});
        QVERIFY(exists(beside));
        QVERIFY(exists(f->output + "other.pdf"));
        QVERIFY(!exists(f->moved + "given.ps"));
        QVERIFY(exists(f->moved + "other.ps"));
    }

    void singleFileEndingRunsOnEmptyFolder() {
        QStringList endings;
        distiller().beginSingleFile({QStringLiteral("given.ps"), f->root.path() + "/given.pdf",
                                     [&](const QString& pdf) { endings << pdf; }});
        switchOnAndTick();
        QCOMPARE(endings, QStringList{QString()});
    }
};

QTEST_MAIN(TestDistillCycle)
#include "test_distill_cycle.moc"
