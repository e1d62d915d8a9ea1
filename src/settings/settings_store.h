#pragma once

#include <QString>

#include "common/result.h"
#include "settings/settings.h"

class FolderFiles;

// Reads the whole settings file over the settings, piece by piece, however
// large it is. Values read before a failure stay.
Status readSettingsFile(FolderFiles& files, const QString& path, Settings& settings);
