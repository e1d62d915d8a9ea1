#include "platform/linux/linux_volumes.h"

#include <QFile>
#include <QScopeGuard>

#include <dirent.h>
#include <sys/stat.h>

#include "common/byte_text.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/within_deadline.h"

namespace {

// Lists a folder, waiting as long as the file system takes.
std::optional<FolderContents> readFolderNow(const QString& folder) {
    DIR* dir = opendir(bytesOfText(folder).constData());
    if (dir == nullptr) {
        return std::nullopt;
    }
    const auto closer = qScopeGuard([dir] { closedir(dir); });
    FolderContents contents;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        unsigned char type = entry->d_type;
        // Links and file systems without entry types need a look at the
        // entry itself; a link counts as what it leads to.
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {};
            const bool found = fstatat(dirfd(dir), entry->d_name, &info, 0) == 0;
            type = !found                  ? DT_UNKNOWN
                   : S_ISDIR(info.st_mode) ? DT_DIR
                   : S_ISREG(info.st_mode) ? DT_REG
                                           : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            contents.folders.append(textOfBytes(entry->d_name));
        } else if (type == DT_REG) {
            contents.files.append(textOfBytes(entry->d_name));
        }
    }
    return contents;
}

}  // namespace

QStringList LinuxVolumes::volumes() {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return volumesFromMountInfo(table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray());
}

std::optional<FolderContents> LinuxVolumes::readFolder(const QString& folder) {
    // Long enough for a slow network, short enough not to seem stuck.
    constexpr std::chrono::milliseconds kAnswerTime{2000};
    return callWithin<FolderContents>([folder] { return readFolderNow(folder); }, kAnswerTime);
}
