#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "platform/prompts.h"

// Message and input boxes shown as modal Qt dialogs over the active window.
class QtPrompts : public Prompts {
  public:
    Answer message(const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;
    void dismissOpen() override;

  private:
    // Runs a box and keeps it known while it is open; true when accepted.
    bool run(QDialog& box);

    QList<QPointer<QDialog>> open_;
};
