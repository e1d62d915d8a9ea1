#include "platform/qt_prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

Prompts::Answer QtPrompts::message(const QString& text, Buttons buttons) {
    const QMessageBox::StandardButtons shown = buttons == Buttons::OkCancel
                                                   ? QMessageBox::Ok | QMessageBox::Cancel
                                                   : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TarnWick"), text, shown,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title,
                                        const QString& proposal) {
    bool accepted = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, proposal, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return text;
}
