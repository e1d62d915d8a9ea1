#pragma once

#include <QString>

#include "common/result.h"

// The desktop's own programs: its file browser, its viewers and its web browser.
class Desktop {
  public:
    virtual ~Desktop() = default;

    // Opens a folder in the file browser.
    virtual Status openFolder(const QString& folder) = 0;
    // Opens a file with the program the desktop has for its type.
    virtual Status openFile(const QString& path) = 0;
    // Opens an address (a web address or a local file's) with the program
    // the desktop has for it.
    virtual Status openAddress(const QString& address) = 0;
};
