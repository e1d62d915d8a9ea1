#pragma once

#include "platform/desktop.h"

// The desktop's programs through xdg-open, which knows the user's choice.
class LinuxDesktop : public Desktop {
  public:
    Status openFolder(const QString& folder) override;
    Status openFile(const QString& path) override;
    Status openAddress(const QString& address) override;
};
