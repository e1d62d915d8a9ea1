#include <QApplication>
#include <QTest>

#include "i18n/text_table.h"
#include "shell/frm_main.h"
#include "widgets/outline.h"

// Every control of the main window lies inside the frame it stands in, at
// the default font and with a larger one, in the inactive look that shows
// them all.
class TestMainWindowLayout : public QObject {
    Q_OBJECT
  private slots:
    void controlsLieInsideTheirFrames_data() {
        QTest::addColumn<double>("fontScale");
        QTest::newRow("default font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }
    void controlsLieInsideTheirFrames() {
        QFETCH(double, fontScale);
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * fontScale);
        QApplication::setFont(font);
        TextTable texts;
        texts.Select_Texts(QStringLiteral("GB"));
        FrmMain window(texts);
        window.writeCaptions();
        window.Make_Orange();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QList<const Outline*> frames;
        for (const Outline* outline : window.findChildren<Outline*>()) {
            if (outline->objectName().startsWith(QLatin1String("Shape"))) {
                frames.append(outline);
            }
        }
        QCOMPARE(frames.size(), 7);
        int checked = 0;
        for (const QWidget* control : window.findChildren<QWidget*>()) {
            if (qobject_cast<const Outline*>(control) != nullptr ||
                !control->isVisibleTo(&window) || control->parentWidget() != &window) {
                continue;
            }
            for (const Outline* frame : std::as_const(frames)) {
                if (frame->geometry().contains(control->geometry().center())) {
                    ++checked;
                    QVERIFY2(
                        frame->geometry().contains(control->geometry()),
                        qPrintable(control->objectName() + " runs out of " + frame->objectName()));
                }
            }
        }
        QVERIFY(checked > 30);
    }
};

QTEST_MAIN(TestMainWindowLayout)
#include "test_main_window_layout.moc"
