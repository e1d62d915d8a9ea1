#include <QApplication>

#include "app/printer_option.h"
#include "platform/linux_platform.h"
#include "platform/qt_prompts.h"
#include "shell/frm_main.h"
#include "shell/info_options.h"
#include "shell/path_prompts.h"
#include "shell/startup.h"

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerInfoOption(argc, argv)) {
        return *status;
    }
    if (const std::optional<int> status = answerPrinterOption(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    // The program ends by its own end only: a box that closes while the
    // window is in the notification area must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QtPrompts prompts;
    LinuxPlatform platform(prompts);
    FrmMain frmMain(platform);
    runStartUp(frmMain, platform, interpretCommandLine(joinArguments(app.arguments().mid(1))),
               frmMain.pathPrompts());
    return QApplication::exec();
}
