#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Everything the settings file Tarnwick.ini holds, as the program uses it.
struct SettingsValues {
    QString ghostscriptPath, outputPath, moveFolder, watchDirPath, composeFolder, acrobatFolder;
    // Check states, 0 or 1.
    int deletePSFiles = 0, startDistOnBoot = 0, useBoundingBox = 0, useEncryption = 0,
        goodPicQuality = 0;
    int quality = 0;              // index 0..3 into kQualityEntries
    bool qualityChanged = false;  // set by parseSettings when a quality line selected an entry
    QString ownerPassword, userPassword;  // plain text
    QString language = "GB";
    qint16 left = 0, top = 0;  // window position in twips
    QString windowState = "0";
    double counter = 0;
    QString counterCaption = "0";  // text of the counter label
};

// The whole settings file: three header lines, then one line per setting, each
// line ending in CR LF. A quality index outside the list is written as the
// first entry.
QByteArray formatSettings(const SettingsValues& v);

// No setting needs a line this long; a longer line is passed over whole, so
// that reading keeps no more than this in memory whatever the file holds.
inline constexpr qsizetype kLongestSettingsLine = 64 * 1024;

// Reads a settings file over the values already in it, piece by piece as the
// file comes in: a setting whose line is missing keeps its value, and the
// last line of a setting wins. Never fails; unreadable lines are passed over.
class SettingsReader {
  public:
    explicit SettingsReader(SettingsValues& values);
    void read(QByteArrayView piece);
    // Reads the last line when the file does not end with a line end.
    void finish();

  private:
    void keep(QByteArrayView part);

    SettingsValues& values_;
    QByteArray line_;  // the start of a line that the next piece goes on with
    bool overlong_ = false;
};

// The whole file at once.
void parseSettings(QByteArrayView file, SettingsValues& v);
