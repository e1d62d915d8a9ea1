#include "ghostscript/gs_switches.h"

#include "common/quality.h"
#include "common/text_util.h"
#include "settings/configuration.h"

ConversionOptions conversionOptionsOf(const Configuration& config) {
    const Options options = config.options();
    ConversionOptions conversion;
    conversion.gsPath = config.path(PathKind::GSPath);
    conversion.goodPictures = options.goodPicQuality;
    conversion.encrypt = options.useEncryption;
    conversion.ownerPassword = options.ownerPassword;
    conversion.userPassword = options.userPassword;
    conversion.useBoundingBox = options.useBoundingBox;
    conversion.quality = options.quality;
    conversion.keepRunning = options.keepGhostscriptRunning;
    return conversion;
}

QStringList pictureSwitches(const ConversionOptions& options) {
    if (!options.goodPictures) {
        return {};
    }
    return {QStringLiteral("-dAutoFilterColorImages=false"),
            QStringLiteral("-dColorImageFilter=/FlateEncode")};
}

// An empty password still gives its switch, with an empty value.
QList<PasswordSwitch> passwordSwitches(const ConversionOptions& options) {
    if (!options.encrypt) {
        return {};
    }
    return {{QStringLiteral("-sOwnerPassword="), options.ownerPassword},
            {QStringLiteral("-sUserPassword="), options.userPassword}};
}

QStringList encryptionSwitches(const ConversionOptions& options) {
    if (!options.encrypt) {
        return {};
    }
    return {QStringLiteral("-dEncryptionR=2"), QStringLiteral("-dKeylength=40")};
}

QString qualitySwitch(const ConversionOptions& options) {
    return trimBlanks(QLatin1String(qualityEntry(options.quality).preset));
}

QString literalOutputPath(const QString& path) {
    QString literal = path;
    return literal.replace(QLatin1Char('%'), QStringLiteral("%%"));
}
