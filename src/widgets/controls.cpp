#include "widgets/controls.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool isPressKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
           event->key() == Qt::Key_Space;
}

}  // namespace

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    if (isPressKey(event)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

// Enter acts as the left button (opens the selected PDF), the menu key and
// Shift+F10 as the right one (opens the output folder).
void ConvertedList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit mouseReleased(Qt::LeftButton);
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        emit mouseReleased(Qt::RightButton);
        return;
    }
    QListWidget::keyPressEvent(event);
}

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
