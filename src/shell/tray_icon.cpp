#include <QEvent>
#include <QSystemTrayIcon>
#include <QTimer>

#include "shell/frm_main.h"

void FrmMain::Add_Tray_Icon() {
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
    tray_->setIcon(windowIcon());
    tray_->setToolTip(texts_[TextId::Tr_TrayTip]);
    tray_->show();
}

void FrmMain::Remove_Tray_Icon() {
    if (tray_ != nullptr) {
        tray_->hide();
    }
}

void FrmMain::Restore_From_Tray() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    raise();
    activateWindow();
    show();
    repaint();
}

void FrmMain::handleTrayNotification(int code) {
    if (code == 514 || code == 515 || code == 517) {
        Restore_From_Tray();
    }
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising hides the window, leaving the icon, only where there is a
    // notification area to bring it back from.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
        tray_ != nullptr && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
        // Hidden once the state change has been handled by the window system.
        QTimer::singleShot(0, this, [this] {
            if (windowState() & Qt::WindowMinimized) {
                hide();
            }
        });
    }
}
