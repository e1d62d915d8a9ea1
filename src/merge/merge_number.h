#pragma once

#include <QString>
#include <QStringList>

// The start of every proposed merged file name.
inline constexpr const char* kMergedFilePrefix = "Merged_File_";

// The number of the next merged file, given the names in the output folder:
// one more than the largest number found between the prefix and the name's
// last four characters, or 1; four digits with leading zeros below 1000.
// Names with anything but digits there are passed over.
QString nextMergeNumber(const QStringList& outputNames);
