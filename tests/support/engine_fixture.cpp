#include "support/engine_fixture.h"

#include <QDir>
#include <QFile>

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

EngineFixture::EngineFixture() {
    texts.Select_Texts(QStringLiteral("GB"));
    config.paths = {{PathKind::WatchDirpath, watch},
                    {PathKind::MoveToFolder, moved},
                    {PathKind::Outputpath, output},
                    {PathKind::ComposeFolder, merge},
                    {PathKind::GSPath, QStringLiteral("/usr/bin/gs")}};
}

void EngineFixture::ghostscriptWritesOutput() {
    platform.onStart = [this](const FakePlatform::Started& start) {
        writeFile(outputFileOf(start), kWholePdf);
        platform.finishProcess(start.id);
    };
}

QString writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(contents);
    return path;
}

QString outputFileOf(const FakePlatform::Started& start) {
    const QString prefix = QStringLiteral("-sOutputFile=");
    for (const QString& argument : start.arguments) {
        if (argument.startsWith(prefix)) {
            return argument.mid(prefix.size()).replace(QStringLiteral("%%"), QStringLiteral("%"));
        }
    }
    return {};
}
