#include "platform/folder_files.h"

QStringList entryNames(FolderFiles& files, const QString& folder) {
    QStringList names;
    const Result<QList<FolderEntry>> listing = files.listEntries(folder);
    for (const FolderEntry& entry : listing ? listing.value() : QList<FolderEntry>()) {
        names.append(entry.name);
    }
    return names;
}
