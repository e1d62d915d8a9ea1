#pragma once

#include <QString>

#include "settings/path_kind.h"

class Configuration;
class ProgramLife;
class Prompts;
class TextTable;

// The path picker as the start-up check uses it.
class PathPicker {
  public:
    virtual ~PathPicker() = default;

    // Makes kind the path being edited and prepares the picker for it
    // (Ask_For_Path).
    virtual void askForPath(PathKind kind) = 0;
    // Selects the volume that holds a folder, then the folder itself; a step
    // that cannot be taken is skipped and the picker keeps what it showed.
    virtual void selectFolder(const QString& folder) = 0;
    // Shows the picker modally and returns once it is closed.
    virtual void Show_Path_Picker() = 0;
};

// The start-up check for the Ghostscript executable, run as on a first start:
// the first-use message, the watched folder "/" and the counter 0 (its label
// unchanged), then the picker on "/" until a Ghostscript path is set. Cancel
// on the retry question ends the program at once, writing nothing. Returns
// true once a Ghostscript path is set, false when the program was ended.
bool Check_Paths(Configuration& config, const TextTable& texts, Prompts& prompts, ProgramLife& life,
                 PathPicker& picker);
