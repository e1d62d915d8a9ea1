#include <QApplication>

#include "platform/linux_platform.h"
#include "shell/frm_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    LinuxPlatform platform;
    FrmMain frmMain(platform);
    frmMain.startUp();
    return QApplication::exec();
}
