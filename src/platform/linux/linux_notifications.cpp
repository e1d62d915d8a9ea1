#include "platform/linux/linux_notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

LinuxNotifications::LinuxNotifications() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
}

// Asked without waiting: a slow or missing service never holds up the
// window; the answer only ties the message's id to its key.
void LinuxNotifications::show(const QString& title, const QString& body, const QString& key) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kService)) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("TarnWick") << 0u << QStringLiteral("tarnwick") << title << body
         << QStringList{QStringLiteral("default"), title} << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isValid()) {
                    keys_.insert(reply.value(), key);
                }
                done->deleteLater();
            });
}

void LinuxNotifications::actionInvoked(uint id, const QString& action) {
    if (action == QLatin1String("default") && keys_.contains(id)) {
        emit activated(keys_.value(id));
    }
}

void LinuxNotifications::notificationClosed(uint id, uint) {
    keys_.remove(id);
}
