#pragma once

#include "platform/prompts.h"

// Boxes that nobody answers, for an end that comes from outside: a message
// is written to standard error, a question is taken as cancelled (nobody
// agreed) and an input box as cancelled.
class StandardErrorPrompts : public Prompts {
  public:
    Answer message(const QString& text, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;
};
