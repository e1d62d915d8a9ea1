#include "app/application.h"
#include "app/settings_keeper.h"
#include "merge/merge_job.h"
#include "platform/program_life.h"
#include "shell/frm_main.h"
#include "shell/tray_icon.h"

void Application::exitProgram() {
    // The closing animation lets events run: a second close request, or a
    // tick that would begin a new pass, must not start anything now.
    if (ending_) {
        return;
    }
    ending_ = true;
    if (askingForPaths_) {
        services_.life.endProgram();
        return;
    }
    timer_.stop();
    // A merge in progress is ended; its inputs are never touched.
    mergeJob_->abort();
    settings_->Save_Settings();
    tray_->Remove_Tray_Icon();
    services_.life.endProgram();
}

// SIGTERM, SIGINT and the end of the session act as a close request, which
// waits for nobody: no box is shown from now on.
void Application::endFromOutside() {
    prompts_.becomeUnattended();
    exitProgram();
}
