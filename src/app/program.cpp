#include "app/program.h"

#include <QApplication>
#include <cstdio>

#include "app/application.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_folder_watch.h"
#include "platform/linux/linux_notifications.h"
#include "platform/linux/linux_print_queue_admin.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_program_life.h"
#include "platform/linux/linux_volumes.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "widgets/qt_prompts.h"

namespace {

// False when the text could not be written whole.
bool write(const QString& text, FILE* stream) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) ==
               size_t(bytes.size()) &&
           std::fflush(stream) == 0;
}

// The answer on standard output; 1 when it could not be given.
int answer(const QString& text) {
    if (write(text, stdout)) {
        return 0;
    }
    std::fputs("tarnwick: could not write to standard output\n", stderr);
    return 1;
}

}  // namespace

Program::Program(int& argc, char** argv) : argc_(argc), argv_(argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    LinuxFolderFiles files;
    command_ = parseCommandLine(
        arguments, [&files](const QString& path) { return files.status(path).has_value(); });
}

int Program::run() {
    switch (command_.kind) {
        case CommandLine::Kind::Help:
            return answer(usageText());
        case CommandLine::Kind::Version:
            return answer(QStringLiteral("TarnWick " TARNWICK_VERSION "\n"));
        case CommandLine::Kind::Wrong:
            write(command_.complaint, stderr);
            return command_.exitCode;
        case CommandLine::Kind::Printer:
            return runPrinterCommand();
        case CommandLine::Kind::Service:
            write(QStringLiteral("tarnwick: this build has no service mode yet\n"), stderr);
            return 1;
        case CommandLine::Kind::Start:
            break;
    }
    return runWindow();
}

int Program::runPrinterCommand() {
    // The application object tells where the program lies, and so where its
    // settings file is.
    QCoreApplication application(argc_, argv_);
    LinuxFolderFiles files;
    LinuxProgramLife life;
    Settings settings;
    // A settings file that cannot be read names no watched folder.
    [[maybe_unused]] const Status read =
        readSettingsFile(files, settingsPlaces(files, life).read, settings);
    LinuxPrintQueueAdmin admin;
    const PrinterCommandResult result =
        ::runPrinterCommand(command_.printer, settings.path(PathKind::WatchDirpath), admin);
    write(result.out, stdout);
    write(result.err, stderr);
    return result.exitCode;
}

int Program::runWindow() {
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
    LinuxNotifications notifications;
    Services services{processes, files,   volumes,     desktop,
                      life,      prompts, folderWatch, notifications};
    Application application(services);
    application.start(command_.start);
    return QApplication::exec();
}
