#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

// A label that acts on a click (the folder labels, the web address, the
// counter); it takes keyboard focus, and Enter or Space act as the click.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The list of produced files reports which mouse button was released over it.
class ConvertedList : public QListWidget {
    Q_OBJECT
  public:
    using QListWidget::QListWidget;

  signals:
    void mouseReleased(Qt::MouseButton button);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A check box that tells when a mouse button was released over it, after its
// state has changed.
class ReleaseCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

  signals:
    void mouseReleased();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
