#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Page size in device pixels for Ghostscript's -g switch.
struct PageSize {
    qint32 width = 0;
    qint32 height = 0;
};

// How the scan of a file's beginning ended.
struct BoundingBoxScan {
    bool failed = false;  // a bounding-box value could not be split
    bool found = false;   // a bounding box was taken and no ImageMatrix line followed
    PageSize size;
};

// Only this many bytes from the start of a file are looked at.
inline constexpr qint64 kBoundingBoxScanLimit = 5000;

// Splits "llx lly urx ury" at its first, second and last blank; the page size
// is the sum of the corners (not their difference) times ten. Nothing when a
// part is missing or not a number.
std::optional<PageSize> Split_BoundingBox(const QString& value);

// Scans the beginning of a PostScript file (at most kBoundingBoxScanLimit
// bytes are used) for a %%BoundingBox: or %%PageBoundingBox: comment.
BoundingBoxScan scanBoundingBox(const QByteArray& head);
