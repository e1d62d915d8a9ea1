#pragma once

#include <QtGlobal>

// Reading and writing that go on after interruptions. writeAll is false on
// failure; readSome gives what there is up to size, 0 at the end and -1 on
// failure.
bool writeAll(int fd, const char* data, qint64 size);
qint64 readSome(int fd, char* buffer, qint64 size);
