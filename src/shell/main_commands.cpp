#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "common/text_util.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "shell/controls.h"
#include "shell/frm_main.h"

void FrmMain::connectCommands() {
    connect(lstConverted, &ConvertedList::mouseReleased, this, &FrmMain::openConvertedEntry);
    for (ClickLabel* folder : {lblWatchDir, lblOutputPath, lblMoveFolder, lblComposeFolder}) {
        connect(folder, &ClickLabel::clicked, this,
                [this, folder] { platform_.openFolder(folder->text()); });
    }
    connect(lblWebsite, &ClickLabel::clicked, this,
            [this] { platform_.openUrl(lblWebsite->text()); });
    connect(lblTeller, &ClickLabel::clicked, this, &FrmMain::resetCounter);
    connect(chkUseEncryption, &ReleaseCheckBox::mouseReleased, this, &FrmMain::remindPasswords);
    connect(cmdShowPassWords, &QPushButton::clicked, this, &FrmMain::showPasswords);
    connect(cmdExit, &QPushButton::clicked, this, &FrmMain::exitProgram);
}

// The selected entry, not the current one: a click beside the entries clears
// the selection but leaves a current item behind. A failed conversion has no
// PDF to open.
QString FrmMain::selectedEntry() const {
    const QList<QListWidgetItem*> selected = lstConverted->selectedItems();
    return selected.isEmpty() || selected.first()->data(kFailedRole).toBool()
               ? QString()
               : selected.first()->text();
}

void FrmMain::openConvertedEntry(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        platform_.openFolder(path(PathKind::Outputpath));
        return;
    }
    const QString entry = selectedEntry();
    if (entry.isEmpty()) {
        return;
    }
    if (!platform_.fileExists(entry)) {
        platform_.prompts().message(entry + texts_[TextId::Tr_MsgFileGone]);
        return;
    }
    if (!platform_.fileExists(trimBlanks(path(PathKind::AcroPath)))) {
        platform_.prompts().message(texts_[TextId::Tr_MsgNoReaderPath]);
        return;
    }
    const QString command = QLatin1Char('"') + path(PathKind::AcroPath) + QStringLiteral("\" \"") +
                            entry + QLatin1Char('"');
    if (!platform_.startProcess(command, WindowMode::Maximised)) {
        platform_.prompts().message(texts_[TextId::Tr_MsgReaderNotStarted] +
                                    path(PathKind::AcroPath));
    }
}

void FrmMain::resetCounter() {
    if (platform_.prompts().message(texts_[TextId::Tr_MsgResetCounter],
                                    Prompts::Buttons::OkCancel) == Prompts::Answer::Ok) {
        setCounter(0);
        Save_Settings();
    }
}

void FrmMain::remindPasswords() {
    if (!chkUseEncryption->isChecked()) {
        return;
    }
    const bool noOwner = txtOwnerPassword->text().isEmpty();
    const bool noUser = txtUserPassword->text().isEmpty();
    if (noOwner && noUser) {
        platform_.prompts().message(texts_[TextId::Tr_MsgNoPasswords]);
    } else if (noOwner) {
        platform_.prompts().message(texts_[TextId::Tr_MsgNoOwnerPassword]);
    } else if (noUser) {
        platform_.prompts().message(texts_[TextId::Tr_MsgNoUserPassword]);
    }
}

void FrmMain::showPasswords() {
    platform_.prompts().message(texts_[TextId::Tr_OwnerPasswordPrefix] + txtOwnerPassword->text() +
                                QStringLiteral("\r\n") + texts_[TextId::Tr_UserPasswordPrefix] +
                                txtUserPassword->text());
}
