#pragma once

#include <QWidget>

// A frame (Shape) or a separator line (Line) drawn in one outline colour.
// It lets clicks through to the controls it encloses.
class Outline : public QWidget {
    Q_OBJECT
  public:
    explicit Outline(QWidget* parent);

    void setBorderColor(quint32 bbggrr);
    quint32 borderColor() const { return color_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    quint32 color_ = 0;
};
