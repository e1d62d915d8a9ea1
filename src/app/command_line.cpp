#include "app/command_line.h"

#include <algorithm>

namespace {

const char kUsage[] =
    "Usage: tarnwick [d | FILE | --service | --add-printer [NAME] |\n"
    "                --remove-printer [NAME] | --help | --version]\n"
    "\n"
    "Turns PostScript print files into PDF files with Ghostscript.\n"
    "\n"
    "  (nothing)  start; the distiller is switched on when the settings say so\n"
    "  d          start with the distiller switched on\n"
    "  FILE       convert one PostScript file (.ps, .eps, .plt, .prn) into a PDF\n"
    "             beside it, then end\n"
    "  --service  distill the watched folder with no window, for systemd or a\n"
    "             print server; SIGTERM ends it\n"
    "  --add-printer [NAME]\n"
    "             add a printer (named TarnWick unless NAME is given) that puts\n"
    "             every job printed to it into the watched folder, for the distiller\n"
    "  --remove-printer [NAME]\n"
    "             remove that printer\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "The settings file is Tarnwick.ini beside the program, or in\n"
    "~/.config/TarnWick/ when the program's folder is not writable.\n";

const QString kAddPrinter = QStringLiteral("--add-printer");
const QString kRemovePrinter = QStringLiteral("--remove-printer");

// The options that stand alone on the command line.
struct LoneOption {
    const char* word;
    CommandLine::Kind kind;
};
const LoneOption kLoneOptions[] = {
    {"--help", CommandLine::Kind::Help},
    {"--version", CommandLine::Kind::Version},
    {"--service", CommandLine::Kind::Service},
};

bool namesPostScriptFile(const QString& path) {
    const QString lower = path.toLower();
    for (const char* extension : {".ps", ".plt", ".eps", ".prn"}) {
        if (lower.endsWith(QLatin1String(extension))) {
            return true;
        }
    }
    return false;
}

bool isOption(const QString& word) {
    return word == kAddPrinter || word == kRemovePrinter ||
           std::any_of(std::begin(kLoneOptions), std::end(kLoneOptions),
                       [&word](const LoneOption& o) { return word == QLatin1String(o.word); });
}

CommandLine wrong(int exitCode, const QString& text) {
    CommandLine command;
    command.kind = CommandLine::Kind::Wrong;
    command.exitCode = exitCode;
    command.complaint = QStringLiteral("tarnwick: ") + text + u'\n';
    return command;
}

// A usage error: what is wrong, then how it is used.
CommandLine misused(const QString& text) {
    return wrong(2, text + u'\n' + usageText());
}

CommandLine printerCommand(const QStringList& arguments) {
    if (arguments.size() > 2) {
        return wrong(1, arguments[0] + QStringLiteral(" takes one printer name at most."));
    }
    const QString name =
        arguments.size() == 2 ? arguments[1] : QString::fromLatin1(kDefaultPrinterName);
    if (!isPrinterName(name)) {
        return wrong(1, u'"' + name +
                            QStringLiteral("\" is not a printer name: 1 to 127 letters, digits "
                                           "and punctuation marks of ASCII, without / \\ # ? ' "
                                           "\", not beginning with -."));
    }
    CommandLine command;
    command.kind = CommandLine::Kind::Printer;
    command.printer.action =
        arguments[0] == kAddPrinter ? PrinterAction::Add : PrinterAction::Remove;
    command.printer.name = name;
    return command;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments,
                             const std::function<bool(const QString&)>& fileExists) {
    if (!arguments.isEmpty() && (arguments[0] == kAddPrinter || arguments[0] == kRemovePrinter)) {
        return printerCommand(arguments);
    }
    for (const LoneOption& option : kLoneOptions) {
        if (arguments == QStringList{QLatin1String(option.word)}) {
            CommandLine command;
            command.kind = option.kind;
            return command;
        }
    }
    CommandLine command;
    command.start = interpretCommandLine(arguments.join(QLatin1Char(' ')));
    // A path with blanks may arrive in pieces; the whole of it is a file.
    const bool wholeIsFile =
        command.start.singleFile && fileExists(command.start.singleFile->sourcePath);
    for (const QString& word : arguments) {
        if (wholeIsFile || !word.startsWith(u'-') || fileExists(word)) {
            continue;
        }
        return misused(isOption(word) ? word + QStringLiteral(" stands alone on the command line.")
                                      : QStringLiteral("unknown option ") + word);
    }
    return command;
}

StartRequest interpretCommandLine(const QString& commandLine) {
    StartRequest request;
    request.commandLine = commandLine;
    request.distill = commandLine.toLower() == QLatin1String("d");

    QString source = commandLine;
    // One quote alone is no quoted path.
    if (source.size() >= 2 && source.startsWith(QLatin1Char('"')) &&
        source.endsWith(QLatin1Char('"'))) {
        source = source.mid(1, source.size() - 2);
    }
    if (!namesPostScriptFile(source)) {
        return request;
    }
    SingleFileRequest file;
    file.sourcePath = source;
    const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
    file.fileName = source.mid(slash + 1);
    file.folder = source.left(slash + 1);
    file.pdfPath = source.left(source.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".pdf");
    request.singleFile = file;
    return request;
}

QString usageText() {
    return QString::fromUtf8(kUsage);
}

QString secondInstanceMessage(const QString& commandLine) {
    return commandLine.trimmed().isEmpty()
               ? QStringLiteral("There is allready an instance of TarnWick running, quitting now")
               : QStringLiteral(
                     "There is allready an instance of TarnWick running in distiller "
                     "mode, quitting now");
}
