#pragma once

#include <QString>

class FolderFiles;
class ProgramLife;

// Where the settings file is read and where it is written. Beside the
// program when its folder is writable. Otherwise (an installed program) the
// user's configuration folder is written, and read once it holds the file;
// until then a file beside the program, an administrator's defaults, is read.
struct SettingsPlaces {
    QString read;
    QString write;
};

SettingsPlaces settingsPlaces(FolderFiles& files, ProgramLife& life);
