#pragma once

#include <QObject>

class QSystemTrayIcon;
class QWidget;
class TextTable;

// The window's icon in the notification area, and going there and back: a
// minimised window hides behind the icon (only where a notification area
// exists, or there would be no way back), and a click on the icon restores it.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    TrayIcon(QWidget& window, const TextTable& texts);

    // Shows the icon with the tip of the current language.
    void Add_Tray_Icon();
    void Remove_Tray_Icon();
    void Restore_From_Tray();
    // A mouse event over the icon, by the code the notification area uses:
    // 514 left released, 515 left double-click, 517 right released.
    void handleTrayNotification(int code);

    // The icon once it was first added; nothing before.
    QSystemTrayIcon* icon() const { return tray_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    const TextTable& texts_;
    QSystemTrayIcon* tray_ = nullptr;
};
