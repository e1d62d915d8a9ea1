#include <QCoreApplication>
#include <QThread>

#include "shell/frm_main.h"
#include "shell/twips.h"

namespace {

// The title-bar strip the window grows from and shrinks to, and the fixed
// heights at which the two animations stop.
constexpr double kStripWidth = 1845;
constexpr double kStripHeight = 510;
constexpr double kUnrollLimit = 8835;
constexpr double kRollUpLimit = 600;
constexpr unsigned long kStepPauseMs = 5;

void letEventsRun() {
    QCoreApplication::processEvents();
    QThread::msleep(kStepPauseMs);
}

}  // namespace

// The window stays resizable: after a counter reset it is left rolled up,
// and the user drags or maximises it back.
void FrmMain::resizeTwips(double width, double height) {
    resize(twipsToPixels(width), twipsToPixels(height));
}

double FrmMain::heightTwips() const {
    return pixelsToTwips(QWidget::height());
}

void FrmMain::Unroll_Window() {
    // A minimised or maximised window cannot be resized.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    resizeTwips(kStripWidth, kStripHeight);
    const double heightStep = (fullHeight - kStripHeight) / animationSteps;
    const double widthStep = (fullWidth - kStripWidth) / animationSteps;
    // The size is counted here rather than read back, so that pixel rounding
    // or a window manager that refuses a size cannot hold the loop.
    double width = kStripWidth;
    double height = kStripHeight;
    while (heightStep > 0 && height <= kUnrollLimit) {
        width += widthStep;
        height += heightStep;
        resizeTwips(width, height);
        letEventsRun();
    }
    resizeTwips(fullWidth, fullHeight);
}

void FrmMain::Roll_Up_Window() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    const double heightStep = (fullHeight - kStripHeight) / animationSteps;
    const double widthStep = (fullWidth - kStripWidth) / animationSteps;
    double width = pixelsToTwips(this->width());
    double height = heightTwips();
    while (heightStep > 0 && height >= kRollUpLimit) {
        width -= widthStep;
        height -= heightStep;
        resizeTwips(width, height);
        letEventsRun();
    }
    if (height >= kRollUpLimit) {
        resizeTwips(kStripWidth, kStripHeight);
    }
}
