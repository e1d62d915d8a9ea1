#include "shell/window_configuration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "shell/frm_main.h"
#include "widgets/controls.h"

QString WindowConfiguration::path(PathKind kind) const {
    return window_.pathLabel(kind)->text();
}

void WindowConfiguration::setPath(PathKind kind, const QString& value) {
    window_.pathLabel(kind)->setText(value);
}

Options WindowConfiguration::options() const {
    Options options;
    options.deletePSFiles = window_.chkDeletePSFiles->isChecked();
    options.startDistOnBoot = window_.chkStartDistOnBoot->isChecked();
    options.useBoundingBox = window_.chkUseBBX->isChecked();
    options.useEncryption = window_.chkUseEncryption->isChecked();
    options.goodPicQuality = window_.chkPicQualityGood->isChecked();
    options.keepGhostscriptRunning = window_.chkKeepGsRunning->isChecked();
    options.quality = window_.cmbQuality->currentIndex();
    options.ownerPassword = window_.txtOwnerPassword->text();
    options.userPassword = window_.txtUserPassword->text();
    return options;
}

void WindowConfiguration::setOptions(const Options& options) {
    window_.chkDeletePSFiles->setChecked(options.deletePSFiles);
    window_.chkStartDistOnBoot->setChecked(options.startDistOnBoot);
    window_.chkUseBBX->setChecked(options.useBoundingBox);
    window_.chkUseEncryption->setChecked(options.useEncryption);
    window_.chkPicQualityGood->setChecked(options.goodPicQuality);
    window_.chkKeepGsRunning->setChecked(options.keepGhostscriptRunning);
    window_.cmbQuality->setCurrentIndex(options.quality);
    window_.txtOwnerPassword->setText(options.ownerPassword);
    window_.txtUserPassword->setText(options.userPassword);
}

void WindowConfiguration::setCounter(double counter) {
    counter_ = counter;
    window_.lblTeller->setText(QString::number(counter, 'f', 0));
}

QString WindowConfiguration::counterCaption() const {
    return window_.lblTeller->text();
}

void WindowConfiguration::setCounterCaption(const QString& caption) {
    window_.lblTeller->setText(caption);
}
