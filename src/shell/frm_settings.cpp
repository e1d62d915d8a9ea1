#include "shell/frm_settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "i18n/text_table.h"
#include "platform/prompts.h"
#include "settings/configuration.h"
#include "settings/path_rules.h"
#include "widgets/make_control.h"
#include "widgets/twips.h"

namespace {

// The folder list keeps each entry's full path beside its shown name.
constexpr int kPathRole = Qt::UserRole;

// The design size of the window, in twips.
constexpr int kDesignWidth = 7200;
constexpr int kDesignHeight = 4800;

QStringList sortedByName(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

// The help text of each kind, in the order of kPathKinds.
constexpr TextId kHelpTexts[] = {TextId::lblTr_FS_msg001, TextId::lblTr_FS_msg002,
                                 TextId::lblTr_FS_msg003, TextId::lblTr_FS_msg004,
                                 TextId::lblTr_FS_msg005, TextId::lblTr_FS_msg006};

}  // namespace

FrmSettings::FrmSettings(Configuration& config, const TextTable& texts, Volumes& volumes,
                         Prompts& prompts, QWidget& mainWindow)
    : QDialog(&mainWindow),
      config_(config),
      texts_(texts),
      volumeSource_(volumes),
      prompts_(prompts) {
    setObjectName(QStringLiteral("frmSettings"));
    buildControls();
    writeCaptions();
    refreshVolumes();
    selectFolder(QStringLiteral("/"));
    move(mainWindow.x() + mainWindow.width() / 2 - width() / 2, mainWindow.y());
}

void FrmSettings::buildControls() {
    resize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
    drvList = make<QComboBox>(this, "drvList");
    dirList = make<QListWidget>(this, "dirList");
    fileList = make<QListWidget>(this, "fileList");
    lblgreen = make<QLabel>(this, "lblgreen");
    QPalette hint = lblgreen->palette();
    hint.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));
    lblgreen->setPalette(hint);
    cmdOk = make<QPushButton>(this, "cmdOk");
    cmdCancel = make<QPushButton>(this, "cmdCancel");
    cmdHelp = make<QPushButton>(this, "cmdHelp");
    // Enter opens a folder in the folder list; it must not press a button.
    for (QPushButton* button : {cmdOk, cmdCancel, cmdHelp}) {
        button->setAutoDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* grid = new QGridLayout(this);
    grid->addWidget(drvList, 0, 0);
    grid->addWidget(dirList, 1, 0);
    grid->addWidget(fileList, 0, 1, 2, 1);
    grid->addWidget(lblgreen, 2, 0, 1, 2);
    grid->addLayout(buttons, 3, 0, 1, 2);

    // The keyboard starts in the folder list, on the current folder.
    dirList->setFocus();

    connect(drvList, &QComboBox::currentIndexChanged, this, &FrmSettings::drvList_Change);
    // A double click or Enter opens a folder; a single click only highlights it.
    connect(dirList, &QListWidget::itemActivated, this, [this](const QListWidgetItem* item) {
        selectFolder(item->data(kPathRole).toString());
    });
    connect(fileList, &QListWidget::itemSelectionChanged, this, &FrmSettings::fileList_Click);
    connect(cmdOk, &QPushButton::clicked, this, &FrmSettings::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmSettings::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmSettings::cmdHelp_Click);
}

void FrmSettings::writeCaptions() {
    cmdOk->setText(texts_[TextId::Tr_OkButton]);
    cmdCancel->setText(texts_[TextId::Tr_CancelButton]);
    cmdHelp->setText(texts_[TextId::Tr_HelpButton]);
    lblgreen->setText(texts_[TextId::Tr_PickerHint]);
    drvList->setAccessibleName(texts_[TextId::Tr_PickerVolumes]);
    dirList->setAccessibleName(texts_[TextId::Tr_PickerFolders]);
    fileList->setAccessibleName(texts_[TextId::Tr_PickerFiles]);
}

