#include "support/app_fixture.h"

#include <QLabel>
#include <QListWidget>

#include "app/settings_keeper.h"
#include "settings/settings_location.h"
#include "shell/frm_main.h"

AppFixture::AppFixture() {
    life.programFolderPath = root.path();
    life.configFolderPath = root.path() + QStringLiteral("/config");
    app = std::make_unique<Application>(services);
    app->applyLanguage(QStringLiteral("GB"));
    app->settings().setPath(settingsFilePath(files, life));
    setCaption("lblWatchDir", watch);
    setCaption("lblMoveFolder", moved);
    setCaption("lblOutputPath", output);
    setCaption("lblComposeFolder", merge);
    setCaption("lblGsPath", QStringLiteral("/usr/bin/gs"));
}

QString AppFixture::caption(const char* labelName) const {
    return control<QLabel>(labelName)->text();
}

void AppFixture::setCaption(const char* labelName, const QString& text) const {
    control<QLabel>(labelName)->setText(text);
}

QStringList AppFixture::listEntries() const {
    QStringList entries;
    const auto* list = control<QListWidget>("lstConverted");
    for (int i = 0; i < list->count(); ++i) {
        entries.append(list->item(i)->text());
    }
    return entries;
}

QString AppFixture::settingsPath() const {
    return app->settings().path();
}
