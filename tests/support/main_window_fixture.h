#pragma once

#include <QTemporaryDir>
#include <memory>

#include "platform/fake_platform.h"
#include "shell/frm_main.h"

class QLabel;

// A main window on the fake platform, with the four folders of a conversion
// made as real temporary folders.
struct MainWindowFixture {
    MainWindowFixture();

    QTemporaryDir root;
    QString watch;  // each ends in "/"
    QString moved;
    QString output;
    QString merge;
    FakePlatform platform;
    std::unique_ptr<FrmMain> window;

    template <typename T>
    T* control(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    QString caption(const char* labelName) const;
    void setCaption(const char* labelName, const QString& text) const;
    // Writes a file with the given contents and returns its path.
    QString writeFile(const QString& path, const QByteArray& contents = "%!PS\n") const;
    QStringList listEntries() const;
    // Makes every Ghostscript start write its output file and end at once.
    void ghostscriptWritesOutput();
};

// The output path named by a Ghostscript command line (-sOutputFile="...").
QString outputFileOf(const QString& commandLine);
