#pragma once

#include <memory>
#include <optional>

#include "app/application.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_folder_files.h"
#include "fakes/fake_folder_watch.h"
#include "fakes/fake_notifications.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_program_life.h"
#include "fakes/fake_prompts.h"
#include "fakes/fake_volumes.h"
#include "settings/settings.h"
#include "shell/frm_main.h"
#include "support/engine_fixture.h"

class Configuration;

// The application on the stand-in platform, not yet started: its texts in
// English, its settings file where the program keeps it (beside the program,
// in the temporary folder), and the four folders of a conversion made as
// real temporary folders and shown in the window.
struct AppFixture : ConversionFolders {
    AppFixture();

    FakeProcesses processes;
    FakeFolderFiles files;
    FakeVolumes volumes;
    FakeDesktop desktop;
    FakeProgramLife life;
    FakePrompts prompts;
    FakeFolderWatch folderWatch;
    FakeNotifications notifications;
    Services services{processes, files,   volumes,     desktop,
                      life,      prompts, folderWatch, notifications};
    std::unique_ptr<Application> app;

    FrmMain& window() { return app->window(); }
    Configuration& config() { return app->window().configuration(); }
    template <typename T>
    T* control(const char* name) const;
    QString caption(const char* labelName) const;
    void setCaption(const char* labelName, const QString& text) const;
    QStringList listEntries() const;
    // Shows the window in the look of a switched-off distiller, as start-up
    // does; false when it did not come on screen.
    [[nodiscard]] bool showWindow();

    QString settingsPath() const;
    // Writes the settings file of a record.
    void writeSettings(const Settings& settings) const;
    // The settings file read into a record of defaults; nothing when there
    // is no file.
    std::optional<Settings> savedSettings() const;

    void ghostscriptWritesOutput() { ::ghostscriptWritesOutput(processes); }
    // One tick of the distiller, and its pass to the end.
    void tickToEnd();
};

template <typename T>
T* AppFixture::control(const char* name) const {
    return app->window().findChild<T*>(QLatin1String(name));
}
