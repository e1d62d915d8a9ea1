#include "widgets/qt_prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

bool QtPrompts::run(QDialog& box) {
    open_.append(&box);
    const int result = box.exec();
    open_.removeAll(&box);
    return result == QDialog::Accepted || result == QMessageBox::Ok;
}

Prompts::Answer QtPrompts::message(const QString& text, Buttons buttons) {
    const QMessageBox::StandardButtons shown = buttons == Buttons::OkCancel
                                                   ? QMessageBox::Ok | QMessageBox::Cancel
                                                   : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TarnWick"), text, shown,
                    QApplication::activeWindow());
    return run(box) ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title,
                                        const QString& proposal) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(proposal);
    if (!run(box)) {
        return std::nullopt;
    }
    return box.textValue();
}

void QtPrompts::dismissOpen() {
    for (const QPointer<QDialog>& box : std::as_const(open_)) {
        if (box) {
            box->reject();
        }
    }
}
