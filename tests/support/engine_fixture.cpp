#include "support/engine_fixture.h"

#include <QDir>
#include <QTest>

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

EngineFixture::EngineFixture() {
    texts.Select_Texts(QStringLiteral("GB"));
    config.paths = {{PathKind::WatchDirpath, watch},
                    {PathKind::MoveToFolder, moved},
                    {PathKind::Outputpath, output},
                    {PathKind::ComposeFolder, merge},
                    {PathKind::GSPath, QStringLiteral("/usr/bin/gs")}};
}

void EngineFixture::switchOnAndTick() {
    distiller.Start_Distiller();
    tickToEnd();
}

void EngineFixture::tickToEnd() {
    distiller.tick();
    QTRY_VERIFY(!distiller.isPassInProgress());
}
