#include "shell/window_results.h"

#include <QLabel>

#include "i18n/text_table.h"
#include "settings/configuration.h"
#include "shell/frm_main.h"
#include "shell/result_notices.h"
#include "widgets/controls.h"

void WindowResults::setStatus(const QString& text) {
    window_.lblStatus->setText(text);
}

void WindowResults::addConverted(const QString& pdfPath) {
    window_.lstConverted->addItem(pdfPath);
    window_.lstConverted->setCurrentRow(window_.lstConverted->count() - 1);
    if (notices_ != nullptr) {
        notices_->converted(pdfPath);
    }
}

void WindowResults::addFailed(const QString& sourcePath, const QString& reason) {
    auto* item = new QListWidgetItem(sourcePath + texts_[TextId::Tr_ConversionFailed] +
                                     QStringLiteral(": ") + reason);
    item->setData(FrmMain::kFailedRole, true);
    item->setForeground(QColor(0xff, 0x60, 0x60));
    window_.lstConverted->addItem(item);
    window_.lstConverted->setCurrentRow(window_.lstConverted->count() - 1);
    if (notices_ != nullptr) {
        notices_->failed(sourcePath, reason);
    }
}

void WindowResults::raiseCounter() {
    config_.setCounter(config_.counter() + 1);
}

void WindowResults::showRunCount(double count) {
    window_.lblCurrentCount->setText(QString::number(count, 'f', 0));
}

void WindowResults::raiseRunCount() {
    window_.lblCurrentCount->setText(
        QString::number(window_.lblCurrentCount->text().toLongLong() + 1));
}
