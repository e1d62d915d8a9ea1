// The start-up sequence: refuses a second instance, brings the main window to
// life from the settings file and the command line, shows it, takes a file
// named on the command line, switches the distiller on when asked and starts
// the timer.
#include "app/application.h"
#include "app/project_address.h"
#include "app/settings_keeper.h"
#include "common/text_util.h"
#include "distill/distiller.h"
#include "platform/desktop.h"
#include "platform/folder_files.h"
#include "platform/processes.h"
#include "platform/program_life.h"
#include "settings/configuration.h"
#include "settings/path_checks.h"
#include "settings/path_rules.h"
#include "settings/settings_location.h"
#include "shell/frm_main.h"
#include "shell/path_prompts.h"
#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"

namespace {

// The four folders and the reader path before anything was chosen.
const QString kRootFolder = QStringLiteral("/");

}  // namespace

void Application::start(const StartRequest& request) {
    start(request, *pathPrompts_);
}

void Application::start(const StartRequest& request, PathPicker& picker) {
    ProgramLife& life = services_.life;
    if (!life.claimInstance()) {
        prompts_.message(secondInstanceMessage(request.commandLine));
        life.endProgram();
        return;
    }
    life.watchTermination();
    askingForPaths_ = true;
    Configuration& config = window_->configuration();
    settings_->setPlaces(settingsPlaces(services_.files, life));
    window_->setWebsiteCaption(projectCaption());

    if (!settings_->exists()) {
        for (PathKind kind : {PathKind::WatchDirpath, PathKind::Outputpath, PathKind::MoveToFolder,
                              PathKind::ComposeFolder}) {
            config.setPath(kind, kRootFolder);
        }
        TransLate();
        if (!Check_Paths(config, texts_, prompts_, life, picker)) {
            return;
        }
    } else {
        settings_->Load_Settings();
        // A code outside the six selects nothing; the windows then show
        // English rather than no text at all.
        window_->selectLanguageEntry(settings_->language());
        TransLate();
        if (!checkPathsAfterReading(picker)) {
            return;
        }
    }

    askingForPaths_ = false;
    window_->Make_Orange();
    // Placed before it is shown, so that a window manager starts from the
    // stored place rather than one of its own.
    const bool normal = !(window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    if (normal) {
        geometry_->restorePosition();
    }
    window_->show();
    animations_->recordFullSize();
    if (normal) {
        animations_->Unroll_Window();
    }

    if (request.singleFile && !beginSingleFileRun(*request.singleFile)) {
        return;
    }
    if (config.options().startDistOnBoot || request.distill) {
        distiller_->Start_Distiller();
    }
    tray_->Add_Tray_Icon();
    if (geometry_->savedWindowState() == QLatin1String("1")) {
        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
    }
    timer_.start();
}

// After reading the settings file: empty paths become the root, and the
// Ghostscript path is asked for when it is empty or names no file. False when
// the program was ended.
bool Application::checkPathsAfterReading(PathPicker& picker) {
    Configuration& config = window_->configuration();
    for (PathKind kind : {PathKind::WatchDirpath, PathKind::Outputpath, PathKind::MoveToFolder,
                          PathKind::ComposeFolder, PathKind::AcroPath}) {
        if (config.path(kind).isEmpty()) {
            config.setPath(kind, kRootFolder);
        }
    }
    if (config.path(PathKind::GSPath).isEmpty()) {
        prompts_.message(texts_[TextId::Tr_MsgSettingsWrong]);
        if (!Check_Paths(config, texts_, prompts_, services_.life, picker)) {
            return false;
        }
    }
    if (!services_.files.isFile(config.path(PathKind::GSPath))) {
        prompts_.message(texts_[TextId::Tr_MsgGSPathInvalid]);
        return Check_Paths(config, texts_, prompts_, services_.life, picker);
    }
    return true;
}

// Takes the file named on the command line into the watched folder and has
// the distiller convert it to a PDF beside it. False when the program ended.
bool Application::beginSingleFileRun(const SingleFileRequest& file) {
    FolderFiles& files = services_.files;
    if (!files.isFile(file.sourcePath)) {
        services_.life.endProgram();
        return false;
    }
    const QString watchDir = window_->configuration().path(PathKind::WatchDirpath);
    if (!files.isSameFolder(file.folder.isEmpty() ? QStringLiteral(".") : file.folder, watchDir)) {
        if (!files.copy(file.sourcePath, watchDir + file.fileName)) {
            // The file stays where it is; nothing else has been touched.
            prompts_.message(texts_[TextId::Tr_MsgSingleFileNotCopied] + file.sourcePath);
            services_.life.endProgram();
            return false;
        }
    }
    distiller_->beginSingleFile(
        {file.fileName, file.pdfPath, [this](const QString& pdf) { Finish_Single_File(pdf); }});
    distiller_->Start_Distiller();
    return true;
}

// The end of a single-file run: opens the PDF of the named file in the
// reader (the desktop's viewer when none is chosen), removes the tray icon, saves the settings and
// ends the program.
void Application::Finish_Single_File(const QString& pdfPath) {
    const QString reader = window_->configuration().path(PathKind::AcroPath);
    if (services_.files.isFile(trimBlanks(reader)) && !pdfPath.isEmpty() &&
        services_.files.isFile(pdfPath)) {
        [[maybe_unused]] const Status started = services_.processes.startProgram(
            QLatin1Char('"') + reader + QStringLiteral("\" \"") + pdfPath + QLatin1Char('"'),
            WindowMode::Maximised);
    } else if (noReaderChosen(reader) && !pdfPath.isEmpty() && services_.files.isFile(pdfPath)) {
        [[maybe_unused]] const Status opened = services_.desktop.openFile(pdfPath);
    }
    tray_->Remove_Tray_Icon();
    settings_->Save_Settings();
    services_.life.endProgram();
}
