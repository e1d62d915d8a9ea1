#include "widgets/compose_list.h"

#include <QMouseEvent>

ComposeList::ComposeList(QWidget* parent) : QListWidget(parent) {
    // While the left button is held the selection follows the pointer, which
    // is what a drag to another row relies on.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
}

// Only the left button moves the selection; the others leave it where it is,
// so a drag that starts and ends with them changes nothing.
void ComposeList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QListWidget::mousePressEvent(event);
    }
    emit mouseDown(event->modifiers());
}

void ComposeList::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        QListWidget::mouseMoveEvent(event);
    }
}

void ComposeList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QListWidget::mouseReleaseEvent(event);
    }
    emit mouseUp(event->modifiers());
}
