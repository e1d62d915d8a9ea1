#pragma once

#include <QString>

#include "common/result.h"

class Desktop;
class FolderFiles;
class ProgramLife;

// The web-site label stands for the project's documentation: its caption,
// and what a click on it opens.
QString projectCaption();

// Opens the documentation shipped beside the program (in the build) or
// under share/doc (installed). A program copied elsewhere on its own writes
// the copy built into it to the user's configuration folder first: only at
// the click, never at start.
Status openProjectDocumentation(FolderFiles& files, ProgramLife& life, Desktop& desktop);
