#include "printing/printer_command.h"

#include "printing/device_uri.h"
#include "printing/print_queue_admin.h"

#include <QDir>
#include <algorithm>

namespace {

const QString kAddOption = QStringLiteral("--add-printer");

PrinterCommandResult failure(const QString& text) {
    return {1, {}, QStringLiteral("tarnwick: ") + text + u'\n'};
}

QString quoted(const QString& text) {
    return u'"' + text + u'"';
}

// For a user who may not administer printers: the administrator's command,
// and the group that would let the user do it.
PrinterCommandResult denied(const PrintQueueAdmin::Outcome& outcome, const QString& doing,
                            const QString& command, const QString& again) {
    return failure(QStringLiteral("you may not administer printers (%1).\n"
                                  "To %2, have an administrator run:\n"
                                  "  sudo %3\n"
                                  "or join the group lpadmin (sudo adduser $USER lpadmin, then "
                                  "log in again) and run %4 again.")
                       .arg(outcome.words, doing, command, again));
}

PrinterCommandResult addPrinter(const QString& name, const QString& watchedFolder,
                                const std::optional<QString>& device, PrintQueueAdmin& admin) {
    const QString uri = deviceUriOfFolder(watchedFolder);
    const PrintQueueAdmin::Outcome outcome = admin.addQueue(name, uri);
    const QString again = kAddOption + u' ' + name;
    switch (outcome.result) {
        case PrintQueueAdmin::Result::Done: {
            const std::optional<QByteArray> before =
                device ? folderOfDeviceUri(device->toUtf8()) : std::nullopt;
            const QString done =
                !device  ? QStringLiteral("Added the printer %1.").arg(quoted(name))
                : before ? QStringLiteral("Changed the printer %1 (it delivered into %2).")
                               .arg(quoted(name), QString::fromUtf8(*before))
                         : QStringLiteral("Changed the printer %1.").arg(quoted(name));
            return {0,
                    done + QStringLiteral(" Every job printed to it arrives as a PostScript file "
                                          "in the watched folder %1, where the distiller, while "
                                          "it is on, turns it into a PDF.\n"
                                          "Print from any program, or from a terminal: lp -d %2 "
                                          "FILE\n")
                               .arg(watchedFolder, name),
                    {}};
        }
        case PrintQueueAdmin::Result::Denied:
            return denied(outcome, QStringLiteral("add the printer"),
                          admin.addQueueCommand(name, uri), QStringLiteral("tarnwick ") + again);
        case PrintQueueAdmin::Result::Failed:
            break;
    }
    return failure(
        QStringLiteral("the printer %1 could not be added: %2").arg(quoted(name), outcome.words));
}

PrinterCommandResult removePrinter(const QString& name, PrintQueueAdmin& admin) {
    const PrintQueueAdmin::Outcome outcome = admin.removeQueue(name);
    switch (outcome.result) {
        case PrintQueueAdmin::Result::Done:
            return {0, QStringLiteral("Removed the printer %1.\n").arg(quoted(name)), {}};
        case PrintQueueAdmin::Result::Denied:
            return denied(outcome, QStringLiteral("remove the printer"),
                          admin.removeQueueCommand(name),
                          QStringLiteral("tarnwick --remove-printer ") + name);
        case PrintQueueAdmin::Result::Failed:
            break;
    }
    return failure(
        QStringLiteral("the printer %1 could not be removed: %2").arg(quoted(name), outcome.words));
}

}  // namespace

bool isPrinterName(const QString& name) {
    const QString refused = QStringLiteral("/\\#?'\"");
    return !name.isEmpty() && name.size() <= 127 && !name.startsWith(u'-') &&
           std::all_of(name.begin(), name.end(), [&refused](QChar c) {
               return c.unicode() > 0x20 && c.unicode() < 0x7f && !refused.contains(c);
           });
}

PrinterCommandResult runPrinterCommand(const PrinterOption& option, const QString& watchedFolder,
                                       PrintQueueAdmin& admin) {
    if (option.action == PrinterAction::Add && !QDir::isAbsolutePath(watchedFolder)) {
        return failure(
            QStringLiteral("no watched folder is set. Start TarnWick, choose the "
                           "watched folder, and run tarnwick --add-printer again."));
    }
    const std::optional<QString> device = admin.queueDevice(option.name);
    if (device && !isTarnWickUri(device->toUtf8())) {
        const QString another = option.action == PrinterAction::Add
                                    ? QStringLiteral(
                                          " Give another name: tarnwick "
                                          "--add-printer NAME")
                                    : QString();
        return failure(QStringLiteral("the printer %1 prints to %2, not into a watched folder; "
                                      "it is left alone.%3")
                           .arg(quoted(option.name), *device, another));
    }
    return option.action == PrinterAction::Add
               ? addPrinter(option.name, watchedFolder, device, admin)
               : removePrinter(option.name, admin);
}
