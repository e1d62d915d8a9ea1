#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "settings/settings.h"

// The settings file Tarnwick.ini: three header lines, then one line per
// setting, each line ending in CR LF. A quality index outside the list is
// written as the first entry.
QByteArray formatSettings(const Settings& settings);

// No setting needs a line this long; a longer line is passed over whole, so
// that reading keeps no more than this in memory whatever the file holds.
inline constexpr qsizetype kLongestSettingsLine = 64 * 1024;

// Reads a settings file over the values already in it, piece by piece as the
// file comes in: a setting whose line is missing keeps its value, and the
// last line of a setting wins. Never fails; unreadable lines are passed over.
class SettingsReader {
  public:
    explicit SettingsReader(Settings& settings);
    void read(QByteArrayView piece);
    // Reads the last line when the file does not end with a line end.
    void finish();

  private:
    void keep(QByteArrayView part);

    Settings& settings_;
    QByteArray line_;  // the start of a line that the next piece goes on with
    bool overlong_ = false;
};

// The whole file at once.
void parseSettings(QByteArrayView file, Settings& settings);
