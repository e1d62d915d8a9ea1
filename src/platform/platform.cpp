#include "platform/platform.h"

Prompts& Platform::prompts() {
    return unattended_ ? static_cast<Prompts&>(standardError_) : interactivePrompts();
}

void Platform::requestTermination() {
    if (!unattended_) {
        unattended_ = true;
        interactivePrompts().dismissOpen();
    }
    emit terminationRequested();
}
