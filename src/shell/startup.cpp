#include <QComboBox>

#include "platform/platform.h"
#include "shell/frm_main.h"
#include "shell/twips.h"

void FrmMain::startUp() {
    if (platform_.fileExists(settingsPath_)) {
        Load_Settings();
        const int language = TextTable::listOrder().indexOf(languageCode_);
        if (language >= 0) {
            cmbLanguage->setCurrentIndex(language);
            applyLanguage(languageCode_);
        }
    }
    Make_Orange();
    show();
    fullHeight = pixelsToTwips(height());
    fullWidth = pixelsToTwips(width());
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        // Save_Settings keeps the stored position on the screen.
        move(twipsToPixels(savedLeft), twipsToPixels(savedTop));
        Unroll_Window();
    }
    Add_Tray_Icon();
    if (savedWindowState == QLatin1String("1")) {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
}
