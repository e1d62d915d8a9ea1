#pragma once

#include <QString>
#include <optional>

class PrintQueueAdmin;

// tarnwick --add-printer [NAME] makes a print queue that delivers every job,
// as PostScript, into the watched folder, where the distiller takes it;
// tarnwick --remove-printer [NAME] takes it away again. A queue of that name
// that prints anywhere else is left alone.

enum class PrinterAction { Add, Remove };

struct PrinterOption {
    PrinterAction action = PrinterAction::Add;
    QString name;
};

inline constexpr char kDefaultPrinterName[] = "TarnWick";

// What the command says and how it ends.
struct PrinterCommandResult {
    int exitCode = 0;
    QString out;  // for standard output: what was done
    QString err;  // for standard error: what went wrong, what to do
};

// CUPS's rule for queue names, in plain ASCII; a leading "-" is more likely
// a mistyped option than a name.
bool isPrinterName(const QString& name);

// Adds or removes the queue; watchedFolder is the settings' watched folder.
PrinterCommandResult runPrinterCommand(const PrinterOption& option, const QString& watchedFolder,
                                       PrintQueueAdmin& admin);
