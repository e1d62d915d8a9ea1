#pragma once

#include <QSet>

#include "platform/volumes.h"

// The picker's volumes for tests: a scripted list of mount points over the
// real folders, any of which can be made unreadable.
class FakeVolumes : public Volumes {
  public:
    QStringList volumes() override { return volumeList; }
    std::optional<FolderContents> readFolder(const QString& folder) override;

    QStringList volumeList{QStringLiteral("/")};
    QSet<QString> unreadable;
};
