#include "merge/merge_command.h"

#include "common/byte_text.h"
#include "common/text_util.h"

namespace {

QString quoted(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

}  // namespace

QByteArray mergeArgumentFile(const MergeRun& run) {
    QString options = QStringLiteral("-q -dSAFER -dNOPAUSE ");
    if (const QStringList pictures = pictureSwitches(run.options); !pictures.isEmpty()) {
        options += pictures.join(QLatin1Char(' ')) + QLatin1Char(' ');
    }
    if (run.options.encrypt) {
        for (const PasswordSwitch& password : passwordSwitches(run.options)) {
            options += QLatin1Char(' ') + password.name + quoted(password.password);
        }
        options += QLatin1Char(' ') + encryptionSwitches(run.options).join(QLatin1Char(' ')) +
                   QLatin1Char(' ');
    }
    options += QStringLiteral("-sDEVICE=pdfwrite -sOUTPUTFILE=") +
               quoted(literalOutputPath(run.outputPath)) + QStringLiteral(" -dBATCH");

    const QString lineEnd = QStringLiteral("\r\n");
    QString file = options + lineEnd;
    for (const QString& row : run.rows) {
        if (!trimBlanks(row).isEmpty()) {
            file += QStringLiteral("-f ") + quoted(run.mergeFolder + row) + lineEnd;
        }
    }
    return bytesOfText(file);
}

bool canBeQuoted(const QString& text) {
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')) &&
           !text.endsWith(QLatin1Char('\\'));
}
