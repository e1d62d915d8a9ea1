#include "common/pdf_results.h"
#include "engine/distiller.h"
#include "i18n/text_table.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

void Distiller::Start_Distiller() {
    emit startRequested();
    // Compared as the file system sees them: another spelling or a link is
    // still the same folder, a folder whose name differs in letter case is not.
    if (platform_.isSameFolder(config_.path(PathKind::WatchDirpath),
                               config_.path(PathKind::MoveToFolder))) {
        platform_.prompts().message(texts_[TextId::Tr_MsgSameFolders]);
        emit startRefused();
        return;
    }
    state_.CurrentCount = 0;
    state_.DistillerActive = true;
    emit switchedOn();
}

void Distiller::Stop_Distiller() {
    state_.DistillerActive = false;
    emit switchedOff();
    results_.setStatus(texts_[TextId::Tr_StatusInactive]);
    stopRequested_ = true;
    emit wake();
}
