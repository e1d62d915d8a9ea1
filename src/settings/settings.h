#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

#include "settings/path_kind.h"

// The on/off options, the quality and the passwords.
struct Options {
    bool deletePSFiles = false;
    bool startDistOnBoot = false;
    bool useBoundingBox = false;
    bool useEncryption = false;
    bool goodPicQuality = false;
    int quality = 0;  // position in the quality list
    QString ownerPassword;
    QString userPassword;  // both plain text
    // One Ghostscript converts file after file instead of one per file.
    bool keepGhostscriptRunning = false;
};

// Everything the settings file keeps.
struct Settings {
    std::array<QString, kPathKinds.size()> paths;  // by PathKind
    Options options;
    QString language = QStringLiteral("GB");
    qint16 left = 0;  // the window's place in twips
    qint16 top = 0;
    QString windowState = QStringLiteral("0");
    double counter = 0;
    QString counterCaption = QStringLiteral("0");  // the text of the counter label

    QString& path(PathKind kind) { return paths[static_cast<std::size_t>(kind)]; }
    const QString& path(PathKind kind) const { return paths[static_cast<std::size_t>(kind)]; }
};
