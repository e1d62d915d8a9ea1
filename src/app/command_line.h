#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "printing/printer_command.h"

// A PostScript file named on the command line, to be converted and the
// program ended.
struct SingleFileRequest {
    QString sourcePath;  // the command line without its surrounding quotes
    QString fileName;    // after the last "/"; the whole path when there is none
    QString folder;      // before the file name, with its trailing "/"
    QString pdfPath;     // the source path with ".pdf" for its extension
};

// What a start with a window (or with a file to convert) is asked for.
struct StartRequest {
    QString commandLine;   // the arguments joined by one blank
    bool distill = false;  // "d" in any letter case
    std::optional<SingleFileRequest> singleFile;
};

// Everything the program's arguments ask for, read once.
struct CommandLine {
    enum class Kind {
        Start,    // the window (or a single-file run): see start
        Help,     // the usage on standard output
        Version,  // the version on standard output
        Printer,  // add or remove a print queue: see printer
        Service,  // distill the watched folder with no window
        Wrong,    // refused: complaint on standard error, exitCode
    };
    Kind kind = Kind::Start;
    StartRequest start;
    PrinterOption printer;
    QString complaint;  // for Wrong: what to write on standard error
    int exitCode = 0;   // for Wrong
};

// Reads the program's arguments (its name left out). fileExists tells
// whether a word names an existing file: such a word is never taken for a
// mistyped option, whatever it starts with.
CommandLine parseCommandLine(const QStringList& arguments,
                             const std::function<bool(const QString&)>& fileExists);

// The start a one-text command line asks for: "d", a PostScript file, or a
// plain start.
StartRequest interpretCommandLine(const QString& commandLine);

// What --help prints: every option.
QString usageText();

// The message a second instance shows before it ends; never translated.
QString secondInstanceMessage(const QString& commandLine);
