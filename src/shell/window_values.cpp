#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "common/quality.h"
#include "shell/controls.h"
#include "shell/frm_main.h"

// The window's controls are the configured values, and the list, the
// counters and the status line show what the distiller and the merge job
// produce.

void FrmMain::setCounter(double counter) {
    counter_ = counter;
    lblTeller->setText(QString::number(counter, 'f', 0));
}

QString FrmMain::counterCaption() const {
    return lblTeller->text();
}

void FrmMain::setCounterCaption(const QString& caption) {
    lblTeller->setText(caption);
}

QLabel* FrmMain::pathLabel(PathKind kind) const {
    switch (kind) {
        case PathKind::GSPath:
            return lblGsPath;
        case PathKind::WatchDirpath:
            return lblWatchDir;
        case PathKind::MoveToFolder:
            return lblMoveFolder;
        case PathKind::Outputpath:
            return lblOutputPath;
        case PathKind::ComposeFolder:
            return lblComposeFolder;
        case PathKind::AcroPath:
            return lblAcroPath;
    }
    return nullptr;
}

QString FrmMain::path(PathKind kind) const {
    return pathLabel(kind)->text();
}

void FrmMain::setPath(PathKind kind, const QString& value) {
    pathLabel(kind)->setText(value);
}

Options FrmMain::options() const {
    Options options;
    options.deletePSFiles = chkDeletePSFiles->isChecked();
    options.startDistOnBoot = chkStartDistOnBoot->isChecked();
    options.useBoundingBox = chkUseBBX->isChecked();
    options.useEncryption = chkUseEncryption->isChecked();
    options.goodPicQuality = chkPicQualityGood->isChecked();
    options.quality = cmbQuality->currentIndex();
    options.qualityPreset = QualityPreset;
    options.ownerPassword = txtOwnerPassword->text();
    options.userPassword = txtUserPassword->text();
    return options;
}

void FrmMain::setOptions(const Options& options) {
    chkDeletePSFiles->setChecked(options.deletePSFiles);
    chkStartDistOnBoot->setChecked(options.startDistOnBoot);
    chkUseBBX->setChecked(options.useBoundingBox);
    chkUseEncryption->setChecked(options.useEncryption);
    chkPicQualityGood->setChecked(options.goodPicQuality);
    // Selecting an entry runs the quality handler, which sets the switch.
    cmbQuality->setCurrentIndex(options.quality);
    qualityPresetFor(options.quality, QualityPreset);
    txtOwnerPassword->setText(options.ownerPassword);
    txtUserPassword->setText(options.userPassword);
}

void FrmMain::setStatus(const QString& text) {
    lblStatus->setText(text);
    // Shown at once: a pass keeps the event loop busy while it waits.
    lblStatus->repaint();
}

void FrmMain::showRunCount(double count) {
    lblCurrentCount->setText(QString::number(count, 'f', 0));
}

void FrmMain::raiseRunCount() {
    lblCurrentCount->setText(QString::number(lblCurrentCount->text().toLongLong() + 1));
}

void FrmMain::raiseCounter() {
    setCounter(counter_ + 1);
}

void FrmMain::addConverted(const QString& pdfPath) {
    lstConverted->addItem(pdfPath);
    lstConverted->setCurrentRow(lstConverted->count() - 1);
}

void FrmMain::addFailed(const QString& sourcePath, const QString& reason) {
    auto* item = new QListWidgetItem(sourcePath + texts_[TextId::Tr_ConversionFailed] +
                                     QStringLiteral(": ") + reason);
    item->setData(kFailedRole, true);
    item->setForeground(QColor(0xff, 0x60, 0x60));
    lstConverted->addItem(item);
    lstConverted->setCurrentRow(lstConverted->count() - 1);
}
