#include "shell/frm_main.h"

void FrmMain::startUp() {
    Make_Orange();
    show();
}
