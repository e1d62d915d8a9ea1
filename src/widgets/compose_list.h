#pragma once

#include <QListWidget>

// The merge dialog's list: reports a mouse button going down and coming up,
// after the list has moved its selection, with the keys held at that moment.
class ComposeList : public QListWidget {
    Q_OBJECT
  public:
    explicit ComposeList(QWidget* parent);

  signals:
    void mouseDown(Qt::KeyboardModifiers modifiers);
    void mouseUp(Qt::KeyboardModifiers modifiers);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
