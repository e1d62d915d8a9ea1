#include "shell/frm_main.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "common/quality.h"
#include "i18n/text_table.h"
#include "shell/running_indicator.h"
#include "shell/window_configuration.h"
#include "shell/window_results.h"
#include "widgets/app_icon.h"
#include "widgets/controls.h"
#include "widgets/make_control.h"
#include "widgets/outline.h"
#include "widgets/twips.h"

namespace {

// The design's inner area of the window, in twips.
constexpr int kDesignWidth = 9615;
constexpr int kDesignHeight = 8325;

const char* const kLanguageEntries[] = {"English",  "Deutsch",    "Français",
                                        "Italiano", "Nederlands", "Suomi"};

}  // namespace

FrmMain::FrmMain(const TextTable& texts, QWidget* parent) : QWidget(parent), texts_(texts) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("TarnWick " TARNWICK_VERSION));
    setWindowIcon(appIcon());
    buildControls();
    configuration_ = std::make_unique<WindowConfiguration>(*this);
    results_ = std::make_unique<WindowResults>(*this, *configuration_, texts_);
    indicator_ = std::make_unique<RunningIndicator>(*this);
    connectControls();
    orderFocus();
}

FrmMain::~FrmMain() = default;

Configuration& FrmMain::configuration() {
    return *configuration_;
}

PdfResults& FrmMain::results() {
    return *results_;
}

void FrmMain::buildControls() {
    resize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(0x23, 0x27, 0x2e));
    dark.setColor(QPalette::Base, QColor(0x2f, 0x34, 0x3c));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3f, 0x47));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    setPalette(dark);
    setAutoFillBackground(true);

    // The status line and the settings area with its separators.
    make<Outline>(this, "Shape2", 120, 120, 9375, 495);
    lblStatus = make<QLabel>(this, "lblStatus", 240, 180, 9135, 375);
    make<Outline>(this, "Shape1", 120, 720, 9375, 4335);
    make<Outline>(this, "Line1", 120, 2385, 9360, 45);
    make<Outline>(this, "Line2", 120, 2865, 9360, 45);
    make<Outline>(this, "Line3", 7260, 720, 45, 1680);
    make<Outline>(this, "Line4", 7275, 1545, 2205, 45);
    buildOptions();
    buildPaths();
    lstConverted = make<ConvertedList>(this, "lstConverted", 120, 5160, 9375, 1980);
    buildBottomRow();
}

void FrmMain::buildOptions() {
    // The on/off options, each a check box with its caption beside it, six
    // rows above the upper separator (2385).
    struct Option {
        QCheckBox** box;
        const char* boxName;
        QLabel** label;
        const char* labelName;
        int top;
    };
    chkUseEncryption = make<ReleaseCheckBox>(this, "chkUseEncryption");
    const Option options[] = {
        {&chkDeletePSFiles, "chkDeletePSFiles", &lblDeletePSfiles, "lblDeletePSfiles", 780},
        {&chkStartDistOnBoot, "chkStartDistOnBoot", &lblStartDistOnBoot, "lblStartDistOnBoot",
         1045},
        {&chkUseBBX, "chkUseBBX", &lblUseBBx, "lblUseBBx", 1310},
        {nullptr, "chkUseEncryption", &lblUseEncryption, "lblUseEncryption", 1575},
        {&chkPicQualityGood, "chkPicQualityGood", &lblBetterPictureQuality,
         "lblBetterPictureQuality", 1840},
        {&chkKeepGsRunning, "chkKeepGsRunning", &lblKeepGsRunning, "lblKeepGsRunning", 2105},
    };
    for (const Option& option : options) {
        QCheckBox* box = option.box != nullptr
                             ? (*option.box = make<QCheckBox>(this, option.boxName))
                             : chkUseEncryption;
        place(box, 240, option.top, 255, 255);
        *option.label = make<QLabel>(this, option.labelName);
        place(*option.label, 600, option.top, 6600, 255);
    }

    lblQuality = make<QLabel>(this, "lblQuality", 7395, 800, 1980, 285);
    cmbQuality = make<QComboBox>(this, "cmbQuality", 7395, 1100, 1980, 330);
    for (const QualityEntry& entry : kQualityEntries) {
        cmbQuality->addItem(QLatin1String(entry.text));
    }
    cmbQuality->setCurrentIndex(0);

    lblLanguage = make<QLabel>(this, "lblLanguage", 7395, 1640, 1980, 285);
    cmbLanguage = make<QComboBox>(this, "cmbLanguage", 7395, 1940, 1980, 330);
    for (const char* entry : kLanguageEntries) {
        cmbLanguage->addItem(QString::fromUtf8(entry));
    }
    cmbLanguage->setCurrentIndex(-1);

    // The passwords row between the two separators.
    lblOwnerPassword = make<QLabel>(this, "lblOwnerPassword", 240, 2520, 1500, 285);
    txtOwnerPassword = make<QLineEdit>(this, "txtOwnerPassword", 1800, 2475, 1300, 330);
    lblUserPassword = make<QLabel>(this, "lblUserPassword", 3200, 2520, 1400, 285);
    txtUserPassword = make<QLineEdit>(this, "txtUserPassword", 4620, 2475, 1300, 330);
    for (QLineEdit* field : {txtOwnerPassword, txtUserPassword}) {
        field->setEchoMode(QLineEdit::Password);
    }
    cmdShowPassWords = make<QPushButton>(this, "cmdShowPassWords", 6000, 2460, 1500, 360);
    lblWebsite = make<ClickLabel>(this, "lblWebsite", 7600, 2520, 1820, 285);
    lblWebsite->setCursor(Qt::PointingHandCursor);
}

