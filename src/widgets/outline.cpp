#include "widgets/outline.h"

#include <QPainter>

#include "widgets/colors.h"

Outline::Outline(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Outline::setBorderColor(quint32 bbggrr) {
    color_ = bbggrr;
    update();
}

void Outline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(toQColor(color_));
    pen.setWidth(2);
    painter.setPen(pen);
    if (width() <= 3 || height() <= 3) {
        // A separator: one line along its long side.
        if (width() >= height()) {
            painter.drawLine(0, height() / 2, width(), height() / 2);
        } else {
            painter.drawLine(width() / 2, 0, width() / 2, height());
        }
        return;
    }
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
