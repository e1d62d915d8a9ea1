#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "platform/file_status.h"

// The file operations of the distill cycle on Linux. The test stand-in works
// on real files as well and uses them too.

std::optional<FileStatus> statusOf(const QString& path);

// Up to maxBytes from the end of a file; nothing when it cannot be read.
std::optional<QByteArray> readTail(const QString& path, qint64 maxBytes);

// Moves a file to the path to, replacing a file there, so that it appears
// there only whole: by rename within one file system, else by a copy under a
// hidden name in the target folder that is renamed into place before the
// source is removed. The file keeps its permission bits. A file that cannot
// be read is not moved. keepGoing is called between the pieces of a copy, so
// that the caller can let its window work; when it returns false the copy is
// abandoned. On failure the source is where it was and no partial copy stays.
std::optional<MoveError> moveIntoPlace(const QString& from, const QString& to,
                                       const std::function<bool()>& keepGoing);

// Makes path a new empty file (whatever was there goes) that is no more
// readable than modelPath; the owner may always read and write it. Returns
// the system's words on failure.
std::optional<QString> createOutputFile(const QString& path, const QString& modelPath);

// Nothing when files can be made in and taken out of the folder, else the
// system's words for why not.
std::optional<QString> folderError(const QString& folder);

// True when both paths lead to the same folder once links are followed; paths
// that lead nowhere are compared as cleaned texts. Letter case counts.
bool isSameFolder(const QString& a, const QString& b);

// Writes all of data, going on after interruptions; false on failure.
bool writeAll(int fd, const char* data, ssize_t size);
// Reads what there is up to size, going on after interruptions: 0 at the
// end, -1 on failure.
ssize_t readSome(int fd, char* buffer, size_t size);

// The system's words for an error number.
QString errorText(int error);
