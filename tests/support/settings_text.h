#pragma once

#include <QByteArray>

// The three header lines every settings file starts with.
inline const QByteArray kSettingsHeader =
    "*** This is the settingsfile for TarnWick.exe\r\n"
    "*** TarnWick - PostScript to PDF with Ghostscript\r\n"
    "*** Do not alter this file for it can bring TarnWick in trouble, if it does go wrong just "
    "delete this file and a new correct one will be made again\r\n";

// A settings file of the given setting lines, each ending in CR LF.
inline QByteArray settingsFile(const QByteArray& lines) {
    return kSettingsHeader + lines;
}
