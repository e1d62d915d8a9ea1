#include "shell/tray_icon.h"

#include <QEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "i18n/text_table.h"

TrayIcon::TrayIcon(QWidget& window, const TextTable& texts)
    : QObject(&window), window_(window), texts_(texts) {
    window_.installEventFilter(this);
}

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
    tray_->setIcon(window_.windowIcon());
    tray_->setToolTip(texts_[TextId::Tr_TrayTip]);
    tray_->show();
}

void TrayIcon::Remove_Tray_Icon() {
    if (tray_ != nullptr) {
        tray_->hide();
    }
}

void TrayIcon::Restore_From_Tray() {
    window_.setWindowState(window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    window_.raise();
    window_.activateWindow();
    window_.show();
    window_.repaint();
}

void TrayIcon::handleTrayNotification(int code) {
    if (code == 514 || code == 515 || code == 517) {
        Restore_From_Tray();
    }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    // Minimising hides the window, leaving the icon, only where there is a
    // notification area to bring it back from.
    if (watched == &window_ && event->type() == QEvent::WindowStateChange &&
        (window_.windowState() & Qt::WindowMinimized) && tray_ != nullptr && tray_->isVisible() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        // Hidden once the state change has been handled by the window system.
        QTimer::singleShot(0, this, [this] {
            if (window_.windowState() & Qt::WindowMinimized) {
                window_.hide();
            }
        });
    }
    return false;
}
