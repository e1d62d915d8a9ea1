#pragma once

#include <QTemporaryDir>
#include <memory>

#include "platform/fake_platform.h"
#include "shell/frm_main.h"
#include "support/engine_fixture.h"

class QLabel;

// A main window on the fake platform, not yet started: its texts in English,
// its settings file where the program keeps it, and the four folders of a
// conversion made as real temporary folders.
struct MainWindowFixture : ConversionFolders {
    MainWindowFixture();

    FakePlatform platform;
    std::unique_ptr<FrmMain> window;

    template <typename T>
    T* control(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    QString caption(const char* labelName) const;
    void setCaption(const char* labelName, const QString& text) const;
    QString writeFile(const QString& path, const QByteArray& contents = "%!PS\n") const {
        return ::writeFile(path, contents);
    }
    QStringList listEntries() const;
    // Makes every Ghostscript start write a whole PDF and end at once.
    void ghostscriptWritesOutput();
};
