#pragma once

#include <QByteArray>
#include <QStringList>

// Ghostscript's own words for why a run failed, from what it wrote: its last
// error lines, at most a few, each short enough for a tooltip or a log line.
// "Error: /undefined in nosuchoperator" reads "undefined: nosuchoperator";
// its "****" notes keep their text; its stack dumps and banners are left out.
// Empty when it said nothing of an error.
QStringList gsErrorLines(const QByteArray& output);
