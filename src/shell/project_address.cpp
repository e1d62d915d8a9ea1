#include "shell/project_address.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "platform/platform.h"

// The project's documentation, which the web-site label opens: shipped beside
// the program (in the build) or under share/doc (installed); a program copied
// elsewhere on its own writes the copy built into it to the user's
// configuration folder, so that the address always leads somewhere.
QString projectAddress(Platform& platform) {
    const QString folder = platform.programFolder();
    const QString ownCopy = platform.configFolder() + QStringLiteral("/README.md");
    for (const QString& readme :
         {folder + QStringLiteral("/README.md"),
          folder + QStringLiteral("/../share/doc/tarnwick/README.md"), ownCopy}) {
        if (platform.fileExists(readme)) {
            return QUrl::fromLocalFile(QDir::cleanPath(readme)).toString();
        }
    }
    QFile builtIn(QStringLiteral(":/docs/README.md"));
    builtIn.open(QIODevice::ReadOnly);
    platform.writeFileAtomic(ownCopy, builtIn.readAll());
    return QUrl::fromLocalFile(ownCopy).toString();
}
