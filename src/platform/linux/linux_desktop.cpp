#include "platform/linux/linux_desktop.h"

#include <QProcess>
#include <QUrl>

#include <cerrno>

#include "common/byte_text.h"
#include "platform/linux/system_error.h"

// A folder or file goes as a file address made of its own bytes, so that a
// name that is not UTF-8 still leads to it.
Status LinuxDesktop::openFolder(const QString& folder) {
    return openFile(folder);
}

Status LinuxDesktop::openFile(const QString& path) {
    const QByteArray address =
        "file://" + QUrl::toPercentEncoding(bytesOfText(path), QByteArrayLiteral("/"));
    return openAddress(QString::fromLatin1(address));
}

Status LinuxDesktop::openAddress(const QString& address) {
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({address});
    opener.setStandardInputFile(QProcess::nullDevice());
    if (!opener.startDetached()) {
        return systemFailure(ENOENT);
    }
    return {};
}
