#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "app/command_line.h"
#include "app/services.h"
#include "app/session_prompts.h"
#include "distill/engine_context.h"
#include "i18n/text_table.h"

class Distiller;
class FrmCompose;
class FrmMain;
class MainCommands;
class MergeJob;
class PathPicker;
class PathPrompts;
class SettingsKeeper;
class TrayIcon;
class WindowAnimations;
class WindowGeometry;

// The application: it receives the command line, claims the instance, owns
// the distiller, the merge job, the tray icon, the settings and the 200 ms
// timer, builds the windows and ends the program.
class Application : public QObject {
    Q_OBJECT
  public:
    explicit Application(Services& services, QObject* parent = nullptr);
    ~Application() override;

    // The start-up sequence; the program may end inside it. The path checks
    // show the picker of the main window, or the one given.
    void start(const StartRequest& request);
    void start(const StartRequest& request, PathPicker& picker);

    // Applies the language code to every window and the tray tip. A code
    // outside the six keeps the texts applied last (English at first).
    void TransLate();
    // Sets the language code and applies it.
    void applyLanguage(const QString& code);

    // Exit and a close request: save, remove the icon, end at once.
    void exitProgram();

    FrmMain& window() { return *window_; }
    Distiller& distiller() { return *distiller_; }
    MergeJob& mergeJob() { return *mergeJob_; }
    FrmCompose& frmCompose() { return *frmCompose_; }
    TrayIcon& tray() { return *tray_; }
    PathPrompts& pathPrompts() { return *pathPrompts_; }
    WindowGeometry& geometry() { return *geometry_; }
    WindowAnimations& animations() { return *animations_; }
    SettingsKeeper& settings() { return *settings_; }
    QTimer& timer() { return timer_; }
    const TextTable& texts() const { return texts_; }

  private:
    void connectWindow();
    void connectDistiller();
    void tick();
    bool checkPathsAfterReading(PathPicker& picker);
    bool beginSingleFileRun(const SingleFileRequest& file);
    void Finish_Single_File(const QString& pdfPath);
    void endFromOutside();

    Services& services_;
    SessionPrompts prompts_;
    TextTable texts_;
    std::unique_ptr<FrmMain> window_;
    EngineContext context_;
    std::unique_ptr<Distiller> distiller_;
    std::unique_ptr<MergeJob> mergeJob_;
    FrmCompose* frmCompose_ = nullptr;  // a window of its own, owned by the main window
    std::unique_ptr<TrayIcon> tray_;
    WindowGeometry* geometry_ = nullptr;  // attached to the main window
    std::unique_ptr<WindowAnimations> animations_;
    std::unique_ptr<PathPrompts> pathPrompts_;
    MainCommands* commands_ = nullptr;  // attached to the main window
    std::unique_ptr<SettingsKeeper> settings_;
    QTimer timer_;
    bool ending_ = false;  // Exit or a close request is being carried out
    // The start-up asks for paths; an end meanwhile writes nothing, as the
    // Cancel of its questions does.
    bool askingForPaths_ = false;
};
