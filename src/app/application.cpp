#include "app/application.h"

#include <QSystemTrayIcon>

#include "app/project_address.h"
#include "app/settings_keeper.h"
#include "distill/distiller.h"
#include "merge/merge_job.h"
#include "platform/folder_watch.h"
#include "platform/program_life.h"
#include "settings/configuration.h"
#include "shell/frm_compose.h"
#include "shell/frm_main.h"
#include "shell/main_commands.h"
#include "shell/path_prompts.h"
#include "shell/result_notices.h"
#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"
#include "shell/window_results.h"

Application::Application(Services& services, QObject* parent)
    : QObject(parent),
      services_(services),
      prompts_(services.prompts),
      window_(std::make_unique<FrmMain>(texts_)),
      context_{window_->configuration(), window_->results(), texts_, prompts_,
               services.files,           services.processes} {
    // Until a language is applied the texts are English, never empty.
    texts_.Select_Texts(QStringLiteral("GB"));
    distiller_ = std::make_unique<Distiller>(context_);
    mergeJob_ = std::make_unique<MergeJob>(context_, *distiller_);
    frmCompose_ =
        new FrmCompose(*mergeJob_, window_->configuration(), services.files, window_.get());
    tray_ = std::make_unique<TrayIcon>(texts_, window_->windowIcon());
    geometry_ = new WindowGeometry(*window_);
    animations_ = std::make_unique<WindowAnimations>(*window_);
    pathPrompts_ =
        std::make_unique<PathPrompts>(window_->configuration(), texts_, services.volumes, prompts_,
                                      *window_, [this] { return distiller_->isActive(); });
    commands_ = new MainCommands(*window_, texts_,
                                 {prompts_, services.processes, services.desktop, services.files});
    settings_ = std::make_unique<SettingsKeeper>(
        services.files, prompts_, texts_,
        SettingsKeeper::Window{window_->configuration(), *geometry_, *animations_});
    auto* notices = new ResultNotices(*window_, window_->configuration(), texts_,
                                      services.notifications, services.desktop);
    static_cast<WindowResults&>(window_->results()).setNotices(notices);
    connect(notices, &ResultNotices::windowWanted, window_.get(), &FrmMain::Restore_From_Tray);
    connectWindow();
    connectDistiller();
    // Started by the start-up sequence and never stopped before the end.
    timer_.setObjectName(QStringLiteral("tmrAutodistill"));
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, &Application::tick);
}

Application::~Application() = default;

void Application::connectWindow() {
    FrmMain& window = *window_;
    connect(&window, &FrmMain::startClicked, distiller_.get(), &Distiller::Start_Distiller);
    connect(&window, &FrmMain::stopClicked, distiller_.get(), &Distiller::Stop_Distiller);
    connect(&window, &FrmMain::composeClicked, this, [this] { frmCompose_->openOver(*window_); });
    connect(&window, &FrmMain::exitClicked, this, &Application::exitProgram);
    connect(&window, &FrmMain::closeRequested, this, &Application::exitProgram);
    connect(&window, &FrmMain::pathButtonClicked, this,
            [this](PathKind kind) { pathPrompts_->Path_Button_Click(kind); });
    connect(&window, &FrmMain::languageChosen, this, &Application::applyLanguage);
    connect(commands_, &MainCommands::counterReset, this, [this] { settings_->Save_Settings(); });
    connect(&window, &FrmMain::websiteClicked, this, [this] {
        [[maybe_unused]] const Status opened =
            openProjectDocumentation(services_.files, services_.life, services_.desktop);
    });
    connect(tray_.get(), &TrayIcon::restoreRequested, &window, &FrmMain::Restore_From_Tray);
    // Minimising hides the window, leaving the icon, only where there is a
    // notification area to bring it back from; hidden once the state change
    // has been handled by the window system.
    connect(&window, &FrmMain::minimised, this, [this] {
        if (tray_->isShown() && QSystemTrayIcon::isSystemTrayAvailable()) {
            QTimer::singleShot(0, window_.get(), [this] {
                if (window_->windowState() & Qt::WindowMinimized) {
                    window_->hide();
                }
            });
        }
    });
    connect(&services_.life, &ProgramLife::terminationRequested, this,
            &Application::endFromOutside);
}

void Application::connectDistiller() {
    FrmMain& window = *window_;
    connect(distiller_.get(), &Distiller::startRequested, &window,
            [&window] { window.showComposeAndExit(false); });
    connect(distiller_.get(), &Distiller::startRefused, &window, [&window] {
        window.showComposeAndExit(true);
        window.Make_Orange();
    });
    connect(distiller_.get(), &Distiller::switchedOn, &window, [this, &window] {
        window.Make_Green();
        window.showStart(false);
        // The folder cannot change while the distiller is on.
        services_.folderWatch.watch(window.configuration().path(PathKind::WatchDirpath));
    });
    connect(distiller_.get(), &Distiller::switchedOff, &window, [this, &window] {
        window.showComposeAndExit(true);
        window.Make_Orange();
        window.showStart(true);
        services_.folderWatch.stopWatching();
    });
    connect(&services_.folderWatch, &FolderWatch::changed, this, [this] {
        if (!mergeJob_->isRunning()) {
            distiller_->folderChanged();
        }
    });
    connect(distiller_.get(), &Distiller::indicatorStep, &window, &FrmMain::lightIndicator);
}

// The window's place is kept on the screen before each pass; a merge keeps
// the distiller waiting until its Ghostscript is done.
void Application::tick() {
    geometry_->keepOnScreen();
    if (!mergeJob_->isRunning()) {
        distiller_->tick();
    }
}

void Application::applyLanguage(const QString& code) {
    settings_->setLanguage(code);
    TransLate();
}

void Application::TransLate() {
    const bool selected = texts_.Select_Texts(settings_->language());
    window_->writeCaptions();
    frmCompose_->applyTexts(texts_, selected);
    pathPrompts_->writeCaptions();
    // The tip of an icon already shown follows the language.
    if (tray_->isShown()) {
        tray_->Remove_Tray_Icon();
        tray_->Add_Tray_Icon();
    }
}
