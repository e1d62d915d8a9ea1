#include <QCloseEvent>
#include <QTimer>

#include "merge/merge_job.h"
#include "platform/platform.h"
#include "shell/frm_main.h"
#include "shell/tray_icon.h"

void FrmMain::exitProgram() {
    // The closing animation lets events run: a second close request, or a
    // tick that would begin a new pass, must not start anything now.
    if (ending_) {
        return;
    }
    ending_ = true;
    tmrAutodistill->stop();
    // A merge in progress is ended; its inputs are never touched.
    mergeJob_->abort();
    Save_Settings();
    tray_->Remove_Tray_Icon();
    platform_.endProgram();
}

// A close request is never refused. A window minimised to the tray is not
// animated: the settings are written with the window state "1" and the
// program ends.
void FrmMain::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->ignore();
        return;
    }
    event->accept();
    exitProgram();
}
