#pragma once

#include <QStringList>

#include "platform/notifications.h"

// The desktop's notifications for tests: records each message's body and key.
class FakeNotifications : public Notifications {
  public:
    void show(const QString&, const QString& body, const QString& key) override {
        bodies.append(body);
        keys.append(key);
    }

    QStringList bodies;
    QStringList keys;
};
