#include <QApplication>

#include "platform/linux_platform.h"
#include "shell/frm_main.h"
#include "shell/info_options.h"

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerInfoOption(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    LinuxPlatform platform;
    FrmMain frmMain(platform);
    frmMain.startUp();
    return QApplication::exec();
}
