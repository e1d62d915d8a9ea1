#pragma once

#include "platform/linux/standard_error_prompts.h"
#include "platform/prompts.h"

// The boxes of the session: a person's, until the program is being ended
// from outside (a signal, the end of the session). From then on no box waits
// for a person: open ones close as if cancelled, and messages go to standard
// error.
class SessionPrompts : public Prompts {
  public:
    explicit SessionPrompts(Prompts& interactive) : interactive_(interactive) {}

    Answer message(const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& proposal) override;
    void dismissOpen() override;

    void becomeUnattended();
    bool isUnattended() const { return unattended_; }

  private:
    Prompts& current();

    Prompts& interactive_;
    StandardErrorPrompts standardError_;
    bool unattended_ = false;
};
