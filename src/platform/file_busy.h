#pragma once

#include <QString>

// True while another process has the file open, or when it was written to
// less than half a second ago. A file that cannot be opened is not held.
bool isFileHeldByOthers(const QString& path);
