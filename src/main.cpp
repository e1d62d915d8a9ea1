#include <QApplication>

#include "platform/linux_platform.h"
#include "platform/qt_prompts.h"
#include "shell/frm_main.h"
#include "shell/startup.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtPrompts prompts;
    LinuxPlatform platform(prompts);
    FrmMain frmMain(platform);
    runStartUp(frmMain, platform, interpretCommandLine(joinArguments(app.arguments().mid(1))));
    return QApplication::exec();
}
