#include "platform/linux/retrying_io.h"

#include <unistd.h>
#include <cerrno>

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

qint64 readSome(int fd, char* buffer, qint64 size) {
    ssize_t got = 0;
    do {
        got = read(fd, buffer, static_cast<size_t>(size));
    } while (got < 0 && errno == EINTR);
    return got;
}
