#include "shell/window_animations.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include "widgets/twips.h"

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
void WindowAnimations::resizeTwips(double width, double height) {
    window_.resize(twipsToPixels(width), twipsToPixels(height));
}

void WindowAnimations::setFullSize(int widthTwips, int heightTwips) {
    fullWidth_ = widthTwips;
    fullHeight_ = heightTwips;
}

void WindowAnimations::recordFullSize() {
    setFullSize(pixelsToTwips(window_.width()), pixelsToTwips(window_.height()));
}

void WindowAnimations::Unroll_Window() {
    // A minimised or maximised window cannot be resized.
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    resizeTwips(kStripWidth, kStripHeight);
    const double heightStep = (fullHeight_ - kStripHeight) / steps_;
    const double widthStep = (fullWidth_ - kStripWidth) / steps_;
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
    resizeTwips(fullWidth_, fullHeight_);
}

void WindowAnimations::Roll_Up_Window() {
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    const double heightStep = (fullHeight_ - kStripHeight) / steps_;
    const double widthStep = (fullWidth_ - kStripWidth) / steps_;
    double width = pixelsToTwips(window_.width());
    double height = pixelsToTwips(window_.height());
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
