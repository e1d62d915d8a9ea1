#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// A command line taken apart into the program to run and its arguments.
struct SplitCommand {
    QString program;
    QStringList arguments;
};

// Splits a command line written in the original quoting: blanks (space, tab)
// separate arguments, a double quote toggles grouping and is itself dropped,
// backslashes are ordinary characters. An unquoted program may contain
// blanks: the shortest blank-delimited prefix for which isFile is true names
// it, and without such a prefix the first token does.
SplitCommand splitCommandLine(const QString& line,
                              const std::function<bool(const QString&)>& isFile);
