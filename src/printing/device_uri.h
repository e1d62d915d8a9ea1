#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The print queue's device URI names the folder the backend delivers into:
// "tarnwick:" and the folder's absolute path, every byte but letters,
// digits, "-._~" and "/" percent-encoded, e.g. tarnwick:/home/user/PostScript/.

// The device URI for a folder.
QString deviceUriOfFolder(const QString& folder);

// True when the URI is one of this backend's (whether or not it names a folder).
bool isTarnWickUri(QByteArrayView uri);

// The folder a device URI names, as the file system's bytes; nothing when
// the URI is not this backend's or names no absolute path. "tarnwick:///path"
// (an empty host) is read like "tarnwick:/path".
std::optional<QByteArray> folderOfDeviceUri(QByteArrayView uri);
