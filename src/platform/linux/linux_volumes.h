#pragma once

#include "platform/volumes.h"

// The mounted volumes from the kernel's table, and folders read with a time limit.
class LinuxVolumes : public Volumes {
  public:
    QStringList volumes() override;
    std::optional<FolderContents> readFolder(const QString& folder) override;
};
