#pragma once

#include <QString>
#include <optional>

#include "engine/bounding_box.h"

// The conversion options as the main window shows them at the moment of use.
struct ConversionOptions {
    QString gsPath;  // as displayed; blanks at both ends are trimmed here
    bool goodPictures = false;
    bool encrypt = false;
    QString ownerPassword;
    QString userPassword;
    bool useBoundingBox = false;
    QString qualityPreset;  // empty or "-dPDFSETTINGS=/... " with one trailing blank
};

// The Ghostscript command line for one conversion, as one string in the
// original quoting. The pieces are joined as they stand, so an empty piece
// between two blank-edged ones leaves a doubled blank.
QString gsCommandLine(const ConversionOptions& options, const std::optional<PageSize>& pageSize,
                      const QString& outputPath, const QString& inputPath);
