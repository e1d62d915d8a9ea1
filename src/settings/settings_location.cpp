#include "settings/settings_location.h"

#include "platform/platform.h"

QString settingsFilePath(Platform& platform) {
    const QString programFolder = platform.programFolder();
    const QString folder =
        platform.isFolderWritable(programFolder) ? programFolder : platform.configFolder();
    return folder + QStringLiteral("/Tarnwick.ini");
}
