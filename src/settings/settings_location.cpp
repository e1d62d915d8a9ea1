#include "settings/settings_location.h"

#include "platform/folder_files.h"
#include "platform/program_life.h"

namespace {

const QString kFileName = QStringLiteral("/Tarnwick.ini");

}  // namespace

SettingsPlaces settingsPlaces(FolderFiles& files, ProgramLife& life) {
    const QString beside = life.programFolder() + kFileName;
    if (files.checkFolder(life.programFolder()).ok()) {
        return {beside, beside};
    }
    const QString own = life.configFolder() + kFileName;
    return {files.isFile(own) || !files.isFile(beside) ? own : beside, own};
}
