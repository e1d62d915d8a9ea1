#pragma once

#include <QHash>

#include "platform/notifications.h"

// The freedesktop notification service on the session bus. No bus or no
// service: show does nothing.
class LinuxNotifications : public Notifications {
    Q_OBJECT
  public:
    LinuxNotifications();

    void show(const QString& title, const QString& body, const QString& key) override;

  private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

  private:
    QHash<uint, QString> keys_;
};
