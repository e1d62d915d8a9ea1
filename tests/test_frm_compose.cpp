#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "engine/distiller.h"
#include "merge/merge_job.h"
#include "shell/frm_compose.h"
#include "support/main_window_fixture.h"

class TestFrmCompose : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    FrmCompose& dialog() { return f->window->frmCompose(); }
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
    void tick() { QMetaObject::invokeMethod(&f->window->timer(), "timeout"); }

  private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->window->move(200, 100);
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
        for (const char* name : {"x.ps", "y.ps", "z.ps", "notes.txt"}) {
            f->writeFile(f->merge + name);
        }
    }
    void cleanup() { f.reset(); }

    // Opened over the main window, not modal; the order made by hand lasts
    // until the next opening; with nothing to merge the list is rebuilt.
    void opensOverTheMainWindow() {
        open();
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(dialog().windowTitle(), "TarnWick 3.9 Merge mode");
        const QRect main = f->window->frameGeometry();
        QCOMPARE(dialog().frameGeometry().top(), main.top());
        QVERIFY(qAbs(dialog().frameGeometry().center().x() - main.center().x()) <= 1);
        QCOMPARE(rows(), QStringList({"x.ps", "y.ps", "z.ps", ""}));

        click("cmdRemove");
        QCOMPARE(rows(), QStringList({"y.ps", "z.ps", ""}));
        click("cmdClose");
        QVERIFY(dialog().isHidden());
        open();
        QCOMPARE(rows(), QStringList({"x.ps", "y.ps", "z.ps", ""}));

        for (const char* name : {"x.ps", "y.ps", "z.ps"}) {
            QFile::remove(f->merge + name);
        }
        click("cmdReload");
        f->writeFile(f->merge + "new.pdf");
        click("cmdMakeOnePS");
        QCOMPARE(f->platform.fakePrompts.shown.size(), 1);
        QCOMPARE(rows(), QStringList({"new.pdf", ""}));

        f->window->applyLanguage("FI");
        QCOMPARE(dialog().windowTitle(), QString::fromUtf8("TarnWick 3.9 Yhdistämistila"));
    }

    // The selection follows the pointer from x to z; the row lands before z,
    // or after it with Shift alone.
    void dragsWithTheMouse_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("plain") << Qt::KeyboardModifiers() << QStringList{"y.ps", "x.ps", "z.ps"};
        QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << QStringList{"y.ps", "z.ps", "x.ps"};
        QTest::newRow("Shift and Control")
            << (Qt::ShiftModifier | Qt::ControlModifier) << QStringList{"y.ps", "x.ps", "z.ps"};
    }
    void dragsWithTheMouse() {
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(QStringList, order);
        open();
        QWidget* viewport = list()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, keys, rowCentre(0));
        QTest::mouseMove(viewport, rowCentre(1));
        QTest::mouseMove(viewport, rowCentre(2));
        QTest::mouseRelease(viewport, Qt::LeftButton, keys, rowCentre(2));
        QCOMPARE(rows(), order << "");
        QCOMPARE(list()->currentRow(), order.indexOf("x.ps"));
    }

    // While Ghostscript merges, only the progress line shows and the
    // distiller waits; then the merged file is listed and counted.
    void mergeHoldsTheDistiller() {
        f->writeFile(f->watch + "w.ps");
        f->window->distiller().Start_Distiller();
        open();
        click("cmdMakeOnePS");
        auto* patience = control<QLabel>("lblPatience");
        QVERIFY(patience->isVisible() && !list()->isVisible());
        QCOMPARE(patience->text(), "Waiting for Ghostscript to finish....");
        tick();
        QCOMPARE(f->platform.started.size(), 1);

        const QString merged = f->output + "Merged_File_0001.pdf";
        f->writeFile(merged, "%PDF-1.4\n");
        f->platform.finishProcess(f->platform.started[0].id);
        QVERIFY(dialog().isHidden() && list()->isVisibleTo(&dialog()));
        QCOMPARE(f->listEntries(), QStringList{merged});
        QCOMPARE(f->caption("lblTeller") + f->caption("lblCurrentCount"), "11");
        f->ghostscriptWritesOutput();
        tick();
        QCOMPARE(f->platform.started.size(), 2);
    }

    void exitEndsARunningMerge() {
        open();
        click("cmdMakeOnePS");
        f->window->exitProgram();
        QVERIFY(!f->platform.isProcessRunning(f->platform.started[0].id));
        QVERIFY(!f->window->mergeJob().isRunning());
        QCOMPARE(f->platform.endCount, 1);
        QVERIFY(f->platform.fakePrompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestFrmCompose)
#include "test_frm_compose.moc"
