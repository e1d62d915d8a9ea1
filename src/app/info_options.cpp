#include "app/info_options.h"

#include <cstdio>

namespace {

const char usage[] =
    "Usage: tarnwick [d | FILE | --add-printer [NAME] | --remove-printer [NAME] |\n"
    "                --help | --version]\n"
    "\n"
    "Turns PostScript print files into PDF files with Ghostscript.\n"
    "\n"
    "  (nothing)  start; the distiller is switched on when the settings say so\n"
    "  d          start with the distiller switched on\n"
    "  FILE       convert one PostScript file (.ps, .eps, .plt, .prn) into a PDF\n"
    "             beside it, then end\n"
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

}  // namespace

std::optional<QString> infoOptionText(const QStringList& arguments) {
    if (arguments == QStringList{QStringLiteral("--help")}) {
        return QString::fromUtf8(usage);
    }
    if (arguments == QStringList{QStringLiteral("--version")}) {
        return QStringLiteral("TarnWick " TARNWICK_VERSION "\n");
    }
    return std::nullopt;
}

std::optional<int> answerInfoOption(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const std::optional<QString> text = infoOptionText(arguments);
    if (!text) {
        return std::nullopt;
    }
    const QByteArray bytes = text->toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, bytes.size(), stdout) ==
                             static_cast<size_t>(bytes.size()) &&
                         std::fflush(stdout) == 0;
    if (!written) {
        std::fputs("tarnwick: could not write to standard output\n", stderr);
    }
    return written ? 0 : 1;
}
