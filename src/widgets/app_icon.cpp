#include "widgets/app_icon.h"

#include <QPainter>
#include <QPixmap>

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor red(0xc0, 0x40, 0x20);
        const QRectF page(size * 0.16, size * 0.06, size * 0.68, size * 0.88);
        painter.setPen(QPen(red, std::max(1.0, size / 20.0)));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(page, size * 0.06, size * 0.06);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, size * 9 / 32));
        painter.setFont(font);
        painter.drawText(page, Qt::AlignCenter, QStringLiteral("PDF"));
        icon.addPixmap(pixmap);
    }
    return icon;
}
