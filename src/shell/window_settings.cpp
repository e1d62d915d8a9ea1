#include <QComboBox>

#include "i18n/text_table.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/frm_main.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"

namespace {

// The values the settings file keeps, as the window holds them now.
SettingsValues currentSettings(const Configuration& config, const WindowGeometry& geometry,
                               const QString& language) {
    SettingsValues values;
    values.ghostscriptPath = config.path(PathKind::GSPath);
    values.outputPath = config.path(PathKind::Outputpath);
    values.moveFolder = config.path(PathKind::MoveToFolder);
    values.watchDirPath = config.path(PathKind::WatchDirpath);
    values.composeFolder = config.path(PathKind::ComposeFolder);
    values.acrobatFolder = config.path(PathKind::AcroPath);
    const Options options = config.options();
    values.deletePSFiles = options.deletePSFiles ? 1 : 0;
    values.startDistOnBoot = options.startDistOnBoot ? 1 : 0;
    values.useBoundingBox = options.useBoundingBox ? 1 : 0;
    values.useEncryption = options.useEncryption ? 1 : 0;
    values.goodPicQuality = options.goodPicQuality ? 1 : 0;
    values.quality = options.quality;
    values.ownerPassword = options.ownerPassword;
    values.userPassword = options.userPassword;
    values.language = language;
    values.left = geometry.savedLeft();
    values.top = geometry.savedTop();
    values.windowState = geometry.savedWindowState();
    values.counter = config.counter();
    values.counterCaption = config.counterCaption();
    return values;
}

}  // namespace

void FrmMain::Load_Settings() {
    SettingsValues values = currentSettings(*this, *geometry_, languageCode_);
    values.left = 0;
    values.top = 0;

    // An unreadable file reads as an empty one: every value stays as it was.
    readSettingsFile(platform_, settingsPath_, values);

    setPath(PathKind::GSPath, values.ghostscriptPath);
    setPath(PathKind::Outputpath, values.outputPath);
    setPath(PathKind::WatchDirpath, values.watchDirPath);
    setPath(PathKind::MoveToFolder, values.moveFolder);
    setPath(PathKind::ComposeFolder, values.composeFolder);
    setPath(PathKind::AcroPath, values.acrobatFolder);
    geometry_->setSaved(values.left, values.top, values.windowState);
    counter_ = values.counter;
    setCounterCaption(values.counterCaption);
    Options options = this->options();
    options.deletePSFiles = values.deletePSFiles == 1;
    options.useBoundingBox = values.useBoundingBox == 1;
    options.startDistOnBoot = values.startDistOnBoot == 1;
    if (values.qualityChanged) {
        options.quality = values.quality;
    }
    options.useEncryption = values.useEncryption == 1;
    options.ownerPassword = values.ownerPassword;
    options.userPassword = values.userPassword;
    options.goodPicQuality = values.goodPicQuality == 1;
    setOptions(options);
    languageCode_ = values.language;
}

void FrmMain::Save_Settings() {
    geometry_->recordPosition();
    const SettingsValues values = currentSettings(*this, *geometry_, languageCode_);
    if (const std::optional<QString> error =
            platform_.writeFileAtomic(settingsPath_, formatSettings(values))) {
        platform_.prompts().message(texts_[TextId::Tr_MsgSettingsNotSaved] + settingsPath_ +
                                    QStringLiteral("\n") + *error);
    }
    animations_->Roll_Up_Window();
}
