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
        QCOMPARE(f->platform.started[0].commandLine,
                 QStringLiteral("/usr/bin/gs -q -dNOPAUSE  -dBATCH -sDEVICE=pdfwrite "
                                "-sOutputFile=\"%1Temp_Stay_off\" \"%2a.ps\"")
                     .arg(f->watch, f->moved));
        QVERIFY(f->platform.started[1].commandLine.endsWith(f->moved + "c.EPS\""));
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
        QCOMPARE(pdf.readAll(), QByteArray("%PDF-1.4\n"));
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

    void ghostscriptMissing() {
        f->platform.failStart = true;
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "Temp_Stay_off", "leftover from an earlier run");
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->config.counter(), 0.0);

        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
    }

    void ghostscriptWritesNothing() {
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            f->platform.finishProcess(start.id);
        };
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        switchOnAndTick();
        QVERIFY(exists(f->moved + "a.ps") && exists(f->moved + "b.ps"));
        QCOMPARE(f->results.entries.size(), 2);
        QCOMPARE(f->results.entries[0], "failed: " + f->moved + "a.ps");
        // Ghostscript was started, so both runs count.
        QCOMPARE(f->config.counter(), 2.0);
    }

    void ghostscriptFailsAfterWriting() {
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
            f->platform.finishProcess(start.id, true);
        };
        f->config.opts.deletePSFiles = true;
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->results.entries, QStringList{"failed: " + f->moved + "a.ps"});
    }

    void copyIntoMoveFolderFails() {
        f->ghostscriptWritesOutput();
        f->platform.copyFailures[f->moved + "a.ps"] = FileResult::Failed;
        writeFile(f->watch + "a.ps");
        switchOnAndTick();
        distiller().tick();
        QVERIFY(exists(f->watch + "a.ps"));
        QVERIFY(f->platform.started.isEmpty());
        QCOMPARE(f->results.entries.size(), 1);  // listed once, not at every pass
        QCOMPARE(f->results.entries[0], "failed: " + f->watch + "a.ps");
    }

    void copyIntoMoveFolderDenied() {
        f->platform.copyFailures[f->moved + "a.ps"] = FileResult::PermissionDenied;
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(f->results.status, QStringLiteral("File %1a.ps is accessed by another "
                                                   "program, please wait...")
                                        .arg(f->watch));
        QVERIFY(exists(f->watch + "a.ps") && exists(f->watch + "b.ps"));
        QVERIFY(f->platform.started.isEmpty());
    }

    void pdfCannotBeReplaced() {
        f->ghostscriptWritesOutput();
        f->platform.copyFailures[f->output + "a.pdf"] = FileResult::PermissionDenied;
        writeFile(f->watch + "a.ps");
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(f->results.status, QStringLiteral("File %1a.ps is accessed by another "
                                                   "program, please wait...")
                                        .arg(f->watch));
        QVERIFY(exists(f->moved + "a.ps"));
        QVERIFY(exists(f->watch + "Temp_Stay_off"));
        QVERIFY(f->results.entries.isEmpty());
        distiller().tick();
        QCOMPARE(f->platform.started.size(), 1);  // not taken up again
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

    void stopWhileGhostscriptRuns() {
        writeFile(f->watch + "a.ps");
        writeFile(f->watch + "b.ps");
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            QTimer::singleShot(100, [this] { distiller().Stop_Distiller(); });
            QTimer::singleShot(300, [this, start] {
                writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
                f->platform.finishProcess(start.id);
            });
        };
        switchOnAndTick();
        // The file in hand is finished; the next one is left where it is.
        QCOMPARE(f->results.entries, QStringList{f->output + "a.pdf"});
        QVERIFY(exists(f->watch + "b.ps"));
        QCOMPARE(f->results.status, QStringLiteral("Distiller is not active"));
    }

    void ghostscriptRunIsWaitedFor() {
        writeFile(f->watch + "a.ps");
        bool pdfListedEarly = true;
        f->platform.onStart = [this, &pdfListedEarly](const FakePlatform::Started& start) {
            QTimer::singleShot(300, [this, start, &pdfListedEarly] {
                pdfListedEarly = !f->results.entries.isEmpty();
                QCOMPARE(f->results.status, QStringLiteral("Converting a.ps"));
                writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
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
        QVERIFY(f->platform.started[0].commandLine.contains(" -g6120x7920 "));
        QCOMPARE(f->config.counter(), 1.0);
        QVERIFY(exists(f->moved + "a.eps"));
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
