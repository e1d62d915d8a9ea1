#pragma once

#include <QObject>
#include <QString>

// The desktop's notifications: a short message beside the work of other
// programs, and a click on it.
class Notifications : public QObject {
    Q_OBJECT
  public:
    // Shows a message. Without a notification service nothing is shown and
    // nothing fails.
    virtual void show(const QString& title, const QString& body, const QString& key) = 0;

  signals:
    // The message shown with this key was clicked (its default action).
    void activated(const QString& key);
};
