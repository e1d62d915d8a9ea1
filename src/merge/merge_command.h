#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ghostscript/gs_switches.h"

// What one merge run hands to Ghostscript.
struct MergeRun {
    ConversionOptions options;  // the picture and encryption switches
    QString outputPath;         // the file Ghostscript writes
    QString mergeFolder;        // ends in a separator
    QStringList rows;           // the merge list, empty rows included
};

// The argument file's name; it lies in the merge folder.
inline constexpr const char* kMergeArgumentFile = "gscommand.txt";

// The argument file, with CR LF line ends: one line with every option, then
// "-f" and the quoted path of each file row, in list order. Paths are the
// file system's bytes.
QByteArray mergeArgumentFile(const MergeRun& run);

// True when the text can travel inside the argument file's double quotes
// exactly: Ghostscript reads a backslash before a double quote as making the
// quote part of the text, so a quote is carried with a backslash before it,
// but a text that ends in a backslash would swallow its closing quote, and a
// line break would end the line.
bool canBeQuoted(const QString& text);
