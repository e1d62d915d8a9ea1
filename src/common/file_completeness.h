#pragma once

#include <QByteArray>

// How much of a file's end tells whether it is whole.
constexpr qint64 kCompletenessTailBytes = 1024;

// True when the end of a PDF file holds its cross-reference pointer
// ("startxref") and, after it, the end mark "%%EOF" followed by nothing but
// white space: a file cut short (a full disk) lacks them.
bool isWholePdf(const QByteArray& tail);

// True for a PostScript file that does not yet end with "%%EOF" (white space
// and control characters after it allowed), whatever its first line says: a
// writer that has finished it would have written that end mark.
bool isUnfinishedPostScript(const QByteArray& tail);
