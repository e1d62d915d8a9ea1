#include "app/project_address.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "platform/desktop.h"
#include "platform/folder_files.h"
#include "platform/program_life.h"

QString projectCaption() {
    return QStringLiteral("README.md");
}

Status openProjectDocumentation(FolderFiles& files, ProgramLife& life, Desktop& desktop) {
    const QString folder = life.programFolder();
    QString readme;
    for (const QString& shipped : {folder + QStringLiteral("/README.md"),
                                   folder + QStringLiteral("/../share/doc/tarnwick/README.md")}) {
        if (files.isFile(shipped)) {
            readme = QDir::cleanPath(shipped);
            break;
        }
    }
    if (readme.isEmpty()) {
        readme = life.configFolder() + QStringLiteral("/README.md");
        QFile builtIn(QStringLiteral(":/docs/README.md"));
        if (!builtIn.open(QIODevice::ReadOnly)) {
            return Failure{Failure::Kind::Unreadable, 0, builtIn.errorString()};
        }
        [[maybe_unused]] const Status folderMade = files.makeFolder(life.configFolder());
        if (const Status written = files.writeAtomic(readme, builtIn.readAll()); !written) {
            return written;
        }
    }
    return desktop.openAddress(QUrl::fromLocalFile(readme).toString());
}
