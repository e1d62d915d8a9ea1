#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <limits>

#include "common/quality.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/controls.h"
#include "shell/frm_main.h"
#include "shell/twips.h"

namespace {

qint16 toInt16(int twips) {
    return static_cast<qint16>(std::clamp<int>(twips, std::numeric_limits<qint16>::min(),
                                               std::numeric_limits<qint16>::max()));
}

}  // namespace

SettingsValues FrmMain::currentSettings() const {
    SettingsValues values;
    values.ghostscriptPath = lblGsPath->text();
    values.outputPath = lblOutputPath->text();
    values.moveFolder = lblMoveFolder->text();
    values.watchDirPath = lblWatchDir->text();
    values.composeFolder = lblComposeFolder->text();
    values.acrobatFolder = lblAcroPath->text();
    values.deletePSFiles = chkDeletePSFiles->isChecked() ? 1 : 0;
    values.startDistOnBoot = chkStartDistOnBoot->isChecked() ? 1 : 0;
    values.useBoundingBox = chkUseBBX->isChecked() ? 1 : 0;
    values.useEncryption = chkUseEncryption->isChecked() ? 1 : 0;
    values.goodPicQuality = chkPicQualityGood->isChecked() ? 1 : 0;
    values.quality = cmbQuality->currentIndex();
    values.ownerPassword = txtOwnerPassword->text();
    values.userPassword = txtUserPassword->text();
    values.language = languageCode_;
    values.left = savedLeft;
    values.top = savedTop;
    values.windowState = savedWindowState;
    values.counter = counter_;
    values.counterCaption = lblTeller->text();
    return values;
}

void FrmMain::Load_Settings() {
    SettingsValues values = currentSettings();
    values.left = 0;
    values.top = 0;

    // An unreadable file reads as an empty one: every value stays as it was.
    readSettingsFile(platform_, settingsPath_, values);

    lblGsPath->setText(values.ghostscriptPath);
    lblOutputPath->setText(values.outputPath);
    lblWatchDir->setText(values.watchDirPath);
    lblMoveFolder->setText(values.moveFolder);
    lblComposeFolder->setText(values.composeFolder);
    lblAcroPath->setText(values.acrobatFolder);
    savedLeft = values.left;
    savedTop = values.top;
    counter_ = values.counter;
    lblTeller->setText(values.counterCaption);
    chkDeletePSFiles->setChecked(values.deletePSFiles == 1);
    chkUseBBX->setChecked(values.useBoundingBox == 1);
    chkStartDistOnBoot->setChecked(values.startDistOnBoot == 1);
    if (values.qualityChanged) {
        cmbQuality->setCurrentIndex(values.quality);
        qualityPresetFor(values.quality, QualityPreset);
    }
    chkUseEncryption->setChecked(values.useEncryption == 1);
    txtOwnerPassword->setText(values.ownerPassword);
    txtUserPassword->setText(values.userPassword);
    chkPicQualityGood->setChecked(values.goodPicQuality == 1);
    languageCode_ = values.language;
    savedWindowState = values.windowState;
}

void FrmMain::Save_Settings() {
    SettingsValues values = currentSettings();
    const Qt::WindowStates state = windowState();
    // Minimised or maximised, the position read at start is kept.
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        // A window sticking out on the right is moved flush with the right
        // edge, one sticking out at the bottom goes to the top.
        const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
        const int screenWidth = pixelsToTwips(shown->geometry().width());
        const int screenHeight = pixelsToTwips(shown->geometry().height());
        const QRect frame = frameGeometry();
        const int width = pixelsToTwips(frame.width());
        const int height = pixelsToTwips(frame.height());
        int left = std::max(pixelsToTwips(frame.x()), 0);
        if (pixelsToTwips(frame.x()) + width > screenWidth) {
            left = screenWidth - width;
        }
        int top = pixelsToTwips(frame.y());
        if (top < 0 || top + height > screenHeight) {
            top = 0;
        }
        values.left = toInt16(left);
        values.top = toInt16(top);
    }
    savedWindowState = state & Qt::WindowMinimized ? QStringLiteral("1") : QStringLiteral("0");
    values.windowState = savedWindowState;

    if (const std::optional<QString> error =
            platform_.writeFileAtomic(settingsPath_, formatSettings(values))) {
        platform_.prompts().message(texts_[TextId::Tr_MsgSettingsNotSaved] + settingsPath_ +
                                    QStringLiteral("\n") + *error);
    }
    Roll_Up_Window();
}
