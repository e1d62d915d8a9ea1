#include "shell/path_prompts.h"

#include "i18n/text_table.h"
#include "settings/configuration.h"
#include "settings/path_rules.h"
#include "shell/frm_settings.h"

namespace {

TextId titleOf(PathKind kind) {
    switch (kind) {
        case PathKind::GSPath:
            return TextId::Tr_TitleGSPath;
        case PathKind::WatchDirpath:
            return TextId::Tr_TitleWatchDir;
        case PathKind::MoveToFolder:
            return TextId::Tr_TitleMoveFolder;
        case PathKind::Outputpath:
            return TextId::Tr_TitleOutput;
        case PathKind::ComposeFolder:
            return TextId::Tr_TitleComposeFolder;
        case PathKind::AcroPath:
            return TextId::Tr_TitleAcroPath;
    }
    return TextId::Tr_TitleGSPath;
}

}  // namespace

PathPrompts::PathPrompts(Configuration& config, const TextTable& texts, Volumes& volumes,
                         Prompts& prompts, QWidget& mainWindow, std::function<bool()> distillerOn)
    : config_(config),
      texts_(texts),
      volumes_(volumes),
      prompts_(prompts),
      mainWindow_(mainWindow),
      distillerOn_(std::move(distillerOn)) {}

PathPrompts::~PathPrompts() = default;

FrmSettings& PathPrompts::picker() {
    if (picker_.isNull()) {
        picker_ = new FrmSettings(config_, texts_, volumes_, prompts_, mainWindow_);
        picker_->setPathKind(PathKind_);
    }
    return *picker_;
}

void PathPrompts::writeCaptions() {
    if (picker_ != nullptr) {
        picker_->writeCaptions();
    }
}

void PathPrompts::Ask_For_Path() {
    FrmSettings& window = picker();
    window.setPathKind(PathKind_);
    window.refreshVolumes();
    window.setOkShown(true);
    window.setHintShown(false);
    if (PathKind_) {
        window.setWindowTitle(texts_[titleOf(*PathKind_)]);
    }
    if (PathKind_ == PathKind::GSPath) {
        window.setOkShown(false);
        window.setHintShown(true);
    }
}

void PathPrompts::askForPath(PathKind kind) {
    PathKind_ = kind;
    Ask_For_Path();
}

void PathPrompts::selectFolder(const QString& folder) {
    FrmSettings& window = picker();
    window.selectDrive(volumeOf(window.volumes(), folder));
    window.selectFolder(folder);
}

void PathPrompts::Path_Button_Click(PathKind kind) {
    if (distillerOn_()) {
        return;
    }
    askForPath(kind);
    const QString value = config_.path(kind);
    selectFolder(isFileKind(kind) ? folderPartOf(value) : value);
    FrmSettings& window = picker();
    window.show();
    window.raise();
    window.activateWindow();
}

void PathPrompts::Show_Path_Picker() {
    picker().exec();
}
