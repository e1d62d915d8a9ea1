#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "ghostscript/bounding_box.h"
#include "ghostscript/gs_switches.h"
#include "platform/processes.h"

// One Ghostscript run: the program and its arguments, each passed as it
// stands, so that nothing a file name or a password holds (blanks, quotes,
// switches) can become another argument.
struct GsCommand {
    QString program;
    QStringList arguments;
};

// The Ghostscript run for one conversion: the quality, picture, encryption
// and page-size switches, the output file and the input file, in the order
// of the one-line form
//   gs -q -dNOPAUSE [-dEPSCrop] [pictures] [encryption] [preset] -dBATCH
//      -sDEVICE=pdfwrite [-gWxH] -sOutputFile="out" "in"
GsCommand gsCommand(const ConversionOptions& options, const std::optional<PageSize>& pageSize,
                    const QString& outputPath, const QString& inputPath);

// The run of a command, in a working folder (empty: ours); a conversation
// run is fed on its standard input and answers on its standard output.
RunRequest runRequestOf(const GsCommand& command, const QString& workingFolder = QString(),
                        bool conversation = false);
