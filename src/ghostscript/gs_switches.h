#pragma once

#include <QString>
#include <QStringList>

class Configuration;

// The conversion options as the main window shows them at the moment of use.
struct ConversionOptions {
    QString gsPath;  // as displayed; blanks at both ends are trimmed where it runs
    bool goodPictures = false;
    bool encrypt = false;
    QString ownerPassword;
    QString userPassword;
    bool useBoundingBox = false;
    int quality = 0;           // position in the quality list
    bool keepRunning = false;  // one Ghostscript for file after file
};

// The options of the configuration, read now.
ConversionOptions conversionOptionsOf(const Configuration& config);

// The switches the options give every Ghostscript run that makes a PDF,
// each an argument of its own, in their order.
QStringList pictureSwitches(const ConversionOptions& options);
// A switch that carries a password: the switch, then the password as typed.
struct PasswordSwitch {
    QString name;  // "-sOwnerPassword=" or "-sUserPassword="
    QString password;
};
QList<PasswordSwitch> passwordSwitches(const ConversionOptions& options);
// The encryption's fixed switches after the passwords; empty when off.
QStringList encryptionSwitches(const ConversionOptions& options);
// The quality preset's switch, without its blank; empty for the default.
QString qualitySwitch(const ConversionOptions& options);

// An output path as Ghostscript reads it: a per cent sign would start a
// page-number format, or a device such as %pipe%; doubled, it is one plain
// per cent sign.
QString literalOutputPath(const QString& path);
