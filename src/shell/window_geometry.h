#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QWidget;

// The window's place as the settings file keeps it: Left and Top in twips and
// the window state "0" (normal) or "1" (in the tray). It attaches itself to
// the window and goes with it.
class WindowGeometry : public QObject {
  public:
    explicit WindowGeometry(QWidget& window);

    qint16 savedLeft() const { return left_; }
    qint16 savedTop() const { return top_; }
    QString savedWindowState() const { return state_; }
    void setSaved(qint16 left, qint16 top, const QString& windowState);

    // Moves the window to the saved place.
    void restorePosition();
    // Takes the window's present place and state for the next save: a window
    // sticking out on the right goes flush with the right edge of the screen,
    // one sticking out at the bottom or above the top goes to the top; a
    // minimised or maximised window keeps the place read at start.
    void recordPosition();
    // Moves a normal window whose left or top edge is off screen back to 0.
    void keepOnScreen();

  private:
    QWidget& window_;
    qint16 left_ = 0;
    qint16 top_ = 0;
    QString state_ = QStringLiteral("0");
};
