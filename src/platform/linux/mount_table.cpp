#include "platform/linux/mount_table.h"

#include <QFile>
#include <QList>
#include <QSet>
#include <algorithm>

namespace {

const QSet<QByteArray>& kernelFileSystems() {
    static const QSet<QByteArray> types{
        "proc",       "sysfs",   "cgroup",    "cgroup2",     "devpts", "devtmpfs",
        "mqueue",     "debugfs", "tracefs",   "securityfs",  "pstore", "bpf",
        "configfs",   "fusectl", "hugetlbfs", "binfmt_misc", "autofs", "efivarfs",
        "rpc_pipefs", "nsfs",    "selinuxfs"};
    return types;
}

bool isMemoryFileSystem(const QByteArray& type) {
    return type == "tmpfs" || type == "ramfs";
}

bool isUnder(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool isSystemPlace(const QString& mountPoint) {
    for (const char* place : {"/run", "/sys", "/dev", "/proc"}) {
        if (isUnder(mountPoint, QLatin1String(place))) {
            return true;
        }
    }
    return false;
}

// The table writes blanks, tabs, line ends and backslashes in a mount point
// as a backslash and three octal digits.
QString decodeMountPoint(const QByteArray& field) {
    QByteArray decoded;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                decoded.append(char(code));
                i += 3;
                continue;
            }
        }
        decoded.append(field[i]);
    }
    return QFile::decodeName(decoded);
}

}  // namespace

QStringList volumesFromMountInfo(const QByteArray& mountInfo) {
    // The root holds files even when the table cannot be read.
    QStringList volumes{QStringLiteral("/")};
    for (const QByteArray& line : mountInfo.split('\n')) {
        // ID, parent, device, root, mount point, options, optional fields,
        // "-", file system type, source, super options.
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() < 5 || separator < 5 || separator + 1 >= fields.size()) {
            continue;
        }
        const QByteArray& type = fields[separator + 1];
        const QString mountPoint = decodeMountPoint(fields[4]);
        if (!mountPoint.startsWith(QLatin1Char('/')) || kernelFileSystems().contains(type) ||
            (isMemoryFileSystem(type) && isSystemPlace(mountPoint)) ||
            volumes.contains(mountPoint)) {
            continue;
        }
        volumes.append(mountPoint);
    }
    std::sort(volumes.begin() + 1, volumes.end());
    return volumes;
}
