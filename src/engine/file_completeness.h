#pragma once

#include <QByteArray>

// How much of a file's start and end tells whether it is whole.
constexpr qint64 kCompletenessHeadBytes = 16;
constexpr qint64 kCompletenessTailBytes = 1024;

// True when the end of a PDF file holds its cross-reference pointer
// ("startxref") and, after it, the end mark "%%EOF" followed by nothing but
// white space: a file cut short (a full disk) lacks them.
bool isWholePdf(const QByteArray& tail);

// True for a PostScript file whose first line declares conformance
// ("%!PS-Adobe") and that does not yet end with "%%EOF" (white space and
// control characters after it allowed): its writer has not finished it.
bool isUnfinishedPostScript(const QByteArray& head, const QByteArray& tail);
