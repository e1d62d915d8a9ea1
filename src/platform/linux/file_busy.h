#pragma once

#include <QByteArray>

// True while another process has the file open, or when it was written to
// less than half a second ago. A file that cannot be opened is not held; a
// link is not followed.
bool isFileHeldByOthers(const QByteArray& nativePath);
// True while another process has the file open, however recently it was
// written.
bool isFileOpenByOthers(const QByteArray& nativePath);
