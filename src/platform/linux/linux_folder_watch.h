#pragma once

#include <QSocketNotifier>
#include <memory>

#include "platform/folder_watch.h"

// The watch with inotify: one descriptor, one watch at a time.
class LinuxFolderWatch : public FolderWatch {
    Q_OBJECT
  public:
    LinuxFolderWatch();
    ~LinuxFolderWatch() override;

    bool watch(const QString& folder) override;
    void stopWatching() override;

  private:
    void readEvents();

    int fd_ = -1;
    int watch_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
