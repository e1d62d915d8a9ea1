#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "shell/colors.h"
#include "engine/distiller.h"
#include "shell/outline.h"
#include "support/main_window_fixture.h"

namespace {

bool exists(const QString& path) {
    return QFileInfo::exists(path);
}

}  // namespace

class TestDistillCycle : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    Distiller& distiller() { return f->window->distiller(); }
    // Switches on and runs one tick; the window's own timer is stopped so that
    // every pass in a test is one the test started.
    void switchOnAndTick() {
        distiller().Start_Distiller();
        distiller().tick();
    }

  private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->control<QTimer>("tmrAutodistill")->stop();
    }
    void cleanup() { f.reset(); }

    void convertsPostScriptFilesInListingOrder() {
        f->ghostscriptWritesOutput();
        f->writeFile(f->watch + "a.ps");
        f->writeFile(f->watch + "b.txt");
        f->writeFile(f->watch + "c.EPS");
        switchOnAndTick();

        QCOMPARE(f->platform.started.size(), 2);
        QCOMPARE(f->platform.started[0].commandLine,
                 QStringLiteral("/usr/bin/gs -q -dNOPAUSE  -dBATCH -sDEVICE=pdfwrite "
                                "-sOutputFile=\"%1Temp_Stay_off\" \"%2a.ps\"")
                     .arg(f->watch, f->moved));
        QVERIFY(f->platform.started[1].commandLine.endsWith(f->moved + "c.EPS\""));
        QCOMPARE(f->platform.started[0].mode, WindowMode::Minimised);
        QCOMPARE(f->listEntries(), QStringList({f->output + "a.pdf", f->output + "c.pdf"}));
        QCOMPARE(f->control<QListWidget>("lstConverted")->currentRow(), 1);
        QVERIFY(exists(f->watch + "b.txt"));
        QVERIFY(!exists(f->watch + "a.ps") && !exists(f->watch + "c.EPS"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        // Delete option off: the sources stay in the move-to folder.
        QVERIFY(exists(f->moved + "a.ps") && exists(f->moved + "c.EPS"));
        QCOMPARE(f->caption("lblCurrentCount"), QStringLiteral("2"));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("2"));
        QCOMPARE(f->caption("lblStatus"),
                 QStringLiteral("Distiller is active, nothing to distill at this moment....."));
    }

    void deleteOptionRemovesMovedCopies() {
        f->ghostscriptWritesOutput();
        f->control<QCheckBox>("chkDeletePSFiles")->setChecked(true);
        f->writeFile(f->watch + "a.ps");
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
            f->writeFile(f->watch + name);
        }
        switchOnAndTick();
        QStringList expected;
        for (const QString& pdf : pdfs) {
            expected.append(f->output + pdf);
        }
        QCOMPARE(f->listEntries(), expected);
    }

    void replacesExistingFiles() {
        f->ghostscriptWritesOutput();
        f->writeFile(f->output + "a.pdf", "old pdf");
        f->writeFile(f->moved + "a.ps", "old source");
        f->writeFile(f->watch + "Temp_Stay_off", "leftover");
        f->writeFile(f->watch + "a.ps", "new source");
        switchOnAndTick();
        QFile pdf(f->output + "a.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll(), QByteArray("%PDF-1.4\n"));
        QFile source(f->moved + "a.ps");
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(source.readAll(), QByteArray("new source"));
    }

    void runningIndicatorOrderOverTicks() {
        distiller().Start_Distiller();
        const char* const expected[] = {"Shape3", "Shape4", "Shape5", "Shape6",
                                        "Shape7", "Shape2", "Shape3"};
        for (const char* lit : expected) {
            distiller().tick();
            for (const char* shape : Distiller::kIndicatorShapes) {
                const quint32 color = f->control<Outline>(shape)->borderColor();
                const bool isLit = QByteArray(shape) == lit;
                QCOMPARE(color, isLit ? Color_Running : Color_Green);
                if (!isLit) {
                    QVERIFY(color != Color_Running);
                }
            }
        }
    }

    void indicatorStandsStillWhileOff() {
        distiller().Start_Distiller();
        distiller().tick();
        f->control<QPushButton>("cmdStop")->click();
        const qint16 step = distiller().state().RunStep;
        distiller().tick();
        QCOMPARE(distiller().state().RunStep, step);
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
        // Switching on again goes on from the step where it stopped.
        distiller().Start_Distiller();
        distiller().tick();
        QCOMPARE(distiller().state().RunStep, step + 1);
    }

    void ghostscriptMissing() {
        f->platform.failStart = true;
        f->control<QCheckBox>("chkDeletePSFiles")->setChecked(true);
        f->writeFile(f->watch + "Temp_Stay_off", "leftover from an earlier run");
        f->writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("0"));
        QCOMPARE(f->window->counter(), 0.0);
        QCOMPARE(f->listEntries(),
                 QStringList{f->moved + "a.ps (conversion failed, no PDF was made)"});
        const auto* item = f->control<QListWidget>("lstConverted")->item(0);
        QVERIFY(item->data(FrmMain::kFailedRole).toBool());
    }

    void ghostscriptWritesNothing() {
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            f->platform.finishProcess(start.id);
        };
        f->control<QCheckBox>("chkDeletePSFiles")->setChecked(true);
        f->writeFile(f->watch + "a.ps");
        f->writeFile(f->watch + "b.ps");
        switchOnAndTick();
        QVERIFY(exists(f->moved + "a.ps") && exists(f->moved + "b.ps"));
        QCOMPARE(f->listEntries().size(), 2);
        QVERIFY(f->listEntries()[0].startsWith(f->moved + "a.ps "));
        // Ghostscript was started, so both runs count.
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("2"));
    }

    void ghostscriptFailsAfterWriting() {
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            f->writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
            f->platform.finishProcess(start.id, true);
        };
        f->control<QCheckBox>("chkDeletePSFiles")->setChecked(true);
        f->writeFile(f->watch + "a.ps");
        switchOnAndTick();
        QVERIFY(!exists(f->output + "a.pdf"));
        QVERIFY(!exists(f->watch + "Temp_Stay_off"));
        QVERIFY(exists(f->moved + "a.ps"));
        QCOMPARE(f->listEntries(),
                 QStringList{f->moved + "a.ps (conversion failed, no PDF was made)"});
    }

    void copyIntoMoveFolderFails() {
        f->ghostscriptWritesOutput();
        f->platform.copyFailures[f->moved + "a.ps"] = FileResult::Failed;
        f->writeFile(f->watch + "a.ps");
        switchOnAndTick();
        distiller().tick();
        QVERIFY(exists(f->watch + "a.ps"));
        QVERIFY(f->platform.started.isEmpty());
        QCOMPARE(f->listEntries().size(), 1);  // listed once, not at every pass
        QVERIFY(f->listEntries()[0].startsWith(f->watch + "a.ps"));
    }

    void copyIntoMoveFolderDenied() {
        f->platform.copyFailures[f->moved + "a.ps"] = FileResult::PermissionDenied;
        f->writeFile(f->watch + "a.ps");
        f->writeFile(f->watch + "b.ps");
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("File %1a.ps is accessed by another "
                                                         "program, please wait...")
                                              .arg(f->watch));
        QVERIFY(exists(f->watch + "a.ps") && exists(f->watch + "b.ps"));
        QVERIFY(f->platform.started.isEmpty());
    }

    void pdfCannotBeReplaced() {
        f->ghostscriptWritesOutput();
        f->platform.copyFailures[f->output + "a.pdf"] = FileResult::PermissionDenied;
        f->writeFile(f->watch + "a.ps");
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("File %1a.ps is accessed by another "
                                                         "program, please wait...")
                                              .arg(f->watch));
        QVERIFY(exists(f->moved + "a.ps"));
        QVERIFY(exists(f->watch + "Temp_Stay_off"));
        QVERIFY(f->listEntries().isEmpty());
        distiller().tick();
        QCOMPARE(f->platform.started.size(), 1);  // not taken up again
    }

    void waitsForHeldFile() {
        f->ghostscriptWritesOutput();
        const QString source = f->writeFile(f->watch + "a.ps");
        f->platform.held[source] = -1;
        f->window->setStatus(QStringLiteral("before"));
        QString statusWhileHeld;
        bool sourceKeptWhileHeld = false;
        QTimer::singleShot(350, [&] {
            statusWhileHeld = f->caption("lblStatus");
            sourceKeptWhileHeld = exists(source);
            f->platform.held.remove(source);
        });
        distiller().Start_Distiller();
        distiller().Distill_Folder();
        QCOMPARE(statusWhileHeld, QStringLiteral("before"));
        QVERIFY(sourceKeptWhileHeld);
        QVERIFY(f->platform.heldChecks >= 3);
        QCOMPARE(f->listEntries(), QStringList{f->output + "a.pdf"});
    }

    void stopWhileWaitingForHeldFile() {
        f->ghostscriptWritesOutput();
        const QString source = f->writeFile(f->watch + "a.ps");
        f->platform.held[source] = -1;
        QTimer::singleShot(150, [&] { f->control<QPushButton>("cmdStop")->click(); });
        switchOnAndTick();
        QVERIFY(exists(source));
        QVERIFY(!exists(f->moved + "a.ps"));
        QVERIFY(f->platform.started.isEmpty());
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
        QVERIFY(!distiller().state().PassHold);
    }

    void stopWhileGhostscriptRuns() {
        f->writeFile(f->watch + "a.ps");
        f->writeFile(f->watch + "b.ps");
        f->platform.onStart = [this](const FakePlatform::Started& start) {
            QTimer::singleShot(100, [this] { f->control<QPushButton>("cmdStop")->click(); });
            QTimer::singleShot(300, [this, start] {
                f->writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
                f->platform.finishProcess(start.id);
            });
        };
        switchOnAndTick();
        // The file in hand is finished; the next one is left where it is.
        QCOMPARE(f->listEntries(), QStringList{f->output + "a.pdf"});
        QVERIFY(exists(f->watch + "b.ps"));
        QCOMPARE(f->caption("lblStatus"), QStringLiteral("Distiller is not active"));
    }

    void ghostscriptRunIsWaitedFor() {
        f->writeFile(f->watch + "a.ps");
        bool pdfListedEarly = true;
        f->platform.onStart = [this, &pdfListedEarly](const FakePlatform::Started& start) {
            QTimer::singleShot(300, [this, start, &pdfListedEarly] {
                pdfListedEarly = !f->listEntries().isEmpty();
                QCOMPARE(f->caption("lblStatus"), QStringLiteral("Converting a.ps"));
                f->writeFile(outputFileOf(start.commandLine), "%PDF-1.4\n");
                f->platform.finishProcess(start.id);
            });
        };
        switchOnAndTick();
        QVERIFY(!pdfListedEarly);
        QCOMPARE(f->listEntries(), QStringList{f->output + "a.pdf"});
    }

    void boundingBoxScanFailureStartsNothing() {
        f->ghostscriptWritesOutput();
        f->control<QCheckBox>("chkUseBBX")->setChecked(true);
        f->writeFile(f->watch + "a.eps", "%%BoundingBox: 0  0 612 792\n");
        f->writeFile(f->watch + "b.eps", "%%BoundingBox: 0 0 612 792\n");
        switchOnAndTick();
        QCOMPARE(f->platform.started.size(), 1);
        QVERIFY(f->platform.started[0].commandLine.contains(" -g6120x7920 "));
        QCOMPARE(f->caption("lblTeller"), QStringLiteral("1"));
        QVERIFY(exists(f->moved + "a.eps"));
    }

    void unreadableFileForScanStartsNothing() {
        f->ghostscriptWritesOutput();
        f->control<QCheckBox>("chkUseBBX")->setChecked(true);
        f->writeFile(f->watch + "a.eps");
        f->platform.unreadable.insert(f->moved + "a.eps");
        switchOnAndTick();
        QVERIFY(f->platform.started.isEmpty());
        QCOMPARE(f->window->counter(), 0.0);
    }

    void singleFileMode() {
        f->ghostscriptWritesOutput();
        f->writeFile(f->watch + "given.ps");
        f->writeFile(f->watch + "other.ps");
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
