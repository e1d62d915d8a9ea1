#include "engine/gs_command.h"

#include "common/text_util.h"

namespace {

QString gsOutputSwitch(const QString& outputPath) {
    // Ghostscript reads a per cent sign in the output name as the start of a
    // page-number format, or of a device such as %pipe%; doubled, it is one
    // plain per cent sign.
    QString escaped = outputPath;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QStringLiteral("-sOutputFile=") + escaped;
}

}  // namespace

GsCommand gsCommand(const ConversionOptions& options, const std::optional<PageSize>& pageSize,
                    const QString& outputPath, const QString& inputPath) {
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-dNOPAUSE")};
    if (pageSize) {
        arguments << QStringLiteral("-dEPSCrop");
    }
    if (options.goodPictures) {
        arguments << QStringLiteral("-dAutoFilterColorImages=false")
                  << QStringLiteral("-dColorImageFilter=/FlateEncode");
    }
    if (options.encrypt) {
        // An empty password still gives its switch, with an empty value.
        arguments << QStringLiteral("-sOwnerPassword=") + options.ownerPassword
                  << QStringLiteral("-sUserPassword=") + options.userPassword
                  << QStringLiteral("-dEncryptionR=2") << QStringLiteral("-dKeylength=40");
    }
    const QString preset = trimBlanks(options.qualityPreset);
    if (!preset.isEmpty()) {
        arguments << preset;
    }
    arguments << QStringLiteral("-dBATCH") << QStringLiteral("-sDEVICE=pdfwrite");
    if (pageSize) {
        arguments << QStringLiteral("-g%1x%2").arg(pageSize->width).arg(pageSize->height);
    }
    arguments << gsOutputSwitch(outputPath) << inputPath;
    return {trimBlanks(options.gsPath), arguments};
}
