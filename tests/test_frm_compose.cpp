#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "distill/distiller.h"
#include "merge/merge_job.h"
#include "platform/linux/aside_path.h"
#include "shell/frm_compose.h"
#include "support/app_fixture.h"

class TestFrmCompose : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;
    QStringList listed;  // the PostScript files of the merge folder, in folder order

    FrmCompose& dialog() { return f->app->frmCompose(); }
    template <typename T = QPushButton>
    T* control(const char* name) {
        return dialog().findChild<T*>(QLatin1String(name));
    }
    QListWidget* list() { return control<QListWidget>("lstCompose"); }
    QStringList rows() {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i) {
            texts.append(list()->item(i)->text());
        }
        return texts;
    }
    void open() {
        QTest::mouseClick(f->control<QPushButton>("cmdCompose"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog()));
    }
    void click(const char* button) { QTest::mouseClick(control(button), Qt::LeftButton); }
    QPoint rowCentre(int row) { return list()->visualItemRect(list()->item(row)).center(); }
    // The 200 ms timer's tick, and the distill pass it began to its end.
    void tick() {
        QMetaObject::invokeMethod(&f->app->timer(), "timeout");
        QTRY_VERIFY(!f->app->distiller().isPassInProgress());
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        f->window().move(200, 100);
        QVERIFY(f->showWindow());
        for (const char* name : {"x.ps", "y.ps", "z.ps", "notes.txt"}) {
            writeFile(f->merge + name);
        }
        listed = entryNames(f->files, f->merge).filter(QStringLiteral(".ps"));
        QCOMPARE(listed.size(), 3);
    }
    void cleanup() { f.reset(); }

    // Opened over the main window, not modal; the order made by hand lasts
    // until the next opening; with nothing to merge the list is rebuilt.
    void opensOverTheMainWindow() {
        open();
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(dialog().windowTitle(), "TarnWick 3.9 Merge mode");
        const QRect main = f->window().frameGeometry();
        QCOMPARE(dialog().frameGeometry().top(), main.top());
        QVERIFY(qAbs(dialog().frameGeometry().center().x() - main.center().x()) <= 1);
        QCOMPARE(rows(), listed + QStringList{""});

        click("cmdRemove");
        QCOMPARE(rows(), listed.mid(1) + QStringList{""});
        click("cmdClose");
        QVERIFY(dialog().isHidden());
        open();
        QCOMPARE(rows(), listed + QStringList{""});

        for (const QString& name : std::as_const(listed)) {
            QVERIFY(QFile::remove(f->merge + name));
        }
        click("cmdReload");
        writeFile(f->merge + "new.pdf");
        click("cmdMakeOnePS");
        QCOMPARE(f->prompts.shown.size(), 1);
        QCOMPARE(rows(), QStringList({"new.pdf", ""}));

        f->app->applyLanguage("FI");
        QCOMPARE(dialog().windowTitle(), QString::fromUtf8("TarnWick 3.9 Yhdistämistila"));
    }

    // A code outside the six keeps the English texts, title included.
    void unknownLanguageKeepsTheEnglishTitle() {
        f->app->applyLanguage("XX");
        QCOMPARE(dialog().windowTitle(), "TarnWick 3.9 Merge mode");
    }

    // With the left button the selection follows the pointer from the first
    // row to the third; the row lands before the third, or after it with
    // Shift alone. The right button moves no selection, so it moves no row
    // and Remove then takes the row selected before.
    void dragsWithTheMouse_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<QList<int>>("order");  // rows of the folder order
        const Qt::KeyboardModifiers none;
        QTest::newRow("plain") << Qt::LeftButton << none << QList<int>{1, 0, 2};
        QTest::newRow("Shift") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << QList<int>{1, 2, 0};
        QTest::newRow("Shift and Control")
            << Qt::LeftButton << (Qt::ShiftModifier | Qt::ControlModifier) << QList<int>{1, 0, 2};
        QTest::newRow("right button") << Qt::RightButton << none << QList<int>{0, 1, 2};
    }
    void dragsWithTheMouse() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(QList<int>, order);
        QStringList expected;
        for (int row : order) {
            expected << listed[row];
        }
        open();
        QWidget* viewport = list()->viewport();
        QTest::mousePress(viewport, button, keys, rowCentre(0));
        QTest::mouseMove(viewport, rowCentre(1));
        QTest::mouseMove(viewport, rowCentre(2));
        QTest::mouseRelease(viewport, button, keys, rowCentre(2));
        if (button == Qt::RightButton) {
            QTest::mouseClick(viewport, button, keys, rowCentre(2));
        }
        QCOMPARE(rows(), expected << "");
        QCOMPARE(list()->currentRow(), order.indexOf(0));
        click("cmdRemove");
        expected.removeAt(order.indexOf(0));
        QCOMPARE(rows(), expected);
    }

    // While Ghostscript merges, only the progress line shows and the
    // distiller waits; then the merged file is listed and counted.
    void mergeHoldsTheDistiller() {
        writeFile(f->watch + "w.ps");
        f->app->distiller().Start_Distiller();
        open();
        click("cmdMakeOnePS");
        auto* patience = control<QLabel>("lblPatience");
        QVERIFY(patience->isVisible() && !list()->isVisible());
        QCOMPARE(patience->text(), "Waiting for Ghostscript to finish....");
        tick();
        QCOMPARE(f->processes.started.size(), 1);

        // Ghostscript writes the merged file aside; it is renamed into place.
        const QString merged = f->output + "Merged_File_0001.pdf";
        writeFile(asidePathOf(merged), kWholePdf);
        f->processes.finishRun(f->processes.started[0].id);
        QTRY_VERIFY(dialog().isHidden());
        QVERIFY(list()->isVisibleTo(&dialog()));
        QCOMPARE(readFile(merged), kWholePdf);
        QCOMPARE(f->listEntries(), QStringList{merged});
        QCOMPARE(f->caption("lblTeller") + f->caption("lblCurrentCount"), "11");
        f->ghostscriptWritesOutput();
        tick();
        QCOMPARE(f->processes.started.size(), 2);
    }

    void exitEndsARunningMerge() {
        open();
        click("cmdMakeOnePS");
        QCOMPARE(f->processes.started.size(), 1);
        f->app->exitProgram();
        QVERIFY(!f->processes.isRunning(f->processes.started[0].id));
        QVERIFY(!f->app->mergeJob().isRunning());
        QCOMPARE(f->life.endCount, 1);
        QVERIFY(f->prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestFrmCompose)
#include "test_frm_compose.moc"