// The six paths, each a button that picks it and a label that shows it.
void FrmMain::buildPaths() {
    struct PathRow {
        QPushButton** button;
        const char* buttonName;
        const char* labelName;
        int top;
    };
    // Six rows between the lower separator (2865) and the frame's lower edge
    // (5055), each inside them with room to spare.
    const PathRow paths[] = {
        {&cmdGSPath, "cmdGSPath", "lblGsPath", 2940},
        {&cmdAcroPath, "cmdAcroPath", "lblAcroPath", 3290},
        {&cmdWatchDir, "cmdWatchDir", "lblWatchDir", 3640},
        {&cmdOutput, "cmdOutput", "lblOutputPath", 3990},
        {&cmdPSMove, "cmdPSMove", "lblMoveFolder", 4340},
        {&cmdComposeFolder, "cmdComposeFolder", "lblComposeFolder", 4690},
    };
    for (const PathRow& row : paths) {
        *row.button = make<QPushButton>(this, row.buttonName);
        place(*row.button, 240, row.top, 2000, 320);
        QLabel* label = row.button == &cmdGSPath || row.button == &cmdAcroPath
                            ? make<QLabel>(this, row.labelName)
                            : make<ClickLabel>(this, row.labelName);
        place(label, 2400, row.top + 20, 6975, 285);
    }
    lblGsPath = findChild<QLabel*>(QStringLiteral("lblGsPath"));
    lblAcroPath = findChild<QLabel*>(QStringLiteral("lblAcroPath"));
    lblWatchDir = findChild<ClickLabel*>(QStringLiteral("lblWatchDir"));
    lblOutputPath = findChild<ClickLabel*>(QStringLiteral("lblOutputPath"));
    lblMoveFolder = findChild<ClickLabel*>(QStringLiteral("lblMoveFolder"));
    lblComposeFolder = findChild<ClickLabel*>(QStringLiteral("lblComposeFolder"));
}

// The bottom row: five frames around the counts and the buttons.
void FrmMain::buildBottomRow() {
    const int lefts[] = {120, 2070, 4035, 6015, 7920};
    for (int i = 0; i < 5; ++i) {
        make<Outline>(this, RunningIndicator::kFrames[i], lefts[i], 7320, 1575, 855);
    }
    lblCurrentCount = make<QLabel>(this, "lblCurrentCount", 240, 7560, 1335, 375);
    cmdStart = make<QPushButton>(this, "cmdStart", 2200, 7440, 1335, 615);
    cmdStop = make<QPushButton>(this, "cmdStop", 2200, 7440, 1335, 615);
    cmdStop->hide();
    cmdCompose = make<QPushButton>(this, "cmdCompose", 4155, 7440, 1335, 615);
    cmdExit = make<QPushButton>(this, "cmdExit", 6135, 7440, 1335, 615);
    lblTeller = make<ClickLabel>(this, "lblTeller", 8040, 7560, 1335, 375);
    for (QLabel* count : {lblCurrentCount, static_cast<QLabel*>(lblTeller)}) {
        count->setAlignment(Qt::AlignCenter);
        QFont font = count->font();
        font.setPointSize(font.pointSize() + 4);
        font.setBold(true);
        count->setFont(font);
    }
    lblCurrentCount->setText(QStringLiteral("0"));
    lblTeller->setText(QStringLiteral("0"));
}

