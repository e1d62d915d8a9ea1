#include "app/program.h"

#include <QApplication>

#include "app/application.h"
#include "app/info_options.h"
#include "app/printer_option.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_folder_watch.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_program_life.h"
#include "platform/linux/linux_volumes.h"
#include "widgets/qt_prompts.h"

Program::Program(int& argc, char** argv) : argc_(argc), argv_(argv) {
    answered_ = answerInfoOption(argc, argv);
    if (!answered_) {
        answered_ = answerPrinterOption(argc, argv);
    }
}

int Program::run() {
    if (answered_) {
        return *answered_;
    }
    QApplication app(argc_, argv_);
    // The program ends by its own end only: a box that closes while the
    // window is in the notification area must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    LinuxProcesses processes;
    LinuxFolderFiles files;
    LinuxVolumes volumes;
    LinuxDesktop desktop;
    LinuxProgramLife life;
    QtPrompts prompts;
    LinuxFolderWatch folderWatch;
    Services services{processes, files, volumes, desktop, life, prompts, folderWatch};
    Application application(services);
    application.start(interpretCommandLine(joinArguments(QApplication::arguments().mid(1))));
    return QApplication::exec();
}
