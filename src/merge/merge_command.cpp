#include "merge/merge_command.h"

#include "common/text_util.h"

namespace {

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

QByteArray mergeArgumentFile(const MergeRun& run) {
    QString options = QStringLiteral("-q -dSAFER -dNOPAUSE");
    options +=
        run.goodPictures
            ? QStringLiteral(" -dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode ")
            : QStringLiteral(" ");
    if (run.encrypt) {
        options += QStringLiteral(" -sOwnerPassword=") + quoted(run.ownerPassword) +
                   QStringLiteral(" -sUserPassword=") + quoted(run.userPassword) +
                   QStringLiteral(" -dEncryptionR=2 -dKeylength=40 ");
    }
    options += QStringLiteral("-sDEVICE=pdfwrite -sOUTPUTFILE=") + quoted(run.outputPath) +
               QStringLiteral(" -dBATCH");

    const QString lineEnd = QStringLiteral("\r\n");
    QString file = options + lineEnd;
    for (const QString& row : run.rows) {
        if (!trimBlanks(row).isEmpty()) {
            file += QStringLiteral("-f ") + quoted(run.mergeFolder + row) + lineEnd;
        }
    }
    return file.toUtf8();
}

bool breaksQuoting(const QString& text) {
    return text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r')) ||
           text.contains(QLatin1Char('\n'));
}
