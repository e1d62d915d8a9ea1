#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "settings/path_kind.h"

// The rules by which paths are chosen in the path picker.

// The volume that holds a path: the longest of the mount points that is the
// path itself or one of the folders above it. Empty when none is (an empty or
// relative path).
QString volumeOf(const QStringList& volumes, const QString& path);

// A folder as it is stored: ending in "/" (a root keeps its one "/").
QString asFolderValue(const QString& folder);

// The folder of a stored file path: everything up to and including its last
// "/"; empty when it holds none.
QString folderPartOf(const QString& path);

// True when no PDF reader was chosen: the reader path is empty, blanks, or
// the root a missing path becomes at start.
bool noReaderChosen(const QString& readerPath);

// The file names the picker offers for a kind, separated by ";": the
// Ghostscript executable, the common PDF viewers, or "*" for every file.
QString filePatternFor(std::optional<PathKind> kind);
// True when a file name is one of the pattern's names ("*" stands for any).
bool matchesFilePattern(const QString& pattern, const QString& fileName);
