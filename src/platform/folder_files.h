#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "common/result.h"

// What stands at a path at one moment; a link is itself, not what it leads
// to. Two statuses of one path that agree in everything but the age mean a
// file nobody has changed, renamed or re-permitted in between.
struct FileStatus {
    enum class Type { Ordinary, Link, Folder, Other };
    Type type = Type::Ordinary;
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;  // content last written
    qint64 changedNs = 0;   // content, name or permissions last changed
    int mode = 0;           // the permission bits
    qint64 msSinceModified = 0;

    bool sameVersion(const FileStatus& other) const {
        return type == other.type && device == other.device && inode == other.inode &&
               size == other.size && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

// A visible entry of a folder that is an ordinary file or a link.
struct FolderEntry {
    QString name;
    bool isLink = false;
};

// The file work of the distill cycle, the merge job and the settings file.
// Paths are the file system's bytes (see common/byte_text.h). Nothing here
// follows a link but isFile, isSameFile and isSameFolder, which compare what
// the user named; nothing writes anything but a new ordinary file, or blocks
// on a pipe.
class FolderFiles {
  public:
    virtual ~FolderFiles() = default;

    // The ordinary files and links of a folder, in the file system's order;
    // hidden names (a leading ".") are left out.
    virtual Result<QList<FolderEntry>> listEntries(const QString& folder) = 0;
    // What stands at the path; nothing when there is nothing.
    virtual std::optional<FileStatus> status(const QString& path) = 0;
    // True when the path leads to an ordinary file (a program path may be a link).
    virtual bool isFile(const QString& path) = 0;
    // Up to maxBytes from the start or from the end of an ordinary file.
    virtual Result<QByteArray> readHead(const QString& path, qint64 maxBytes) = 0;
    virtual Result<QByteArray> readTail(const QString& path, qint64 maxBytes) = 0;
    // Reads an ordinary file, or what a link leads to, from start to end and
    // hands it to take piece by piece.
    virtual Status readInPieces(const QString& path,
                                const std::function<void(QByteArrayView piece)>& take) = 0;
    // True while another process has the file open or wrote to it a moment ago.
    virtual bool isHeld(const QString& path) = 0;
    // True while another process has the file open, however recently it was
    // written to.
    virtual bool isOpenByOthers(const QString& path) = 0;

    // Moves an ordinary file so that it appears at to only whole, replacing
    // what is there, keeping its permissions: by rename within one file
    // system, else by a hidden copy beside the target renamed into place
    // before the source goes. keepGoing is called between the pieces of a
    // copy; when it returns false the move is abandoned (Stopped). On failure
    // the source is where it was and no partial copy stays.
    virtual Status move(const QString& from, const QString& to,
                        const std::function<bool()>& keepGoing) = 0;
    // Copies an ordinary file (or what a link leads to) so that it appears at
    // to only whole, with the source's permissions, replacing what is there.
    virtual Status copy(const QString& from, const QString& to) = 0;
    virtual Status remove(const QString& path) = 0;
    // Gives an ordinary file a second name (a hard link) in its folder.
    virtual Status link(const QString& existing, const QString& alias) = 0;
    // Makes path a new empty ordinary file, no more readable than any of the
    // models; the owner may always read and write it. An old ordinary file
    // there goes; anything else there is left and the call fails.
    virtual Status createOutput(const QString& path, const QStringList& models) = 0;
    // Replaces a file as a whole: a failed or interrupted write leaves the
    // previous file intact. Only an ordinary file is written, or a new one
    // made; a link is followed only to an ordinary file. A new file is
    // readable by its owner only, an existing one keeps its mode and owner.
    virtual Status writeAtomic(const QString& path, const QByteArray& data) = 0;
    // Writes a file that only its owner may read and write, in place of a
    // file of that name (never through a link), and on disk when done.
    virtual Status writePrivate(const QString& path, const QByteArray& data) = 0;

    // True when both paths lead to the same existing file.
    virtual bool isSameFile(const QString& first, const QString& second) = 0;
    // True when the two paths lead to the same folder as the file system sees
    // it (links followed, letter case counting).
    virtual bool isSameFolder(const QString& a, const QString& b) = 0;
    // Done when files can be made in and taken out of the folder.
    virtual Status checkFolder(const QString& folder) = 0;
    // Makes a folder and the folders above it that are missing, for its
    // owner only.
    virtual Status makeFolder(const QString& folder) = 0;

    // Holds the lock file for this program: nobody else, of any user, holds
    // it at the same time, and it is free again when this program ends,
    // however it ends. Fails as Held while another holds it.
    virtual Status claim(const QString& lockPath) = 0;
    virtual void release(const QString& lockPath) = 0;
};

// The names listEntries gives, or none when the folder cannot be read.
QStringList entryNames(FolderFiles& files, const QString& folder);
