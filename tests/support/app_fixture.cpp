#include "support/app_fixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "app/settings_keeper.h"
#include "distill/distiller.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

AppFixture::AppFixture() {
    life.programFolderPath = root.path();
    life.configFolderPath = root.path() + QStringLiteral("/config");
    app = std::make_unique<Application>(services);
    app->applyLanguage(QStringLiteral("GB"));
    app->settings().setPlaces(settingsPlaces(files, life));
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

bool AppFixture::showWindow() {
    window().Make_Orange();
    window().show();
    return QTest::qWaitForWindowExposed(&window());
}

QString AppFixture::settingsPath() const {
    return app->settings().places().write;
}

void AppFixture::writeSettings(const Settings& settings) const {
    writeFile(settingsPath(), formatSettings(settings));
}

std::optional<Settings> AppFixture::savedSettings() const {
    if (!QFileInfo::exists(settingsPath())) {
        return std::nullopt;
    }
    Settings settings;
    parseSettings(readFile(settingsPath()), settings);
    return settings;
}

void AppFixture::tickToEnd() {
    app->distiller().tick();
    QTRY_VERIFY(!app->distiller().isPassInProgress());
}
