#pragma once

#include <QStringList>

#include "platform/desktop.h"

// The desktop for tests: records what it is asked to open.
class FakeDesktop : public Desktop {
  public:
    Status openFolder(const QString& folder) override {
        openedFolders.append(folder);
        return {};
    }
    Status openFile(const QString& path) override {
        openedFiles.append(path);
        return {};
    }
    Status openAddress(const QString& address) override {
        openedAddresses.append(address);
        return {};
    }

    QStringList openedFolders;
    QStringList openedFiles;
    QStringList openedAddresses;
};
