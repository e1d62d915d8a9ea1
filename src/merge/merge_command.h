#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one merge run hands to Ghostscript.
struct MergeRun {
    bool goodPictures = false;
    bool encrypt = false;
    QString ownerPassword;
    QString userPassword;
    QString outputPath;   // output folder and file name
    QString mergeFolder;  // ends in a separator
    QStringList rows;     // the merge list, empty rows included
};

// The argument file's name; it lies in the merge folder.
inline constexpr const char* kMergeArgumentFile = "gscommand.txt";

// The argument file, UTF-8 with CR LF line ends: one line with every option,
// then "-f" and the quoted path of each file row, in list order.
QByteArray mergeArgumentFile(const MergeRun& run);

// True when the text cannot travel inside the argument file's double quotes
// unchanged: a double quote would end the quoting, a line break the line.
bool breaksQuoting(const QString& text);
