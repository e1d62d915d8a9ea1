#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What a folder holds: the names of its visible subfolders and of its visible
// ordinary files, in the file system's order (a link counts as what it leads to).
struct FolderContents {
    QStringList folders;
    QStringList files;
};

// The volumes and folders the path picker shows.
class Volumes {
  public:
    virtual ~Volumes() = default;

    // The mounted volumes that hold files, each by its mount point, the root
    // "/" first. Only the system's table of mounts is read, no volume itself,
    // so a dead network mount cannot hold this up.
    virtual QStringList volumes() = 0;
    // What a folder holds; nothing when it cannot be read (gone, no
    // permission, or no answer in time, as from a dead network mount).
    virtual std::optional<FolderContents> readFolder(const QString& folder) = 0;
};
