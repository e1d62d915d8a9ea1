#include "printing/device_uri.h"

#include <QFile>

namespace {

constexpr QByteArrayView kScheme = "tarnwick:";

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Percent-decodes a path; nothing when an escape is broken or stands for a
// byte no path holds (NUL), or when a query or fragment follows.
std::optional<QByteArray> decodedPath(QByteArrayView path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '?' || c == '#') {
            return std::nullopt;
        }
        if (c != '%') {
            bytes += c;
            continue;
        }
        const int high = i + 2 < path.size() ? hexValue(path[i + 1]) : -1;
        const int low = i + 2 < path.size() ? hexValue(path[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

}  // namespace

QString deviceUriOfFolder(const QString& folder) {
    return QString::fromLatin1(kScheme.toByteArray() +
                               QFile::encodeName(folder).toPercentEncoding("/"));
}

bool isTarnWickUri(QByteArrayView uri) {
    return uri.startsWith(kScheme);
}

std::optional<QByteArray> folderOfDeviceUri(QByteArrayView uri) {
    if (!isTarnWickUri(uri)) {
        return std::nullopt;
    }
    QByteArrayView path = uri.sliced(kScheme.size());
    if (path.startsWith("//")) {
        path = path.sliced(2);  // only an empty host: the path follows at once
    }
    if (!path.startsWith('/')) {
        return std::nullopt;
    }
    return decodedPath(path);
}
