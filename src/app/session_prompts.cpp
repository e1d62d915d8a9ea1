#include "app/session_prompts.h"

Prompts& SessionPrompts::current() {
    return unattended_ ? static_cast<Prompts&>(standardError_) : interactive_;
}

Prompts::Answer SessionPrompts::message(const QString& text, Buttons buttons) {
    return current().message(text, buttons);
}

std::optional<QString> SessionPrompts::input(const QString& prompt, const QString& title,
                                             const QString& proposal) {
    return current().input(prompt, title, proposal);
}

void SessionPrompts::dismissOpen() {
    interactive_.dismissOpen();
}

void SessionPrompts::becomeUnattended() {
    if (!unattended_) {
        unattended_ = true;
        interactive_.dismissOpen();
    }
}
