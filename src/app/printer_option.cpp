#include "app/printer_option.h"

#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_print_queue_admin.h"
#include "platform/linux/linux_program_life.h"
#include "printing/printer_command.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void write(const QString& text, FILE* stream) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

PrinterCommandResult run(const PrinterOption& option, int argc, char* argv[]) {
    // The application object tells where the program lies, and so where its
    // settings file is.
    QCoreApplication application(argc, argv);
    LinuxFolderFiles files;
    LinuxProgramLife life;
    Settings settings;
    // A settings file that cannot be read names no watched folder.
    [[maybe_unused]] const Status read =
        readSettingsFile(files, settingsPlaces(files, life).read, settings);
    LinuxPrintQueueAdmin admin;
    return runPrinterCommand(option, settings.path(PathKind::WatchDirpath), admin);
}

}  // namespace

std::optional<int> answerPrinterOption(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const auto parsed = parsePrinterOption(arguments);
    if (!parsed) {
        return std::nullopt;
    }
    const auto* option = std::get_if<PrinterOption>(&*parsed);
    const PrinterCommandResult result =
        option ? run(*option, argc, argv) : std::get<PrinterCommandResult>(*parsed);
    write(result.out, stdout);
    write(result.err, stderr);
    return result.exitCode;
}
