#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "settings/path_checks.h"
#include "settings/path_kind.h"
#include "shell/frm_settings.h"

class QWidget;
class Configuration;
class Prompts;
class TextTable;
class Volumes;

// How the main window asks for its six paths: the path buttons and the
// path checks prepare, open and wait for the picker window here. The picker
// is loaded at its first touch and stays loaded until it is closed through
// the window system; the next touch loads it again.
class PathPrompts : public PathPicker {
  public:
    // distillerOn tells whether the distiller is switched on.
    PathPrompts(Configuration& config, const TextTable& texts, Volumes& volumes, Prompts& prompts,
                QWidget& mainWindow, std::function<bool()> distillerOn);
    ~PathPrompts() override;

    // The kind of path the picker edits: the one set last, nothing before.
    std::optional<PathKind> pathKind() const { return PathKind_; }
    // The picker, loaded if it is not.
    FrmSettings& picker();
    // The picker if it is loaded, else nothing.
    FrmSettings* loadedPicker() const { return picker_; }

    // Prepares the picker for the kind being edited: its title, and for the
    // Ghostscript executable the hint instead of OK until a file is clicked.
    void Ask_For_Path();
    // The six path buttons: while the distiller is off, prepares the picker
    // for the button's kind on the volume and folder of the stored value and
    // shows it without waiting. A picker already open is prepared anew.
    void Path_Button_Click(PathKind kind);
    // Writes the captions of the current language into a loaded picker.
    void writeCaptions();

    // PathPicker
    void askForPath(PathKind kind) override;
    void selectFolder(const QString& folder) override;
    void Show_Path_Picker() override;

  private:
    Configuration& config_;
    const TextTable& texts_;
    Volumes& volumes_;
    Prompts& prompts_;
    QWidget& mainWindow_;
    std::function<bool()> distillerOn_;
    std::optional<PathKind> PathKind_;
    QPointer<FrmSettings> picker_;
};
