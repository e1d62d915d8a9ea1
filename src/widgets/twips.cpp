#include "widgets/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

int pixelsToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * twipsPerPixel()));
}
