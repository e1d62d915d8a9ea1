#include "shell/startup.h"

#include <QTimer>

#include "common/text_util.h"
#include "engine/distiller.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "settings/path_checks.h"
#include "settings/settings_location.h"
#include "shell/frm_main.h"
#include "shell/project_address.h"
#include "shell/tray_icon.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"

namespace {

// The four folders and the reader path before anything was chosen.
constexpr const char* kRootFolder = "/";

void setDefaultFolders(FrmMain& window) {
    for (PathKind kind : {PathKind::WatchDirpath, PathKind::Outputpath, PathKind::MoveToFolder,
                          PathKind::ComposeFolder}) {
        window.setPath(kind, QLatin1String(kRootFolder));
    }
}

bool checkPaths(FrmMain& window, Platform& platform, PathPicker& picker) {
    return Check_Paths(window, window.texts(), platform, picker);
}

// After reading the settings file: empty paths become the root, and the
// Ghostscript path is asked for when it is empty or names no file. False when
// the program was ended.
bool checkPathsAfterReading(FrmMain& window, Platform& platform, PathPicker& picker) {
    for (PathKind kind : {PathKind::WatchDirpath, PathKind::Outputpath, PathKind::MoveToFolder,
                          PathKind::ComposeFolder, PathKind::AcroPath}) {
        if (window.path(kind).isEmpty()) {
            window.setPath(kind, QLatin1String(kRootFolder));
        }
    }
    if (window.path(PathKind::GSPath).isEmpty()) {
        platform.prompts().message(window.texts()[TextId::Tr_MsgSettingsWrong]);
        if (!checkPaths(window, platform, picker)) {
            return false;
        }
    }
    if (!platform.fileExists(window.path(PathKind::GSPath))) {
        platform.prompts().message(window.texts()[TextId::Tr_MsgGSPathInvalid]);
        return checkPaths(window, platform, picker);
    }
    return true;
}

// Takes the file named on the command line into the watched folder and has
// the distiller convert it to a PDF beside it. False when the program ended.
bool beginSingleFileRun(FrmMain& window, Platform& platform, const SingleFileRequest& file) {
    if (!platform.fileExists(file.sourcePath)) {
        platform.endProgram();
        return false;
    }
    const QString watchDir = window.path(PathKind::WatchDirpath);
    if (!platform.isSameFolder(file.folder.isEmpty() ? QStringLiteral(".") : file.folder,
                               watchDir)) {
        if (platform.copyFile(file.sourcePath, watchDir + file.fileName) != FileResult::Ok) {
            // The file stays where it is; nothing else has been touched.
            platform.prompts().message(window.texts()[TextId::Tr_MsgSingleFileNotCopied] +
                                       file.sourcePath);
            platform.endProgram();
            return false;
        }
    }
    DistillerState& state = window.distiller().state();
    state.SingleFileName = file.fileName;
    state.SingleFilePdfPath = file.pdfPath;
    state.SingleFileEnding = [&window, &platform] { Finish_Single_File(window, platform); };
    state.SingleFileMode = true;
    window.distiller().Start_Distiller();
    return true;
}

}  // namespace

void connectCloseRequests(FrmMain& window, Platform& platform) {
    QObject::connect(&platform, &Platform::terminationRequested, &window, &QWidget::close);
}

void runStartUp(FrmMain& window, Platform& platform, const StartRequest& request,
                PathPicker& picker) {
    if (!platform.claimSingleInstance()) {
        platform.prompts().message(secondInstanceMessage(request.commandLine));
        platform.endProgram();
        return;
    }
    connectCloseRequests(window, platform);
    window.setSettingsPath(settingsFilePath(platform));
    window.setProjectAddress(projectAddress(platform));

    if (!platform.fileExists(window.settingsPath())) {
        setDefaultFolders(window);
        window.TransLate();
        if (!checkPaths(window, platform, picker)) {
            return;
        }
    } else {
        window.Load_Settings();
        // A code outside the six selects nothing; the windows then show
        // English rather than no text at all.
        if (!window.selectLanguageEntry(window.languageCode())) {
            window.TransLate();
        }
        if (!checkPathsAfterReading(window, platform, picker)) {
            return;
        }
    }

    window.Make_Orange();
    // Placed before it is shown, so that a window manager starts from the
    // stored place rather than one of its own.
    const bool normal = !(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    if (normal) {
        window.windowGeometry().restorePosition();
    }
    window.show();
    window.animations().recordFullSize();
    if (normal) {
        window.animations().Unroll_Window();
    }

    if (request.singleFile && !beginSingleFileRun(window, platform, *request.singleFile)) {
        return;
    }
    if (window.options().startDistOnBoot || request.distill) {
        window.distiller().Start_Distiller();
    }
    window.tray().Add_Tray_Icon();
    if (window.windowGeometry().savedWindowState() == QLatin1String("1")) {
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
    }
    window.timer().start();
}

void Finish_Single_File(FrmMain& window, Platform& platform) {
    const QString reader = window.path(PathKind::AcroPath);
    const QString entry = window.selectedEntry();
    if (platform.fileExists(trimBlanks(reader)) && !entry.isEmpty() && platform.fileExists(entry)) {
        platform.startProcess(
            QLatin1Char('"') + reader + QStringLiteral("\" \"") + entry + QLatin1Char('"'),
            WindowMode::Maximised);
    }
    window.tray().Remove_Tray_Icon();
    window.Save_Settings();
    platform.endProgram();
}
