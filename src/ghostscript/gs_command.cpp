#include "ghostscript/gs_command.h"

#include "common/text_util.h"

GsCommand gsCommand(const ConversionOptions& options, const std::optional<PageSize>& pageSize,
                    const QString& outputPath, const QString& inputPath) {
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-dNOPAUSE")};
    if (pageSize) {
        arguments << QStringLiteral("-dEPSCrop");
    }
    arguments << pictureSwitches(options);
    for (const PasswordSwitch& password : passwordSwitches(options)) {
        arguments << password.name + password.password;
    }
    arguments << encryptionSwitches(options);
    if (const QString preset = qualitySwitch(options); !preset.isEmpty()) {
        arguments << preset;
    }
    arguments << QStringLiteral("-dBATCH") << QStringLiteral("-sDEVICE=pdfwrite");
    if (pageSize) {
        arguments << QStringLiteral("-g%1x%2").arg(pageSize->width).arg(pageSize->height);
    }
    arguments << QStringLiteral("-sOutputFile=") + literalOutputPath(outputPath) << inputPath;
    return {trimBlanks(options.gsPath), arguments};
}

RunRequest runRequestOf(const GsCommand& command, const QString& workingFolder, bool conversation) {
    return {command.program, command.arguments, workingFolder, conversation};
}
