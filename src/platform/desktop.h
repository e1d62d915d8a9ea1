#pragma once

#include <QString>

#include "common/result.h"

// The desktop's own programs: its file browser and its web browser.
class Desktop {
  public:
    virtual ~Desktop() = default;

    // Opens a folder in the file browser.
    virtual Status openFolder(const QString& folder) = 0;
    // Opens an address (a web address or a local file's) with the program
    // the desktop has for it.
    virtual Status openAddress(const QString& address) = 0;
};
