#include <QPushButton>

#include "engine/distiller.h"
#include "merge/frm_compose.h"
#include "merge/merge_job.h"
#include "shell/frm_main.h"

void FrmMain::createMerge() {
    mergeJob_ = new MergeJob(*this, *this, texts_, platform_, distiller_->state(), this);
    frmCompose_ = new FrmCompose(*mergeJob_, *this, platform_, this);
    connect(cmdCompose, &QPushButton::clicked, this, &FrmMain::cmdCompose_Click);
}

void FrmMain::cmdCompose_Click() {
    frmCompose_->openOver(*this);
}
