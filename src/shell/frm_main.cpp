#include "shell/frm_main.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "shell/colors.h"
#include "engine/distiller.h"
#include "common/quality.h"
#include "platform/platform.h"
#include "settings/settings_location.h"
#include "shell/app_icon.h"
#include "shell/controls.h"
#include "shell/outline.h"
#include "shell/twips.h"

namespace {

// The design's inner area of the window, in twips.
constexpr int kDesignWidth = 9615;
constexpr int kDesignHeight = 8325;

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

template <typename T>
T* make(QWidget* parent, const char* name) {
    T* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A control at its design place, in twips.
template <typename T>
T* make(QWidget* parent, const char* name, int left, int top, int width, int height) {
    T* widget = make<T>(parent, name);
    place(widget, left, top, width, height);
    return widget;
}

const char* const kLanguageEntries[] = {"English",  "Deutsch",    "Français",
                                        "Italiano", "Nederlands", "Suomi"};

// The project's documentation, which the web-site label opens: shipped beside
// the program (in the build) or under share/doc (installed); a program copied
// elsewhere on its own writes the copy built into it to the user's
// configuration folder, so that the address always leads somewhere.
QString projectAddress(Platform& platform) {
    const QString folder = platform.programFolder();
    const QString ownCopy = platform.configFolder() + QStringLiteral("/README.md");
    for (const QString& readme :
         {folder + QStringLiteral("/README.md"),
          folder + QStringLiteral("/../share/doc/tarnwick/README.md"), ownCopy}) {
        if (platform.fileExists(readme)) {
            return QUrl::fromLocalFile(QDir::cleanPath(readme)).toString();
        }
    }
    QFile builtIn(QStringLiteral(":/docs/README.md"));
    builtIn.open(QIODevice::ReadOnly);
    platform.writeFileAtomic(ownCopy, builtIn.readAll());
    return QUrl::fromLocalFile(ownCopy).toString();
}

}  // namespace

FrmMain::FrmMain(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("TarnWick " TARNWICK_VERSION));
    setWindowIcon(appIcon());
    distiller_ = new Distiller(*this, platform_, this);
    buildControls();
    connectCommands();
    applyLanguage(languageCode_);
    settingsPath_ = settingsFilePath(platform_);
    lblWebsite->setText(projectAddress(platform_));
    connect(&platform_, &Platform::terminationRequested, this, &QWidget::close);

    tmrAutodistill = new QTimer(this);
    tmrAutodistill->setObjectName(QStringLiteral("tmrAutodistill"));
    tmrAutodistill->setInterval(200);
    connect(tmrAutodistill, &QTimer::timeout, distiller_, &Distiller::tick);
    tmrAutodistill->start();
}

FrmMain::~FrmMain() = default;

Outline* FrmMain::outline(const char* name, int left, int top, int width, int height) {
    Outline* shape = make<Outline>(this, name);
    place(shape, left, top, width, height);
    return shape;
}

