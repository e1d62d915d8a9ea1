#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// `--help` and `--version` are answered on standard output before anything
// else happens: no settings file, no instance check, no window, so they also
// work without a display. Every other command line starts the program.

// The text that answers these arguments (the program name left out), or
// nothing when they ask for a normal start.
std::optional<QString> infoOptionText(const QStringList& arguments);

// Prints the answer for the program's own arguments. Returns the exit status
// (0, or 1 when the text could not be written), or nothing for a normal start.
std::optional<int> answerInfoOption(int argc, char* argv[]);
