#pragma once

#include "platform/prompts.h"

// Message and input boxes shown as modal Qt dialogs over the active window.
class QtPrompts : public Prompts {
  public:
    Answer message(const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;
};
