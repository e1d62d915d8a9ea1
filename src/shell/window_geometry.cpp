#include "shell/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "widgets/twips.h"

namespace {

qint16 toInt16(int twips) {
    return static_cast<qint16>(std::clamp<int>(twips, std::numeric_limits<qint16>::min(),
                                               std::numeric_limits<qint16>::max()));
}

}  // namespace

WindowGeometry::WindowGeometry(QWidget& window) : QObject(&window), window_(window) {}

void WindowGeometry::setSaved(qint16 left, qint16 top, const QString& windowState) {
    left_ = left;
    top_ = top;
    state_ = windowState;
}

// The place kept is the client area's, saved and restored alike: set as the
// client's place before the window is shown, a window manager keeps it
// (static gravity), where a frame's place would be taken for the client's or
// moved by the border on every start.
void WindowGeometry::restorePosition() {
    window_.setGeometry(twipsToPixels(left_), twipsToPixels(top_), window_.width(),
                        window_.height());
}

void WindowGeometry::recordPosition() {
    const Qt::WindowStates state = window_.windowState();
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        const QScreen* shown =
            window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
        const int screenWidth = pixelsToTwips(shown->geometry().width());
        const int screenHeight = pixelsToTwips(shown->geometry().height());
        const QRect frame = window_.frameGeometry();
        const QPoint client = window_.geometry().topLeft();
        const int width = pixelsToTwips(frame.width());
        const int height = pixelsToTwips(frame.height());
        int left = std::max(pixelsToTwips(client.x()), 0);
        if (pixelsToTwips(client.x()) + width > screenWidth) {
            left = screenWidth - width;
        }
        int top = pixelsToTwips(client.y());
        if (top < 0 || top + height > screenHeight) {
            top = 0;
        }
        left_ = toInt16(left);
        top_ = toInt16(top);
    }
    state_ = state & Qt::WindowMinimized ? QStringLiteral("1") : QStringLiteral("0");
}

void WindowGeometry::keepOnScreen() {
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    const QPoint place = window_.pos();
    if (place.x() < 0 || place.y() < 0) {
        window_.move(std::max(place.x(), 0), std::max(place.y(), 0));
    }
}
