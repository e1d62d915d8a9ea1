#pragma once

#include <QString>

class FolderFiles;
class ProgramLife;

// The settings file lives beside the program when its folder is writable, and
// in the user's configuration folder otherwise.
QString settingsFilePath(FolderFiles& files, ProgramLife& life);
