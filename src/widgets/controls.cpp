#include "widgets/controls.h"

#include <QMouseEvent>

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void ConvertedList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

void ReleaseCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    QCheckBox::mouseReleaseEvent(event);
    emit mouseReleased();
}
