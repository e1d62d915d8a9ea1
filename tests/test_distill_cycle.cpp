#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "support/engine_fixture.h"

namespace {

bool exists(const QString& path) {
    return QFileInfo::exists(path);
}

}  // namespace

class TestDistillCycle : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

    Distiller& distiller() { return f->distiller; }
    // Switches on and runs one tick.
    void switchOnAndTick() {
        distiller().Start_Distiller();
        distiller().tick();
    }

  private slots:
    void init() { f = std::make_unique<EngineFixture>(); }
    void cleanup() { f.reset(); }

    void convertsPostScriptFilesInListingOrder() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.txt");
        writeFile(f->watch + "c.EPS");
        switchOnAndTick();

        QCOMPARE(f->platform.started.size(), 2);
        QCOMPARE(f->platform.started[0].commandLine, QStringLiteral("/usr/bin/gs"));
        QCOMPARE(f->platform.started[0].arguments,
                 QStringList({"-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                              "-sOutputFile=" + f->watch + "Temp_Stay_off", f->moved + "a.ps"}));
        QCOMPARE(f->platform.started[1].arguments.last(), f->moved + "c.EPS");
        QCOMPARE(f->platform.started[0].mode, WindowMode::Minimised);
        QCOMPARE(f->results.entries, QStringList({f->output + "a.pdf", f->output + "c.pdf"}));
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
        QCOMPARE(f->results.entries, expected);
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
            distiller().tick();
        }
        QList<int> frames;
        for (const QList<QVariant>& step : steps) {
            frames.append(step[0].toInt());
        }
        QCOMPARE(frames, QList<int>({1, 2, 3, 4, 5, 6, 1}));
    }

    void indicatorStandsStillWhileOff() {
        distiller().Start_Distiller();
        distiller().tick();
        distiller().Stop_Distiller();
        const qint16 step = distiller().state().RunStep;
        distiller().tick();
        QCOMPARE(distiller().state().RunStep, step);
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));
        // Switching on again goes on from the step where it stopped.
        distiller().Start_Distiller();
        distiller().tick();
        QCOMPARE(distiller().state().RunStep, step + 1);
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
        f->platform.failStart = exitCode == -2;
        f->platform.onStart = [&](const FakePlatform::Started& start) {
            writeFile(outputFileOf(start), output);
            f->platform.finishProcess(start.id,
                                      exitCode == -1 ? std::nullopt : std::optional(exitCode));
        };
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{reason.replace("{watch}", f->watch)});
        // A run that was started counts.
        QCOMPARE(f->config.counter(), exitCode == -2 ? 0.0 : 1.0);
    }

    // A file that cannot be taken stays in the watched folder, is listed once
    // with the reason and left alone until it changes; the others go on.
    void refusedFileIsListedOnceUntilItChanges_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not readable")
            << int(MoveError::Step::ReadSource) << "the file cannot be read (Permission denied)";
        QTest::newRow("not removable from the watched folder")
            << int(MoveError::Step::RemoveSource)
            << "the file cannot be taken out of the folder {watch} (Permission denied)";
        QTest::newRow("move-to folder refuses it")
            << int(MoveError::Step::WriteTarget)
            << "the ps move to folder {moved} cannot be used (Permission denied)";
    }
    void refusedFileIsListedOnceUntilItChanges() {
        QFETCH(int, step);
        QFETCH(QString, reason);
        f->ghostscriptWritesOutput();
        f->platform.moveFailures[f->moved + "a.ps"] = {MoveError::Step(step), "Permission denied"};
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        switchOnAndTick();
        distiller().tick();
        QCOMPARE(f->results.entries,
                 QStringList({"failed: " + f->watch + "a.ps", f->output + "b.pdf"}));
        QCOMPARE(f->results.reasons,
                 QStringList{reason.replace("{watch}", f->watch).replace("{moved}", f->moved)});
        QVERIFY(exists(f->watch + "a.ps"));

        f->platform.moveFailures.clear();
        writeFile(f->watch + "a.ps", "%!PS\n% changed\n");
        distiller().tick();
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
        distiller().tick();
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->watch + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{reason.replace("{folder}", path)});
        QVERIFY(exists(f->watch + "a.ps"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(f->platform.started.isEmpty());

        QVERIFY(QDir().mkpath(path));
        distiller().tick();
        QCOMPARE(f->results.entries.last(), f->output + "a.pdf");
    }

    void pdfCannotBePlaced() {
        f->ghostscriptWritesOutput();
        f->platform.moveFailures[f->output + "a.pdf"] = {MoveError::Step::WriteTarget,
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
        f->platform.held[source] = -1;
        f->results.setStatus(QStringLiteral("before"));
        QString statusWhileHeld;
        bool sourceKeptWhileHeld = false;
        QTimer::singleShot(350, [&] {
            statusWhileHeld = f->results.status;
            sourceKeptWhileHeld = exists(source);
            f->platform.held.remove(source);
        });
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(statusWhileHeld, QStringLiteral("before"));
        QVERIFY(sourceKeptWhileHeld);
        QVERIFY(f->platform.heldChecks >= 3);
        QCOMPARE(f->results.entries, QStringList{f->output + "a.pdf"});
    }

    void stopWhileWaitingForHeldFile() {
        f->ghostscriptWritesOutput();
        const QString source = writeFile(f->watch + "a.ps");
        f->platform.held[source] = -1;
        QTimer::singleShot(150, [&] { distiller().Stop_Distiller(); });
        switchOnAndTick();
        QVERIFY(exists(source));
        QVERIFY(!exists(f->moved + "a.ps"));
        QVERIFY(f->platform.started.isEmpty());
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));
        QVERIFY(!distiller().state().PassHold);
    }

    // Stop ends the run in hand: the moved copy stays, listed as failed, the
    // next file waits in the watched folder and converts after switching on.
    void stopWhileGhostscriptRuns() {
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        f->platform.onStart = [this](const FakePlatform::Started&) {
            QTimer::singleShot(100, [this] { distiller().Stop_Distiller(); });
        };
        switchOnAndTick();
        QCOMPARE(f->platform.endedRuns, QList<Platform::ProcessId>{f->platform.started[0].id});
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
        QCOMPARE(f->results.reasons, QStringList{"stopped before it was finished"});
        QVERIFY(exists(f->moved + "a.ps") && exists(f->watch + "b.ps"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));

        f->ghostscriptWritesOutput();
        switchOnAndTick();
        QCOMPARE(f->results.entries.last(), f->output + "b.pdf");
    }

    void ghostscriptRunIsWaitedFor() {
        writeFile(f->watch + "a.ps");
        bool pdfListedEarly = true;
        f->platform.onStart = [this, &pdfListedEarly](const FakePlatform::Started& start) {
            QTimer::singleShot(300, [this, start, &pdfListedEarly] {
                pdfListedEarly = !f->results.entries.isEmpty();
                QCOMPARE(f->results.status, QStringLiteral("Converting a.ps"));
                writeFile(outputFileOf(start), kWholePdf);
                f->platform.finishProcess(start.id);
            });
        };
        switchOnAndTick();
        QVERIFY(!pdfListedEarly);
        QCOMPARE(f->results.entries, QStringList{f->output + "a.pdf"});
    }

    void boundingBoxScanFailureStartsNothing() {
        f->ghostscriptWritesOutput();
        f->config.opts.useBoundingBox = true;
        writeFile(f->watch + "a.eps", "%%BoundingBox: 0  0 612 792\n");
        writeFile(f->watch + "b.eps", "%%BoundingBox: 0 0 612 792\n");
        switchOnAndTick();
        QCOMPARE(f->platform.started.size(), 1);
        QVERIFY(f->platform.started[0].arguments.contains("-g6120x7920"));
        QCOMPARE(f->config.counter(), 1.0);
        QVERIFY(exists(f->moved + "a.eps"));
        QCOMPARE(f->results.reasons, QStringList{"its bounding box comment cannot be read"});
    }

    void unreadableFileForScanStartsNothing() {
        f->ghostscriptWritesOutput();
        f->config.opts.useBoundingBox = true;
        writeFile(f->watch + "a.eps");
        f->platform.unreadable.insert(f->moved + "a.eps");
        switchOnAndTick();
        QVERIFY(f->platform.started.isEmpty());
    }

    void singleFileMode() {
        f->ghostscriptWritesOutput();
        writeFile(f->watch + "given.ps");
        writeFile(f->watch + "other.ps");
        int endings = 0;
        DistillerState& state = distiller().state();
        state.SingleFileMode = true;
        state.SingleFileName = QStringLiteral("given.ps");
        state.SingleFilePdfPath = f->root.path() + "/beside/given.pdf";
        QDir().mkpath(f->root.path() + "/beside");
        state.SingleFileEnding = [&endings] { ++endings; };
        switchOnAndTick();
        QCOMPARE(endings, 1);
        QVERIFY(exists(state.SingleFilePdfPath));
        QVERIFY(exists(f->output + "other.pdf"));
        QVERIFY(!exists(f->moved + "given.ps"));
        QVERIFY(exists(f->moved + "other.ps"));
    }

    void singleFileEndingRunsOnEmptyFolder() {
        int endings = 0;
        distiller().state().SingleFileMode = true;
        distiller().state().SingleFileEnding = [&endings] { ++endings; };
        switchOnAndTick();
        QCOMPARE(endings, 1);
    }
};

QTEST_MAIN(TestDistillCycle)
#include "test_distill_cycle.moc"
