#include <QResizeEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "shell/window_animations.h"
#include "support/app_fixture.h"
#include "widgets/twips.h"

namespace {

// The strip the window grows from and shrinks to, and the heights at which
// the two animations stop, in twips.
constexpr int kStripWidth = 1845;
constexpr int kStripHeight = 510;
constexpr int kUnrollLimit = 8835;
constexpr int kRollUpLimit = 600;

// Every size the window is given, in the order the window receives them.
class ResizeRecorder : public QObject {
  public:
    QList<QSize> sizes;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            sizes.append(static_cast<QResizeEvent*>(event)->size());
        }
        return QObject::eventFilter(watched, event);
    }
};

int tallest(const QList<QSize>& sizes) {
    int height = 0;
    for (const QSize& size : sizes) {
        height = std::max(height, size.height());
    }
    return height;
}

}  // namespace

class TestWindowAnimations : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;
    ResizeRecorder recorder;

    FrmMain& window() { return f->window(); }
    WindowAnimations& animations() { return f->app->animations(); }
    int heightTwips() { return pixelsToTwips(window().height()); }
    // True while an animation runs.
    bool animating = false;

    // Runs an animation and lets the last resize arrive.
    void run(void (WindowAnimations::*animation)()) {
        recorder.sizes.clear();
        animating = true;
        (animations().*animation)();
        animating = false;
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        QVERIFY(f->showWindow());
        window().installEventFilter(&recorder);
    }
    void cleanup() {
        recorder.sizes.clear();
        f.reset();
    }

    // The expected pixel sizes below follow the screen's logical DPI, which
    // offscreen reports as 96; the check keeps a different setting visible.
    void twipsFollowLogicalDpi() {
        QCOMPARE(twipsToPixels(pixelsToTwips(100)), 100);
        QVERIFY(twipsPerPixel() > 0);
    }

    void unroll_data() {
        QTest::addColumn<int>("fullHeight");
        QTest::addColumn<int>("fullWidth");
        QTest::addColumn<int>("steps");
        // Steps until the counted height first passes 8835 twips, by hand.
        QTest::addColumn<int>("growSteps");
        // Below the stop height the last step overshoots the full size, and
        // the final resize pulls the window back.
        QTest::newRow("full height below the stop height") << 8000 << 9000 << 60 << 67;
        QTest::newRow("full height above the stop height") << 9600 << 9615 << 60 << 55;
        QTest::newRow("design size") << 8325 << 9615 << 60 << 64;
        QTest::newRow("ten steps") << 12000 << 9615 << 10 << 8;
    }
    void unroll() {
        QFETCH(int, fullHeight);
        QFETCH(int, fullWidth);
        QFETCH(int, steps);
        QFETCH(int, growSteps);
        animations().setFullSize(fullWidth, fullHeight);
        animations().setSteps(steps);
        const double heightStep = (fullHeight - kStripHeight) / double(steps);
        const double widthStep = (fullWidth - kStripWidth) / double(steps);

        // Events run between the steps: a timer due now fires after the first.
        QSize sizeWhenTimerFired;
        QTimer::singleShot(0, &window(), [&] {
            if (animating) {
                sizeWhenTimerFired = window().size();
            }
        });
        run(&WindowAnimations::Unroll_Window);

        const QList<QSize>& sizes = recorder.sizes;
        QVERIFY2(sizes.size() >= growSteps + 2, qPrintable(QString::number(sizes.size())));
        QCOMPARE(sizes.first(), QSize(twipsToPixels(kStripWidth), twipsToPixels(kStripHeight)));
        QCOMPARE(sizes.last(), QSize(twipsToPixels(fullWidth), twipsToPixels(fullHeight)));
        QCOMPARE(window().size(), sizes.last());
        // Strip, one size per step, final size.
        QCOMPARE(sizes.size(), growSteps + 2);
        const QList<QSize> growing = sizes.mid(1, growSteps);
        for (int i = 0; i < growing.size(); ++i) {
            const double height = kStripHeight + (i + 1) * heightStep;
            const double width = kStripWidth + (i + 1) * widthStep;
            // One pixel either way: the window counts by adding steps, this
            // by multiplying, and a half pixel may round to either side.
            QVERIFY2(std::abs(growing[i].height() - twipsToPixels(height)) <= 1 &&
                         std::abs(growing[i].width() - twipsToPixels(width)) <= 1,
                     qPrintable(QStringLiteral("step %1").arg(i + 1)));
        }
        // The last step is the first to pass the stop height, by less than a step.
        QVERIFY(pixelsToTwips(tallest(growing)) > kUnrollLimit);
        QVERIFY(tallest(growing) <= twipsToPixels(kUnrollLimit + heightStep));
        if (fullHeight < kUnrollLimit) {
            QVERIFY(tallest(growing) > twipsToPixels(fullHeight));
        }
        QVERIFY2(sizeWhenTimerFired.isValid(), "no events ran during the animation");
        QVERIFY(sizeWhenTimerFired.height() < twipsToPixels(kStripHeight + 2 * heightStep));
    }

    void rollUp_data() {
        QTest::addColumn<int>("fullHeight");
        QTest::addColumn<int>("fullWidth");
        QTest::addColumn<int>("steps");
        QTest::newRow("design size") << 8325 << 9615 << 60;
        QTest::newRow("below the unroll stop height") << 8000 << 9000 << 60;
        QTest::newRow("above the unroll stop height") << 9600 << 9615 << 60;
        QTest::newRow("ten steps") << 9600 << 9615 << 10;
        QTest::newRow("two steps") << 8325 << 9615 << 2;
    }
    void rollUp() {
        QFETCH(int, fullHeight);
        QFETCH(int, fullWidth);
        QFETCH(int, steps);
        animations().setFullSize(fullWidth, fullHeight);
        animations().setSteps(steps);
        run(&WindowAnimations::Unroll_Window);
        QCOMPARE(window().size(), QSize(twipsToPixels(fullWidth), twipsToPixels(fullHeight)));

        run(&WindowAnimations::Roll_Up_Window);
        const QList<QSize>& sizes = recorder.sizes;
        QVERIFY(!sizes.isEmpty());
        for (int i = 1; i < sizes.size(); ++i) {
            QVERIFY(sizes[i].height() < sizes[i - 1].height());
            QVERIFY(sizes[i].width() < sizes[i - 1].width());
        }
        QVERIFY2(heightTwips() < kRollUpLimit, qPrintable(QString::number(heightTwips())));
        QVERIFY(heightTwips() > 0 && window().width() > 0);
        // Only the last step reaches below 600 twips.
        for (int i = 0; i + 1 < sizes.size(); ++i) {
            QVERIFY(pixelsToTwips(sizes[i].height()) >= kRollUpLimit);
        }

        // Nothing grows the window back afterwards.
        QCoreApplication::processEvents();
        QVERIFY(heightTwips() < kRollUpLimit);
    }

    void rollUpOfARolledUpWindowKeepsIt() {
        animations().setFullSize(9615, 8325);
        run(&WindowAnimations::Roll_Up_Window);
        const QSize rolledUp = window().size();
        run(&WindowAnimations::Roll_Up_Window);
        QCOMPARE(window().size(), rolledUp);
        QVERIFY(heightTwips() < kRollUpLimit);
    }

    void noAnimationWhenMinimisedOrMaximised_data() {
        QTest::addColumn<bool>("unroll");
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("unroll, minimised") << true << Qt::WindowMinimized;
        QTest::newRow("unroll, maximised") << true << Qt::WindowMaximized;
        QTest::newRow("roll up, minimised") << false << Qt::WindowMinimized;
        QTest::newRow("roll up, maximised") << false << Qt::WindowMaximized;
    }
    void noAnimationWhenMinimisedOrMaximised() {
        QFETCH(bool, unroll);
        QFETCH(Qt::WindowState, state);
        animations().setFullSize(9615, 9600);
        window().setWindowState(state);
        QTRY_COMPARE(window().windowState(), Qt::WindowStates(state));
        // A maximised window takes its new size only once that reaches it.
        if (state == Qt::WindowMaximized) {
            QTRY_COMPARE(window().frameGeometry().size(),
                         window().screen()->availableGeometry().size());
        }
        const QSize before = window().size();
        run(unroll ? &WindowAnimations::Unroll_Window : &WindowAnimations::Roll_Up_Window);
        QVERIFY(recorder.sizes.isEmpty());
        QCOMPARE(window().size(), before);
        QCOMPARE(window().windowState(), Qt::WindowStates(state));
    }
};

QTEST_MAIN(TestWindowAnimations)
#include "test_window_animations.moc"
