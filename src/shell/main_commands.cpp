#include "shell/main_commands.h"

#include "common/text_util.h"
#include "i18n/text_table.h"
#include "platform/desktop.h"
#include "platform/folder_files.h"
#include "platform/processes.h"
#include "platform/prompts.h"
#include "settings/configuration.h"
#include "settings/path_rules.h"
#include "shell/frm_main.h"

MainCommands::MainCommands(FrmMain& window, const TextTable& texts, Services services)
    : QObject(&window),
      window_(window),
      config_(window.configuration()),
      texts_(texts),
      services_(services) {
    connect(&window_, &FrmMain::convertedListReleased, this, &MainCommands::openConvertedEntry);
    connect(&window_, &FrmMain::folderLabelClicked, this, [this](PathKind kind) {
        [[maybe_unused]] const Status opened = services_.desktop.openFolder(config_.path(kind));
    });
    connect(&window_, &FrmMain::counterClicked, this, &MainCommands::resetCounter);
    connect(&window_, &FrmMain::encryptionReleased, this, &MainCommands::remindPasswords);
    connect(&window_, &FrmMain::showPasswordsClicked, this,
            [this] { services_.prompts.message(window_.passwordsText()); });
}

void MainCommands::openConvertedEntry(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        [[maybe_unused]] const Status opened =
            services_.desktop.openFolder(config_.path(PathKind::Outputpath));
        return;
    }
    const QString entry = window_.selectedEntry();
    if (entry.isEmpty()) {
        return;
    }
    if (!services_.files.isFile(entry)) {
        services_.prompts.message(entry + texts_[TextId::Tr_MsgFileGone]);
        return;
    }
    const QString reader = config_.path(PathKind::AcroPath);
    // With no reader chosen the desktop's own viewer for PDF files opens it.
    if (noReaderChosen(reader) && services_.desktop.openFile(entry)) {
        return;
    }
    if (!services_.files.isFile(trimBlanks(reader))) {
        services_.prompts.message(texts_[TextId::Tr_MsgNoReaderPath]);
        return;
    }
    const QString command =
        QLatin1Char('"') + reader + QStringLiteral("\" \"") + entry + QLatin1Char('"');
    if (!services_.processes.startProgram(command, WindowMode::Maximised)) {
        services_.prompts.message(texts_[TextId::Tr_MsgReaderNotStarted] + reader);
    }
}

void MainCommands::resetCounter() {
    if (services_.prompts.message(texts_[TextId::Tr_MsgResetCounter], Prompts::Buttons::OkCancel) ==
        Prompts::Answer::Ok) {
        config_.setCounter(0);
        emit counterReset();
    }
}

void MainCommands::remindPasswords() {
    const Options options = config_.options();
    if (!options.useEncryption) {
        return;
    }
    const bool noOwner = options.ownerPassword.isEmpty();
    const bool noUser = options.userPassword.isEmpty();
    if (noOwner && noUser) {
        services_.prompts.message(texts_[TextId::Tr_MsgNoPasswords]);
    } else if (noOwner) {
        services_.prompts.message(texts_[TextId::Tr_MsgNoOwnerPassword]);
    } else if (noUser) {
        services_.prompts.message(texts_[TextId::Tr_MsgNoUserPassword]);
    }
}
