#include "engine/gs_command.h"

#include "common/text_util.h"

namespace {

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

QString gsCommandLine(const ConversionOptions& options, const std::optional<PageSize>& pageSize,
                      const QString& outputPath, const QString& inputPath) {
    QString pictureSwitches;
    if (options.goodPictures) {
        pictureSwitches =
            QStringLiteral(" -dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode ");
    }
    QString encryptionSwitches;
    if (options.encrypt) {
        // The passwords go in unchanged: the quoting has no escapes to offer.
        encryptionSwitches = QStringLiteral(" -sOwnerPassword=") + quoted(options.ownerPassword) +
                             QStringLiteral(" -sUserPassword=") + quoted(options.userPassword) +
                             QStringLiteral(" -dEncryptionR=2") +
                             QStringLiteral(" -dKeylength=40 ");
    }

    QString command = trimBlanks(options.gsPath);
    command +=
        pageSize ? QStringLiteral(" -q -dNOPAUSE -dEPSCrop ") : QStringLiteral(" -q -dNOPAUSE ");
    command += pictureSwitches;
    command += encryptionSwitches;
    command += options.qualityPreset;
    if (pageSize) {
        command += QStringLiteral(" -dBATCH -sDEVICE=pdfwrite  -g") +
                   QString::number(pageSize->width) + QLatin1Char('x') +
                   QString::number(pageSize->height) + QStringLiteral(" -sOutputFile=");
    } else {
        command += QStringLiteral(" -dBATCH -sDEVICE=pdfwrite -sOutputFile=");
    }
    command += quoted(outputPath) + QLatin1Char(' ') + quoted(inputPath);
    return command;
}
