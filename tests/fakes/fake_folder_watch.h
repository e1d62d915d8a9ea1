#pragma once

#include "platform/folder_watch.h"

// The folder watch for tests: it says which folder it watches, and a test
// says when that folder changed.
class FakeFolderWatch : public FolderWatch {
    Q_OBJECT
  public:
    bool watch(const QString& folder) override {
        watched = folder;
        return true;
    }
    void stopWatching() override { watched.clear(); }

    void change() { emit changed(); }

    QString watched;
};
