#include "fakes/fake_volumes.h"

#include <QDir>

std::optional<FolderContents> FakeVolumes::readFolder(const QString& folder) {
    const QDir dir(folder);
    if (unreadable.contains(folder) || !dir.exists()) {
        return std::nullopt;
    }
    return FolderContents{dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                          dir.entryList(QDir::Files, QDir::Name)};
}