void FrmMain::buildControls() {
    resizeTwips(kDesignWidth, kDesignHeight);
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
    outline("Shape2", 120, 120, 9375, 495);
    lblStatus = make<QLabel>(this, "lblStatus", 240, 180, 9135, 375);
    outline("Shape1", 120, 720, 9375, 4335);
    outline("Line1", 120, 2385, 9360, 45);
    outline("Line2", 120, 2865, 9360, 45);
    outline("Line3", 7260, 720, 45, 1680);
    outline("Line4", 7275, 1545, 2205, 45);

    // The on/off options, each a check box with its caption beside it.
    struct Option {
        QCheckBox** box;
        const char* boxName;
        QLabel** label;
        const char* labelName;
        int top;
    };
    chkUseEncryption = make<ReleaseCheckBox>(this, "chkUseEncryption");
    const Option options[] = {
        {&chkDeletePSFiles, "chkDeletePSFiles", &lblDeletePSfiles, "lblDeletePSfiles", 800},
        {&chkStartDistOnBoot, "chkStartDistOnBoot", &lblStartDistOnBoot, "lblStartDistOnBoot",
         1100},
        {&chkUseBBX, "chkUseBBX", &lblUseBBx, "lblUseBBx", 1400},
        {nullptr, "chkUseEncryption", &lblUseEncryption, "lblUseEncryption", 1700},
        {&chkPicQualityGood, "chkPicQualityGood", &lblBetterPictureQuality,
         "lblBetterPictureQuality", 1995},
    };
    for (const Option& option : options) {
        QCheckBox* box = option.box != nullptr
                             ? (*option.box = make<QCheckBox>(this, option.boxName))
                             : chkUseEncryption;
        place(box, 240, option.top, 300, 300);
        *option.label = make<QLabel>(this, option.labelName);
        place(*option.label, 600, option.top, 6600, 300);
    }

    lblQuality = make<QLabel>(this, "lblQuality", 7395, 800, 1980, 285);
    cmbQuality = make<QComboBox>(this, "cmbQuality", 7395, 1100, 1980, 330);
    for (const QualityEntry& entry : kQualityEntries) {
        cmbQuality->addItem(QLatin1String(entry.text));
    }
    cmbQuality->setCurrentIndex(0);
    connect(cmbQuality, &QComboBox::currentIndexChanged, this,
            [this](int index) { qualityPresetFor(index, QualityPreset); });

    lblLanguage = make<QLabel>(this, "lblLanguage", 7395, 1640, 1980, 285);
    cmbLanguage = make<QComboBox>(this, "cmbLanguage", 7395, 1940, 1980, 330);
    for (const char* entry : kLanguageEntries) {
        cmbLanguage->addItem(QString::fromUtf8(entry));
    }
    cmbLanguage->setCurrentIndex(-1);
    connect(cmbLanguage, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < TextTable::listOrder().size()) {
            applyLanguage(TextTable::listOrder()[index]);
        }
    });

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

    // The six paths, each a button that picks it and a label that shows it.
    struct PathRow {
        QPushButton** button;
        const char* buttonName;
        const char* labelName;
        int top;
    };
    const PathRow paths[] = {
        {&cmdGSPath, "cmdGSPath", "lblGsPath", 2940},
        {&cmdAcroPath, "cmdAcroPath", "lblAcroPath", 3300},
        {&cmdWatchDir, "cmdWatchDir", "lblWatchDir", 3660},
        {&cmdOutput, "cmdOutput", "lblOutputPath", 4020},
        {&cmdPSMove, "cmdPSMove", "lblMoveFolder", 4380},
        {&cmdComposeFolder, "cmdComposeFolder", "lblComposeFolder", 4740},
    };
    for (const PathRow& row : paths) {
        *row.button = make<QPushButton>(this, row.buttonName);
        place(*row.button, 240, row.top, 2000, 330);
        QLabel* label = row.top <= 3300 ? make<QLabel>(this, row.labelName)
                                        : make<ClickLabel>(this, row.labelName);
        place(label, 2400, row.top + 20, 6975, 285);
    }
    lblGsPath = findChild<QLabel*>(QStringLiteral("lblGsPath"));
    lblAcroPath = findChild<QLabel*>(QStringLiteral("lblAcroPath"));
    lblWatchDir = findChild<ClickLabel*>(QStringLiteral("lblWatchDir"));
    lblOutputPath = findChild<ClickLabel*>(QStringLiteral("lblOutputPath"));
    lblMoveFolder = findChild<ClickLabel*>(QStringLiteral("lblMoveFolder"));
    lblComposeFolder = findChild<ClickLabel*>(QStringLiteral("lblComposeFolder"));

    lstConverted = make<ConvertedList>(this, "lstConverted", 120, 5160, 9375, 1980);

    // The bottom row: five frames around the counts and the buttons.
    const int lefts[] = {120, 2070, 4035, 6015, 7920};
    for (int i = 0; i < 5; ++i) {
        outline(Distiller::kIndicatorShapes[i], lefts[i], 7320, 1575, 855);
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

    // Hidden labels that carry texts to the path picker and the merge job.
    for (const char* name :
         {"lblTr_FS_msg001", "lblTr_FS_msg002", "lblTr_FS_msg003", "lblTr_FS_msg004",
          "lblTr_FS_msg005", "lblTr_FS_msg006", "lblTr_FC_msg001", "lblTr_FC_msg003",
          "lblTr_FC_msg004", "lblTr_FC_msg005"}) {
        QLabel* carrier = make<QLabel>(this, name);
        carrier->hide();
        carriers_.append(carrier);
    }

    connect(cmdStart, &QPushButton::clicked, distiller_, &Distiller::Start_Distiller);
    connect(cmdStop, &QPushButton::clicked, distiller_, &Distiller::Stop_Distiller);
}

