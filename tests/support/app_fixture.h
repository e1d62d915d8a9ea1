#pragma once

#include <memory>

#include "app/application.h"
#include "platform/fake_desktop.h"
#include "platform/fake_folder_files.h"
#include "platform/fake_processes.h"
#include "platform/fake_program_life.h"
#include "platform/fake_prompts.h"
#include "platform/fake_volumes.h"
#include "shell/frm_main.h"
#include "support/engine_fixture.h"

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
    Services services{processes, files, volumes, desktop, life, prompts};
    std::unique_ptr<Application> app;

    FrmMain& window() { return app->window(); }
    template <typename T>
    T* control(const char* name) const;
    QString caption(const char* labelName) const;
    void setCaption(const char* labelName, const QString& text) const;
    QStringList listEntries() const;
    QString settingsPath() const;
    void ghostscriptWritesOutput() { ::ghostscriptWritesOutput(processes); }
};

template <typename T>
T* AppFixture::control(const char* name) const {
    return app->window().findChild<T*>(QLatin1String(name));
}
