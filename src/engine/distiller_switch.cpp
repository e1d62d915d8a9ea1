#include "engine/distiller.h"
#include "engine/distiller_view.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "platform/prompts.h"

void Distiller::Start_Distiller() {
    view_.setComposeAndExitVisible(false);
    // Compared as whole texts: a trailing separator on one side only differs.
    if (view_.watchDir().toLower() == view_.moveFolder().toLower()) {
        platform_.prompts().message(view_.texts()[TextId::Tr_MsgSameFolders]);
        view_.setComposeAndExitVisible(true);
        view_.Make_Orange();
        return;
    }
    view_.Make_Green();
    state_.CurrentCount = 0;
    view_.setStartVisible(false);
    state_.DistillerActive = true;
}

void Distiller::Stop_Distiller() {
    view_.setComposeAndExitVisible(true);
    view_.Make_Orange();
    view_.setStartVisible(true);
    state_.DistillerActive = false;
    view_.setStatus(view_.texts()[TextId::Tr_StatusInactive]);
    stopRequested_ = true;
    emit wake();
}
