#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "shell/frm_main.h"
#include "widgets/colors.h"
#include "widgets/controls.h"
#include "widgets/outline.h"
#include "widgets/twips.h"

namespace {

void setTextColor(QWidget* widget, quint32 bbggrr) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, toQColor(bbggrr));
    }
    widget->setPalette(palette);
}

}  // namespace

void FrmMain::Make_Orange() {
    applyLook(Color_Orange, true);
}

void FrmMain::Make_Green() {
    applyLook(Color_Green, false);
}

// Both looks run the same steps on the same controls; the inactive look shows
// and enables the settings, the active one hides them and enlarges the list.
void FrmMain::applyLook(quint32 color, bool visible) {
    for (const char* name : {"Line1", "Line2", "Line3", "Line4", "Shape1", "Shape2", "Shape3",
                             "Shape4", "Shape5", "Shape6", "Shape7"}) {
        findChild<Outline*>(QLatin1String(name))->setBorderColor(color);
    }

    QList<QWidget*> texts{lblGsPath,        lblMoveFolder, lblOutputPath,   lblWatchDir,
                          lblComposeFolder, lblAcroPath,   lblDeletePSfiles};
    if (visible) {
        texts.append(lblStartDistOnBoot);
    }
    texts.append({lblStatus, lblQuality, cmbQuality, lblUseBBx, lblWebsite, lblLanguage,
                  cmbLanguage, lblUseEncryption, lblOwnerPassword, lblUserPassword,
                  txtOwnerPassword, txtUserPassword});
    for (QWidget* widget : texts) {
        setTextColor(widget, color);
    }

    for (QWidget* widget : QList<QWidget*>{findChild<Outline*>(QStringLiteral("Shape1")),
                                           findChild<Outline*>(QStringLiteral("Line1")),
                                           findChild<Outline*>(QStringLiteral("Line2")),
                                           findChild<Outline*>(QStringLiteral("Line3")),
                                           findChild<Outline*>(QStringLiteral("Line4")),
                                           cmbQuality,
                                           lblQuality,
                                           lblMoveFolder,
                                           lblOutputPath,
                                           lblWatchDir,
                                           lblComposeFolder,
                                           lblDeletePSfiles,
                                           lblStartDistOnBoot,
                                           lblWebsite,
                                           cmdAcroPath,
                                           cmdComposeFolder,
                                           cmdGSPath,
                                           cmdOutput,
                                           cmdPSMove,
                                           cmdWatchDir,
                                           chkDeletePSFiles,
                                           chkStartDistOnBoot,
                                           chkUseBBX,
                                           lblUseBBx}) {
        widget->setVisible(visible);
    }

    // The active list reaches from below the status frame to above the bottom
    // row and covers the settings area, labels left visible there included.
    const int top = visible ? 5160 : 790;
    const int height = visible ? 1980 : 6500;
    lstConverted->setGeometry(twipsToPixels(120), twipsToPixels(top), twipsToPixels(9375),
                              twipsToPixels(height));
    lstConverted->raise();

    for (QWidget* widget : QList<QWidget*>{chkUseEncryption, chkPicQualityGood, chkKeepGsRunning,
                                           lblKeepGsRunning, lblUseEncryption, lblOwnerPassword,
                                           lblUserPassword, txtOwnerPassword, txtUserPassword}) {
        widget->setVisible(visible);
    }
    txtOwnerPassword->setEnabled(visible);
    txtUserPassword->setEnabled(visible);
    for (QWidget* widget : QList<QWidget*>{cmdShowPassWords, lblLanguage, cmbLanguage}) {
        widget->setVisible(visible);
    }
}
