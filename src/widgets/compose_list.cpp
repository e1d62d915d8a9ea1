#include "widgets/compose_list.h"

#include <QMouseEvent>

ComposeList::ComposeList(QWidget* parent) : QListWidget(parent) {
    // While the left button is held the selection follows the pointer, which
    // is what a drag to another row relies on.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
}

void ComposeList::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    emit mouseDown(event->modifiers());
}

void ComposeList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    emit mouseUp(event->modifiers());
}