void FrmMain::connectControls() {
    connect(cmdStart, &QPushButton::clicked, this, &FrmMain::startClicked);
    connect(cmdStop, &QPushButton::clicked, this, &FrmMain::stopClicked);
    connect(cmdCompose, &QPushButton::clicked, this, &FrmMain::composeClicked);
    connect(cmdExit, &QPushButton::clicked, this, &FrmMain::exitClicked);
    const std::pair<QPushButton*, PathKind> buttons[] = {
        {cmdGSPath, PathKind::GSPath},         {cmdAcroPath, PathKind::AcroPath},
        {cmdWatchDir, PathKind::WatchDirpath}, {cmdPSMove, PathKind::MoveToFolder},
        {cmdOutput, PathKind::Outputpath},     {cmdComposeFolder, PathKind::ComposeFolder}};
    for (const auto& [button, kind] : buttons) {
        connect(button, &QPushButton::clicked, this,
                [this, kind = kind] { emit pathButtonClicked(kind); });
    }
    const std::pair<ClickLabel*, PathKind> folders[] = {
        {lblWatchDir, PathKind::WatchDirpath},
        {lblOutputPath, PathKind::Outputpath},
        {lblMoveFolder, PathKind::MoveToFolder},
        {lblComposeFolder, PathKind::ComposeFolder}};
    for (const auto& [label, kind] : folders) {
        connect(label, &ClickLabel::clicked, this,
                [this, kind = kind] { emit folderLabelClicked(kind); });
    }
    connect(lblWebsite, &ClickLabel::clicked, this, &FrmMain::websiteClicked);
    connect(lblTeller, &ClickLabel::clicked, this, &FrmMain::counterClicked);
    connect(lstConverted, &ConvertedList::mouseReleased, this, &FrmMain::convertedListReleased);
    connect(chkUseEncryption, &ReleaseCheckBox::mouseReleased, this, &FrmMain::encryptionReleased);
    connect(cmdShowPassWords, &QPushButton::clicked, this, &FrmMain::showPasswordsClicked);
    connect(cmbLanguage, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < TextTable::listOrder().size()) {
            emit languageChosen(TextTable::listOrder()[index]);
        }
    });
}

bool FrmMain::selectLanguageEntry(const QString& code) {
    const int entry = TextTable::listOrder().indexOf(code);
    if (entry < 0) {
        return false;
    }
    cmbLanguage->setCurrentIndex(entry);
    return true;
}

void FrmMain::setWebsiteCaption(const QString& caption) {
    lblWebsite->setText(caption);
}

void FrmMain::writeCaptions() {
    const TextTable& t = texts_;
    lblDeletePSfiles->setText(t[TextId::Tr_DeletePSLabel]);
    lblStartDistOnBoot->setText(t[TextId::Tr_StartOnBootLabel]);
    lblUseBBx->setText(t[TextId::Tr_UseBBoxLabel]);
    lblUseEncryption->setText(t[TextId::Tr_EncryptLabel]);
    lblQuality->setText(t[TextId::Tr_QualityLabel]);
    lblOwnerPassword->setText(t[TextId::Tr_OwnerPasswordLabel]);
    lblUserPassword->setText(t[TextId::Tr_UserPasswordLabel]);
    lblLanguage->setText(t[TextId::Tr_LanguageLabel]);
    lblStatus->setText(t[TextId::Tr_StatusInactive]);
    lblBetterPictureQuality->setText(t[TextId::Tr_BetterPicturesLabel]);
    lblKeepGsRunning->setText(t[TextId::Tr_KeepGsRunningLabel]);

    cmbQuality->setToolTip(t[TextId::Tr_QualityTip]);
    lblUseBBx->setToolTip(t[TextId::Tr_UseBBoxTip]);
    lblUseEncryption->setToolTip(t[TextId::Tr_EncryptTip]);
    cmdGSPath->setToolTip(t[TextId::Tr_GSPathTip]);
    cmdAcroPath->setToolTip(t[TextId::Tr_AcroPathTip]);
    cmdWatchDir->setToolTip(t[TextId::Tr_WatchDirTip]);
    cmdOutput->setToolTip(t[TextId::Tr_OutputTip]);
    cmdPSMove->setToolTip(t[TextId::Tr_PSMoveTip]);
    cmdComposeFolder->setToolTip(t[TextId::Tr_ComposeFolderTip]);
    lblTeller->setToolTip(t[TextId::Tr_CounterTip]);
    lblWebsite->setToolTip(t[TextId::Tr_WebsiteTip]);
    lblDeletePSfiles->setToolTip(t[TextId::Tr_DeletePSTip]);
    lstConverted->setToolTip(t[TextId::Tr_ConvertedListTip]);
    lblStartDistOnBoot->setToolTip(t[TextId::Tr_StartOnBootTip]);
    lblBetterPictureQuality->setToolTip(t[TextId::Tr_BetterPicturesTip]);
    for (QLabel* folder : {lblWatchDir, lblOutputPath, lblMoveFolder, lblComposeFolder}) {
        folder->setToolTip(t[TextId::Tr_OpenFolderTip]);
    }

    nameControlsByLabels();

    cmdShowPassWords->setText(t[TextId::Tr_ShowPasswordsButton]);
    cmdGSPath->setText(t[TextId::Tr_GSPathButton]);
    cmdAcroPath->setText(t[TextId::Tr_AcroPathButton]);
    cmdWatchDir->setText(t[TextId::Tr_WatchDirButton]);
    cmdOutput->setText(t[TextId::Tr_OutputButton]);
    cmdPSMove->setText(t[TextId::Tr_PSMoveButton]);
    cmdComposeFolder->setText(t[TextId::Tr_ComposeFolderButton]);
    cmdStart->setText(t[TextId::Tr_StartButton]);
    cmdStop->setText(t[TextId::Tr_StopButton]);
    cmdCompose->setText(t[TextId::Tr_ComposeButton]);
    cmdExit->setText(t[TextId::Tr_ExitButton]);
}