void FrmSettings::setPathKind(std::optional<PathKind> kind) {
    kind_ = kind;
    // The files on offer follow the kind at once, not only at the next
    // change of folder: a reader must not be chosen from Ghostscript's list.
    dirList_Change();
}

void FrmSettings::setOkShown(bool shown) {
    cmdOk->setVisible(shown);
}

void FrmSettings::setHintShown(bool shown) {
    lblgreen->setVisible(shown);
}

void FrmSettings::refreshVolumes() {
    volumes_ = volumeSource_.volumes();
    const QSignalBlocker quiet(drvList);
    drvList->clear();
    drvList->addItems(volumes_);
    showVolume(volume_);
}

void FrmSettings::showVolume(const QString& volume) {
    const QSignalBlocker quiet(drvList);
    drvList->setCurrentIndex(drvList->findText(volume));
}

bool FrmSettings::selectDrive(const QString& volume) {
    const int index = drvList->findText(volume);
    if (index < 0) {
        return false;
    }
    drvList->setCurrentIndex(index);
    return drvList->currentIndex() == index;
}

void FrmSettings::drvList_Change() {
    // A volume whose root cannot be read is not taken.
    if (!selectFolder(drvList->currentText())) {
        showVolume(volume_);
    }
}

bool FrmSettings::selectFolder(const QString& folder) {
    if (!QDir::isAbsolutePath(folder)) {
        return false;
    }
    const QString cleaned = QDir::cleanPath(folder);
    const QString volume = volumeOf(volumes_, cleaned);
    if (volume.isEmpty()) {
        return false;
    }
    std::optional<FolderContents> contents = volumeSource_.readFolder(cleaned);
    if (!contents) {
        return false;
    }
    volume_ = volume;
    folder_ = cleaned;
    contents_ = std::move(*contents);
    showVolume(volume_);
    fillFolderList();
    dirList_Change();
    return true;
}

// The folders from the volume's root down to the current one, each opened,
// then the current folder's subfolders.
void FrmSettings::fillFolderList() {
    dirList->clear();
    const QIcon opened = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon& icon, int depth, const QString& name, const QString& path) {
        auto* item = new QListWidgetItem(icon, QString(depth * 3, QLatin1Char(' ')) + name);
        item->setData(kPathRole, path);
        dirList->addItem(item);
        return item;
    };
    QListWidgetItem* current = add(opened, 0, volume_, volume_);
    QString path = volume_ == QLatin1String("/") ? QString() : volume_;
    int depth = 0;
    for (const QString& name :
         folder_.mid(volume_.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + name;
        current = add(opened, ++depth, name, path);
    }
    const QString base = folder_ == QLatin1String("/") ? QString() : folder_;
    for (const QString& name : sortedByName(contents_.folders)) {
        add(closed, depth + 1, name, base + QLatin1Char('/') + name);
    }
    dirList->setCurrentItem(current);
}

void FrmSettings::dirList_Change() {
    pattern_ = filePatternFor(kind_);
    fillFileList();
}

void FrmSettings::fillFileList() {
    fileList->clear();
    for (const QString& name : sortedByName(contents_.files)) {
        if (matchesFilePattern(pattern_, name)) {
            fileList->addItem(name);
        }
    }
}

void FrmSettings::fileList_Click() {
    const QList<QListWidgetItem*> selected = fileList->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    cmdOk->show();
    if (kind_ && isFileKind(*kind_)) {
        config_.setPath(*kind_, asFolderValue(folder_) + selected.first()->text());
    }
}

void FrmSettings::cmdOk_Click() {
    if (kind_ && !isFileKind(*kind_)) {
        config_.setPath(*kind_, asFolderValue(folder_));
    }
    hide();
}

void FrmSettings::cmdCancel_Click() {
    hide();
}

void FrmSettings::reject() {
    cmdCancel_Click();
}

void FrmSettings::cmdHelp_Click() {
    if (kind_) {
        const auto index =
            std::find(kPathKinds.begin(), kPathKinds.end(), *kind_) - kPathKinds.begin();
        prompts_.message(texts_[kHelpTexts[index]]);
    }
}

void FrmSettings::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    deleteLater();
}
