#include "support/engine_fixture.h"

#include <QDir>

ConversionFolders::ConversionFolders() {
    const QString base = root.path() + QLatin1Char('/');
    watch = base + QStringLiteral("watch/");
    moved = base + QStringLiteral("moved/");
    output = base + QStringLiteral("output/");
    merge = base + QStringLiteral("merge/");
    for (const QString& folder : {watch, moved, output, merge}) {
        QDir().mkpath(folder);
    }
}

QString outputFileOf(const FakeProcesses::Started& start) {
    const QString prefix = QStringLiteral("-sOutputFile=");
    for (const QString& argument : start.request.arguments) {
        if (argument.startsWith(prefix)) {
            return argument.mid(prefix.size()).replace(QStringLiteral("%%"), QStringLiteral("%"));
        }
    }
    return {};
}

void ghostscriptWritesOutput(FakeProcesses& processes) {
    processes.onStart = [&processes](const FakeProcesses::Started& start) {
        writeFile(outputFileOf(start), kWholePdf);
        processes.finishRun(start.id);
    };
}

QHash<PathKind, QString> conversionPaths(const ConversionFolders& folders) {
    return {{PathKind::WatchDirpath, folders.watch},
            {PathKind::MoveToFolder, folders.moved},
            {PathKind::Outputpath, folders.output},
            {PathKind::ComposeFolder, folders.merge},
            {PathKind::GSPath, QStringLiteral("/usr/bin/gs")}};
}
