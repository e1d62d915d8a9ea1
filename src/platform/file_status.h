#pragma once

#include <QString>
#include <QtGlobal>

// What a file is at one moment. Two statuses of one path that agree in
// everything but the age mean a file nobody has changed, renamed or
// re-permitted in between.
struct FileStatus {
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;  // content last written
    qint64 changedNs = 0;   // content, name or permissions last changed
    int mode = 0;           // the permission bits
    qint64 msSinceModified = 0;

    bool sameVersion(const FileStatus& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

// Why a file could not be moved into place. The step tells the folder to
// blame; text is the system's own words (empty for SameFile and Stopped).
struct MoveError {
    enum class Step {
        ReadSource,    // the file cannot be read
        WriteTarget,   // the target folder cannot take it
        RemoveSource,  // the file cannot be taken out of its folder
        SameFile,      // the target is the file itself
        Stopped,       // asked to stop before it was done; the file is intact
    };
    Step step;
    QString text;
};
