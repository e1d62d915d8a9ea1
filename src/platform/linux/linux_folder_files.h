#pragma once

#include <QHash>

#include "platform/folder_files.h"

// The file work on Linux: POSIX calls on the paths' own bytes.
class LinuxFolderFiles : public FolderFiles {
  public:
    LinuxFolderFiles() = default;
    ~LinuxFolderFiles() override;
    LinuxFolderFiles(const LinuxFolderFiles&) = delete;
    LinuxFolderFiles& operator=(const LinuxFolderFiles&) = delete;

    Result<QList<FolderEntry>> listEntries(const QString& folder) override;
    std::optional<FileStatus> status(const QString& path) override;
    bool isFile(const QString& path) override;
    Result<QByteArray> readHead(const QString& path, qint64 maxBytes) override;
    Result<QByteArray> readTail(const QString& path, qint64 maxBytes) override;
    Status readInPieces(const QString& path,
                        const std::function<void(QByteArrayView piece)>& take) override;
    bool isHeld(const QString& path) override;
    bool isOpenByOthers(const QString& path) override;
    Status move(const QString& from, const QString& to,
                const std::function<bool()>& keepGoing) override;
    Status copy(const QString& from, const QString& to) override;
    Status remove(const QString& path) override;
    Status link(const QString& existing, const QString& alias) override;
    Status createOutput(const QString& path, const QStringList& models) override;
    Status writeAtomic(const QString& path, const QByteArray& data) override;
    Status writePrivate(const QString& path, const QByteArray& data) override;
    bool isSameFile(const QString& first, const QString& second) override;
    bool isSameFolder(const QString& a, const QString& b) override;
    Status checkFolder(const QString& folder) override;
    Status makeFolder(const QString& folder) override;
    Status claim(const QString& lockPath) override;
    void release(const QString& lockPath) override;

  private:
    QHash<QString, int> claims_;  // lock file, descriptor holding its lock
};
