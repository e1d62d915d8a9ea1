#pragma once

#include <QString>

class FolderFiles;
class ProgramLife;

// The address of the project's documentation, which the web-site label opens.
QString projectAddress(FolderFiles& files, ProgramLife& life);