void FrmMain::applyLanguage(const QString& code) {
    languageCode_ = code;
    if (texts_.Select_Texts(code)) {
        for (QLabel* carrier : carriers_) {
            const QString id = carrier->objectName();
            for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
                if (id == QLatin1String(textIdName(static_cast<TextId>(i)))) {
                    carrier->setText(texts_[static_cast<TextId>(i)]);
                }
            }
        }
        findChild<QLabel*>(QStringLiteral("lblTr_FC_msg004"))
            ->setToolTip(texts_[TextId::lblTr_FC_msg004_tip]);
    }
    writeCaptions();
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

void FrmMain::setCounter(double counter) {
    counter_ = counter;
    lblTeller->setText(QString::number(counter, 'f', 0));
}

QString FrmMain::watchDir() const {
    return lblWatchDir->text();
}
QString FrmMain::outputDir() const {
    return lblOutputPath->text();
}
QString FrmMain::moveFolder() const {
    return lblMoveFolder->text();
}
bool FrmMain::deletePSFiles() const {
    return chkDeletePSFiles->isChecked();
}

ConversionOptions FrmMain::conversionOptions() const {
    ConversionOptions options;
    options.gsPath = lblGsPath->text();
    options.goodPictures = chkPicQualityGood->isChecked();
    options.encrypt = chkUseEncryption->isChecked();
    options.ownerPassword = txtOwnerPassword->text();
    options.userPassword = txtUserPassword->text();
    options.useBoundingBox = chkUseBBX->isChecked();
    options.qualityPreset = QualityPreset;
    return options;
}

void FrmMain::setStatus(const QString& text) {
    lblStatus->setText(text);
}

void FrmMain::showCurrentCount(double count) {
    lblCurrentCount->setText(QString::number(count, 'f', 0));
}

void FrmMain::raiseCounter() {
    setCounter(counter_ + 1);
}

void FrmMain::addConverted(const QString& pdfPath) {
    lstConverted->addItem(pdfPath);
    lstConverted->setCurrentRow(lstConverted->count() - 1);
}

void FrmMain::addFailed(const QString& sourcePath) {
    auto* item = new QListWidgetItem(sourcePath + texts_[TextId::Tr_ConversionFailed]);
    item->setData(kFailedRole, true);
    item->setForeground(QColor(0xff, 0x60, 0x60));
    lstConverted->addItem(item);
    lstConverted->setCurrentRow(lstConverted->count() - 1);
}

void FrmMain::setFrameColor(const char* shapeName, quint32 bbggrr) {
    findChild<Outline*>(QLatin1String(shapeName))->setBorderColor(bbggrr);
}

void FrmMain::repaintNow() {
    repaint();
}

void FrmMain::keepOnScreen() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    const QPoint place = pos();
    if (place.x() < 0 || place.y() < 0) {
        move(std::max(place.x(), 0), std::max(place.y(), 0));
    }
}

void FrmMain::setComposeAndExitVisible(bool visible) {
    cmdCompose->setVisible(visible);
    cmdExit->setVisible(visible);
}

void FrmMain::setStartVisible(bool startVisible) {
    cmdStart->setVisible(startVisible);
    cmdStop->setVisible(!startVisible);
}
