#include "shell/frm_compose.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "i18n/text_table.h"
#include "merge/merge_job.h"
#include "platform/folder_files.h"
#include "settings/configuration.h"
#include "widgets/compose_list.h"
#include "widgets/make_control.h"
#include "widgets/outline.h"
#include "widgets/twips.h"

namespace {

// The dialog's inner area, in twips.
constexpr int kDesignWidth = 6300;
constexpr int kDesignHeight = 6720;
constexpr quint32 kFrameColor = 0x00A09890;

}  // namespace

FrmCompose::FrmCompose(MergeJob& job, const Configuration& config, FolderFiles& files,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), job_(job), config_(config), files_(files) {
    setObjectName(QStringLiteral("frmCompose"));
    // The English title until a language of the six replaces it.
    setWindowTitle(QStringLiteral("TarnWick " TARNWICK_VERSION " Merge mode"));
    // The main window's colours; hiding this window never ends the program.
    setAttribute(Qt::WA_WindowPropagation);
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    connectControls();
}

void FrmCompose::buildControls() {
    setFixedSize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
    // Three frames: around the list, the type choice and the buttons.
    const struct {
        const char* name;
        int top;
        int height;
    } frames[] = {{"Frame1", 120, 4260}, {"Frame2", 4500, 600}, {"Frame3", 5220, 1380}};
    for (const auto& box : frames) {
        Outline* frame = make<Outline>(this, box.name, 120, box.top, 6060, box.height);
        frame->setBorderColor(kFrameColor);
        controls_.append(frame);
    }
    lstCompose = make<ComposeList>(this, "lstCompose", 240, 240, 5820, 3660);
    lblDraginfo = make<QLabel>(this, "lblDraginfo", 240, 3960, 5820, 285);
    lblDistillFrom = make<QLabel>(this, "lblDistillFrom", 240, 4650, 1700, 285);
    cmbChoice = make<QComboBox>(this, "cmbChoice", 2000, 4610, 2300, 360);
    cmbChoice->addItems(mergeChoices());
    cmdReload = make<QPushButton>(this, "cmdReload", 4420, 4600, 1640, 390);
    cmdRemove = make<QPushButton>(this, "cmdRemove", 240, 5340, 3700, 480);
    cmdClose = make<QPushButton>(this, "cmdClose", 4060, 5340, 2000, 480);
    cmdMakeOnePS = make<QPushButton>(this, "cmdMakeOnePS", 240, 5940, 5820, 540);
    controls_ << lstCompose << lblDraginfo << lblDistillFrom << cmbChoice << cmdReload << cmdRemove
              << cmdClose << cmdMakeOnePS;

    lblPatience = make<QLabel>(this, "lblPatience", 240, 2880, 5820, 960);
    lblPatience->setAlignment(Qt::AlignCenter);
    lblPatience->setWordWrap(true);
    lblPatience->hide();
}

void FrmCompose::connectControls() {
    connect(cmbChoice, &QComboBox::activated, this, &FrmCompose::Fill_Merge_List);
    connect(cmdReload, &QPushButton::clicked, this, &FrmCompose::Fill_Merge_List);
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        list_.removeCurrent();
        showList();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(cmdMakeOnePS, &QPushButton::clicked, this, &FrmCompose::cmdMakeOnePS_Click);
    connect(lstCompose, &QListWidget::currentRowChanged, this,
            [this](int row) { list_.click(row); });
    connect(lstCompose, &ComposeList::mouseDown, this,
            [this] { list_.press(lstCompose->currentRow()); });
    connect(lstCompose, &ComposeList::mouseUp, this, [this](Qt::KeyboardModifiers modifiers) {
        list_.release(lstCompose->currentRow(), modifiers == Qt::ShiftModifier);
        showList();
    });
    connect(&job_, &MergeJob::progress, this, &FrmCompose::showProgress);
    connect(&job_, &MergeJob::finished, this, &FrmCompose::endProgress);
}

void FrmCompose::applyTexts(const TextTable& texts, bool languageSelected) {
    if (languageSelected) {
        setWindowTitle(QStringLiteral("TarnWick " TARNWICK_VERSION) +
                       texts[TextId::Tr_MergeModeSuffix]);
    }
    lblDraginfo->setText(texts[TextId::Tr_DragInfo]);
    cmdRemove->setText(texts[TextId::Tr_RemoveButton]);
    cmdReload->setText(texts[TextId::Tr_ReloadButton]);
    cmdMakeOnePS->setText(texts[TextId::Tr_MakeOneButton]);
    cmdClose->setText(texts[TextId::Tr_CloseButton]);
    lblDistillFrom->setText(texts[TextId::Tr_FileTypesLabel]);
    // Named for a screen reader by the labels that describe them.
    lblDistillFrom->setBuddy(cmbChoice);
    cmbChoice->setAccessibleName(lblDistillFrom->text());
    lstCompose->setAccessibleName(lblDraginfo->text());
}

void FrmCompose::openOver(const QWidget& mainWindow) {
    const QRect main = mainWindow.frameGeometry();
    move(main.left() + main.width() / 2 - frameGeometry().width() / 2, main.top());
    Fill_Merge_List();
    show();
    raise();
    activateWindow();
}

void FrmCompose::Fill_Merge_List() {
    list_.fill(entryNames(files_, config_.path(PathKind::ComposeFolder)), cmbChoice->currentText());
    showList();
}

void FrmCompose::showList() {
    const QStringList& rows = list_.rows();
    const QSignalBlocker quiet(lstCompose);
    // Rows are changed in place, so that the list keeps its scroll position.
    while (lstCompose->count() > rows.size()) {
        delete lstCompose->takeItem(lstCompose->count() - 1);
    }
    while (lstCompose->count() < rows.size()) {
        lstCompose->addItem(QString());
    }
    for (int row = 0; row < rows.size(); ++row) {
        lstCompose->item(row)->setText(rows[row]);
    }
    lstCompose->setCurrentRow(list_.selected());
}

void FrmCompose::cmdMakeOnePS_Click() {
    if (job_.start(list_.rows()) == MergeJob::Start::NothingToMerge) {
        Fill_Merge_List();
    }
}

void FrmCompose::showProgress(const QString& line) {
    lblPatience->setText(line);
    if (lblPatience->isHidden()) {
        for (QWidget* control : std::as_const(controls_)) {
            control->hide();
        }
        lblPatience->show();
    }
}

void FrmCompose::endProgress() {
    for (QWidget* control : std::as_const(controls_)) {
        control->show();
    }
    lblPatience->hide();
    hide();
}

void FrmCompose::closeEvent(QCloseEvent* event) {
    // Closing only hides: the dialog keeps its list until it is opened again.
    event->accept();
    hide();
}
