#include "app/start_request.h"

QString joinArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

namespace {

bool namesPostScriptFile(const QString& path) {
    const QString lower = path.toLower();
    for (const char* extension : {".ps", ".plt", ".eps", ".prn"}) {
        if (lower.endsWith(QLatin1String(extension))) {
            return true;
        }
    }
    return false;
}

}  // namespace

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

QString secondInstanceMessage(const QString& commandLine) {
    return commandLine.trimmed().isEmpty()
               ? QStringLiteral("There is allready an instance of TarnWick running, quitting now")
               : QStringLiteral(
                     "There is allready an instance of TarnWick running in distiller "
                     "mode, quitting now");
}
