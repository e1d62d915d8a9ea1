#include "shell/startup.h"

#include <QGuiApplication>
#include <QTimer>

#include "platform/platform.h"
#include "settings/settings_location.h"
#include "shell/frm_main.h"
#include "shell/project_address.h"
#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"

void connectCloseRequests(FrmMain& window, Platform& platform) {
    QObject::connect(&platform, &Platform::terminationRequested, &window, &QWidget::close);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window] { window.close(); });
}

void runStartUp(FrmMain& window, Platform& platform, const StartRequest& /*request*/) {
    connectCloseRequests(window, platform);
    window.setSettingsPath(settingsFilePath(platform));
    window.setProjectAddress(projectAddress(platform));
    window.applyLanguage(window.languageCode());
    if (platform.fileExists(window.settingsPath())) {
        window.Load_Settings();
        window.selectLanguageEntry(window.languageCode());
    }
    window.Make_Orange();
    window.show();
    window.animations().recordFullSize();
    if (!(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        // Save_Settings keeps the stored position on the screen.
        window.geometry().restorePosition();
        window.animations().Unroll_Window();
    }
    window.tray().Add_Tray_Icon();
    if (window.geometry().savedWindowState() == QLatin1String("1")) {
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
    }
    window.timer().start();
}
