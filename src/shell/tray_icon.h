#pragma once

#include <QIcon>
#include <QObject>

class QSystemTrayIcon;
class TextTable;

// The program's icon in the notification area. A click on it asks for the
// window back; what the window does is the application's business.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    TrayIcon(const TextTable& texts, QIcon icon, QObject* parent = nullptr);

    // Shows the icon with the tip of the current language.
    void Add_Tray_Icon();
    void Remove_Tray_Icon();
    bool isShown() const;
    // The tip, once the icon was first added; empty before.
    QString tip() const;
    // A mouse event over the icon, by the code the notification area uses:
    // 514 left released, 515 left double-click, 517 right released.
    void handleTrayNotification(int code);

  signals:
    void restoreRequested();

  private:
    const TextTable& texts_;
    QIcon icon_;
    QSystemTrayIcon* tray_ = nullptr;
};
