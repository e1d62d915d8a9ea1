#pragma once

#include <QString>

#include "settings/settings.h"
#include "settings/settings_location.h"

class Configuration;
class FolderFiles;
class Prompts;
class TextTable;
class WindowAnimations;
class WindowGeometry;

// The settings file as the application keeps it: read into the window at
// start, written from it at the end, at a counter reset and at the end of a
// single-file run. The window's labels and check boxes are the values; the
// language code and the window's place are kept here and by the geometry.
class SettingsKeeper {
  public:
    struct Window {
        Configuration& config;
        WindowGeometry& geometry;
        WindowAnimations& animations;
    };

    SettingsKeeper(FolderFiles& files, Prompts& prompts, const TextTable& texts, Window window);

    // Where the file is read and written; fixed at start-up.
    const SettingsPlaces& places() const { return places_; }
    void setPlaces(const SettingsPlaces& places) { places_ = places; }
    // True when there is a file to read.
    bool exists() const;

    // The language code whose texts the windows show.
    QString language() const { return language_; }
    void setLanguage(const QString& code) { language_ = code; }

    // What the window and the keeper hold now, as the file keeps it, and
    // the other way round.
    Settings current() const;
    void apply(const Settings& settings);

    void Load_Settings();
    // Writes the whole file, then rolls the window up. A failure is shown
    // with the file's name; the program goes on.
    void Save_Settings();

  private:
    FolderFiles& files_;
    Prompts& prompts_;
    const TextTable& texts_;
    Window window_;
    SettingsPlaces places_;
    QString language_ = QStringLiteral("GB");
};
