#include "app/project_address.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "platform/folder_files.h"
#include "platform/program_life.h"

// The project's documentation, which the web-site label opens: shipped beside
// the program (in the build) or under share/doc (installed); a program copied
// elsewhere on its own writes the copy built into it to the user's
// configuration folder, so that the address always leads somewhere.
QString projectAddress(FolderFiles& files, ProgramLife& life) {
    const QString folder = life.programFolder();
    const QString ownCopy = life.configFolder() + QStringLiteral("/README.md");
    for (const QString& readme :
         {folder + QStringLiteral("/README.md"),
          folder + QStringLiteral("/../share/doc/tarnwick/README.md"), ownCopy}) {
        if (files.isFile(readme)) {
            return QUrl::fromLocalFile(QDir::cleanPath(readme)).toString();
        }
    }
    QFile builtIn(QStringLiteral(":/docs/README.md"));
    builtIn.open(QIODevice::ReadOnly);
    [[maybe_unused]] const Status folderMade = files.makeFolder(life.configFolder());
    [[maybe_unused]] const Status written = files.writeAtomic(ownCopy, builtIn.readAll());
    return QUrl::fromLocalFile(ownCopy).toString();
}
