#include "settings/settings_location.h"

#include "platform/folder_files.h"
#include "platform/program_life.h"

QString settingsFilePath(FolderFiles& files, ProgramLife& life) {
    const QString programFolder = life.programFolder();
    const QString folder =
        files.checkFolder(programFolder).ok() ? programFolder : life.configFolder();
    return folder + QStringLiteral("/Tarnwick.ini");
}
