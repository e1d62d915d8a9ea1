#include "shell/tray_icon.h"

#include <QSystemTrayIcon>

#include "i18n/text_table.h"

TrayIcon::TrayIcon(const TextTable& texts, QIcon icon, QObject* parent)
    : QObject(parent), texts_(texts), icon_(std::move(icon)) {}

void TrayIcon::Add_Tray_Icon() {
    if (tray_ == nullptr) {
        tray_ = new QSystemTrayIcon(this);
        tray_->setObjectName(QStringLiteral("trayIcon"));
        connect(tray_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    // The notification area's codes: left released, left
                    // double-click, right released.
                    switch (reason) {
                        case QSystemTrayIcon::Trigger:
                            handleTrayNotification(514);
                            break;
                        case QSystemTrayIcon::DoubleClick:
                            handleTrayNotification(515);
                            break;
                        case QSystemTrayIcon::Context:
                            handleTrayNotification(517);
                            break;
                        default:
                            break;
                    }
                });
    }
    tray_->setIcon(icon_);
    tray_->setToolTip(texts_[TextId::Tr_TrayTip]);
    tray_->show();
}

void TrayIcon::Remove_Tray_Icon() {
    if (tray_ != nullptr) {
        tray_->hide();
    }
}

bool TrayIcon::isShown() const {
    return tray_ != nullptr && tray_->isVisible();
}

QString TrayIcon::tip() const {
    return tray_ != nullptr ? tray_->toolTip() : QString();
}

void TrayIcon::handleTrayNotification(int code) {
    if (code == 514 || code == 515 || code == 517) {
        emit restoreRequested();
    }
}
