#include <QCloseEvent>

#include "platform/platform.h"
#include "shell/frm_main.h"

void FrmMain::exitProgram() {
    Save_Settings();
    Remove_Tray_Icon();
    platform_.endProgram();
}

// A close request is never refused. A window minimised to the tray is not
// animated: the settings are written with the window state "1" and the
// program ends.
void FrmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    exitProgram();
}
