#include "fakes/fake_folder_files.h"

Result<QByteArray> FakeFolderFiles::readHead(const QString& path, qint64 maxBytes) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::readHead(path, maxBytes); });
}

Result<QByteArray> FakeFolderFiles::readTail(const QString& path, qint64 maxBytes) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::readTail(path, maxBytes); });
}

Status FakeFolderFiles::readInPieces(const QString& path,
                                     const std::function<void(QByteArrayView piece)>& take) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::readInPieces(path, take); });
}

bool FakeFolderFiles::isHeld(const QString& path) {
    ++heldChecks;
    auto it = held.find(path);
    if (it == held.end()) {
        return false;
    }
    if (it.value() > 0 && --it.value() == 0) {
        held.erase(it);
    }
    return true;
}

Status FakeFolderFiles::move(const QString& from, const QString& to,
                             const std::function<bool()>& keepGoing) {
    return unlessFailing(to, [&] { return LinuxFolderFiles::move(from, to, keepGoing); });
}

Status FakeFolderFiles::copy(const QString& from, const QString& to) {
    return unlessFailing(to, [&] { return LinuxFolderFiles::copy(from, to); });
}

Status FakeFolderFiles::remove(const QString& path) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::remove(path); });
}

Status FakeFolderFiles::createOutput(const QString& path, const QStringList& models) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::createOutput(path, models); });
}

Status FakeFolderFiles::writeAtomic(const QString& path, const QByteArray& data) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::writeAtomic(path, data); });
}

Status FakeFolderFiles::writePrivate(const QString& path, const QByteArray& data) {
    return unlessFailing(path, [&] { return LinuxFolderFiles::writePrivate(path, data); });
}

Status FakeFolderFiles::checkFolder(const QString& folder) {
    return unlessFailing(folder, [&] { return LinuxFolderFiles::checkFolder(folder); });
}
