#pragma once

#include <optional>

// --add-printer and --remove-printer are answered before anything else
// happens, like --help: no instance check, no window, so they work without
// a display. The watched folder comes from the settings file.

// Runs the printer command the program's arguments ask for, its texts on
// standard output and error. Returns its exit status (0 or 1), or nothing
// when the arguments ask for something else.
std::optional<int> answerPrinterOption(int argc, char* argv[]);
