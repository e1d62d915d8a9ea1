#pragma once

#include <QHash>
#include <QSet>

#include "platform/linux/linux_folder_files.h"

// The file work for tests: real files (the tests work in temporary folders),
// but any operation on a path can be made to fail, and a file can be held.
class FakeFolderFiles : public LinuxFolderFiles {
  public:
    Result<QByteArray> readHead(const QString& path, qint64 maxBytes) override;
    Result<QByteArray> readTail(const QString& path, qint64 maxBytes) override;
    Status readInPieces(const QString& path,
                        const std::function<void(QByteArrayView piece)>& take) override;
    bool isHeld(const QString& path) override;
    bool isOpenByOthers(const QString& path) override { return isHeld(path); }
    Status move(const QString& from, const QString& to,
                const std::function<bool()>& keepGoing) override;
    Status copy(const QString& from, const QString& to) override;
    Status remove(const QString& path) override;
    Status createOutput(const QString& path, const QStringList& models) override;
    Status writeAtomic(const QString& path, const QByteArray& data) override;
    Status writePrivate(const QString& path, const QByteArray& data) override;
    Status checkFolder(const QString& folder) override;

    // Scripted failures, keyed on the path that fails: the target of a move
    // or copy, the file read, written, made or removed, the folder checked.
    QHash<QString, Failure> failing;
    // Files held by another program, with the number of checks that still
    // find them held (-1: until released).
    QHash<QString, int> held;
    int heldChecks = 0;

  private:
    // The scripted failure of a path, or what the real call gives.
    template <typename Call>
    auto unlessFailing(const QString& path, Call real) -> decltype(real()) {
        if (failing.contains(path)) {
            return failing.value(path);
        }
        return real();
    }
};
