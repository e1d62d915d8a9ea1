#include "support/main_window_fixture.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>

#include "settings/settings_location.h"

MainWindowFixture::MainWindowFixture() {
    platform.programFolderPath = root.path();
    platform.configFolderPath = root.path() + QStringLiteral("/config");
    window = std::make_unique<FrmMain>(platform);
    window->applyLanguage(QStringLiteral("GB"));
    window->setSettingsPath(settingsFilePath(platform));
    setCaption("lblWatchDir", watch);
    setCaption("lblMoveFolder", moved);
    setCaption("lblOutputPath", output);
    setCaption("lblComposeFolder", merge);
    setCaption("lblGsPath", QStringLiteral("/usr/bin/gs"));
}

QString MainWindowFixture::caption(const char* labelName) const {
    return control<QLabel>(labelName)->text();
}

void MainWindowFixture::setCaption(const char* labelName, const QString& text) const {
    control<QLabel>(labelName)->setText(text);
}

QStringList MainWindowFixture::listEntries() const {
    QStringList entries;
    const auto* list = control<QListWidget>("lstConverted");
    for (int i = 0; i < list->count(); ++i) {
        entries.append(list->item(i)->text());
    }
    return entries;
}

void MainWindowFixture::ghostscriptWritesOutput() {
    platform.onStart = [this](const FakePlatform::Started& start) {
        writeFile(outputFileOf(start), kWholePdf);
        platform.finishProcess(start.id);
    };
}
