#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A PostScript file named on the command line, to be converted and the
// program ended.
struct SingleFileRequest {
    QString sourcePath;  // the command line without its surrounding quotes
    QString fileName;    // after the last "/"; the whole path when there is none
    QString folder;      // before the file name, with its trailing "/"
    QString pdfPath;     // the source path with ".pdf" for its extension
};

// What the command line asks of the start.
struct StartRequest {
    QString commandLine;   // the arguments joined by one blank
    bool distill = false;  // "d" in any letter case
    std::optional<SingleFileRequest> singleFile;
};

// The program's one-text command line: its arguments joined by one blank.
QString joinArguments(const QStringList& arguments);

StartRequest interpretCommandLine(const QString& commandLine);

// The message a second instance shows before it ends; never translated.
QString secondInstanceMessage(const QString& commandLine);
