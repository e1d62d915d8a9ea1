#include "settings/path_checks.h"

#include "i18n/text_table.h"
#include "platform/program_life.h"
#include "platform/prompts.h"
#include "settings/configuration.h"

bool Check_Paths(Configuration& config, const TextTable& texts, Prompts& prompts, ProgramLife& life,
                 PathPicker& picker) {
    const QString root = QStringLiteral("/");
    prompts.message(texts[TextId::Tr_MsgFirstUse] + QStringLiteral("\r\n\r\n") +
                    texts[TextId::Tr_MsgLikelyGSPath]);
    config.setPath(PathKind::WatchDirpath, root);
    // The counter label keeps what it shows; the next conversion refreshes it.
    const QString shownCount = config.counterCaption();
    config.setCounter(0);
    config.setCounterCaption(shownCount);

    picker.askForPath(PathKind::GSPath);
    picker.selectFolder(root);
    picker.Show_Path_Picker();
    while (config.path(PathKind::GSPath).isEmpty()) {
        if (prompts.message(texts[TextId::Tr_MsgGSNotSetRetry], Prompts::Buttons::OkCancel) !=
            Prompts::Answer::Ok) {
            life.endProgram();
            return false;
        }
        picker.Show_Path_Picker();
    }
    return true;
}
