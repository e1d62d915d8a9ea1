#include "app/settings_keeper.h"

#include "i18n/text_table.h"
#include "platform/folder_files.h"
#include "platform/prompts.h"
#include "settings/configuration.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/window_animations.h"
#include "shell/window_geometry.h"

SettingsKeeper::SettingsKeeper(FolderFiles& files, Prompts& prompts, const TextTable& texts,
                               Window window)
    : files_(files), prompts_(prompts), texts_(texts), window_(window) {}

bool SettingsKeeper::exists() const {
    return files_.isFile(places_.read);
}

Settings SettingsKeeper::current() const {
    Settings settings;
    for (PathKind kind : kPathKinds) {
        settings.path(kind) = window_.config.path(kind);
    }
    settings.options = window_.config.options();
    settings.language = language_;
    settings.left = window_.geometry.savedLeft();
    settings.top = window_.geometry.savedTop();
    settings.windowState = window_.geometry.savedWindowState();
    settings.counter = window_.config.counter();
    settings.counterCaption = window_.config.counterCaption();
    return settings;
}

void SettingsKeeper::apply(const Settings& settings) {
    for (PathKind kind : kPathKinds) {
        window_.config.setPath(kind, settings.path(kind));
    }
    window_.config.setOptions(settings.options);
    language_ = settings.language;
    window_.geometry.setSaved(settings.left, settings.top, settings.windowState);
    window_.config.setCounter(settings.counter);
    window_.config.setCounterCaption(settings.counterCaption);
}

void SettingsKeeper::Load_Settings() {
    Settings settings = current();
    settings.left = 0;
    settings.top = 0;
    // An unreadable file reads as an empty one: every value stays as it was.
    [[maybe_unused]] const Status read = readSettingsFile(files_, places_.read, settings);
    apply(settings);
}

void SettingsKeeper::Save_Settings() {
    window_.geometry.recordPosition();
    // The configuration folder is made with the first file it holds; when it
    // cannot be, the write says why.
    const QString& path = places_.write;
    [[maybe_unused]] const Status folder =
        files_.makeFolder(path.left(path.lastIndexOf(QLatin1Char('/'))));
    if (const Status saved = files_.writeAtomic(path, formatSettings(current())); !saved) {
        prompts_.message(texts_[TextId::Tr_MsgSettingsNotSaved] + path + QStringLiteral("\n") +
                         saved.failure().text);
    }
    window_.animations.Roll_Up_Window();
}