// A check box, field or list has no caption of its own: a screen reader
// names it by the label beside it, and the label's mnemonic reaches it.
void FrmMain::nameControlsByLabels() {
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {lblDeletePSfiles, chkDeletePSFiles},
        {lblStartDistOnBoot, chkStartDistOnBoot},
        {lblUseBBx, chkUseBBX},
        {lblUseEncryption, chkUseEncryption},
        {lblBetterPictureQuality, chkPicQualityGood},
        {lblKeepGsRunning, chkKeepGsRunning},
        {lblQuality, cmbQuality},
        {lblLanguage, cmbLanguage},
        {lblOwnerPassword, txtOwnerPassword},
        {lblUserPassword, txtUserPassword},
    };
    for (const auto& [label, control] : buddies) {
        label->setBuddy(control);
        control->setAccessibleName(label->text());
    }
    lstConverted->setAccessibleName(texts_[TextId::Tr_ConvertedListTip]);
}

// Keyboard focus goes through the window as it reads: the options top to
// bottom, the two lists on the right, the passwords row, the paths, the
// produced files and the buttons along the bottom.
void FrmMain::orderFocus() {
    QList<QWidget*> order = {
        chkDeletePSFiles,  chkStartDistOnBoot, chkUseBBX,        chkUseEncryption,
        chkPicQualityGood, chkKeepGsRunning,   cmbQuality,       cmbLanguage,
        txtOwnerPassword,  txtUserPassword,    cmdShowPassWords, lblWebsite,
        cmdGSPath,         cmdAcroPath,        cmdWatchDir,      lblWatchDir,
        cmdOutput,         lblOutputPath,      cmdPSMove,        lblMoveFolder,
        cmdComposeFolder,  lblComposeFolder,   lstConverted,     cmdStart,
        cmdStop,           cmdCompose,         cmdExit,          lblTeller};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void FrmMain::showStart(bool startShown) {
    cmdStart->setVisible(startShown);
    cmdStop->setVisible(!startShown);
}

void FrmMain::showComposeAndExit(bool shown) {
    cmdCompose->setVisible(shown);
    cmdExit->setVisible(shown);
}

void FrmMain::lightIndicator(int frame) {
    indicator_->light(frame);
}

void FrmMain::Restore_From_Tray() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    raise();
    activateWindow();
    show();
    repaint();
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

QString FrmMain::passwordsText() const {
    return texts_[TextId::Tr_OwnerPasswordPrefix] + txtOwnerPassword->text() +
           QStringLiteral("\r\n") + texts_[TextId::Tr_UserPasswordPrefix] + txtUserPassword->text();
}

// A close request is never refused here; the application ends the program.
void FrmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closeRequested();
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        emit minimised();
    }
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
