#pragma once

#include <QString>
#include <optional>

#include "settings/settings_file.h"

class Platform;

// Reads the whole settings file over values, piece by piece, however large
// it is. Returns the reason when it could not be read (values read before a
// failure stay), nothing on success.
std::optional<QString> readSettingsFile(Platform& platform, const QString& path,
                                        SettingsValues& values);
