#include "settings/settings_store.h"

#include "platform/platform.h"

std::optional<QString> readSettingsFile(Platform& platform, const QString& path,
                                        SettingsValues& values) {
    SettingsReader reader(values);
    const std::optional<QString> failure =
        platform.readFileInPieces(path, [&reader](QByteArrayView piece) { reader.read(piece); });
    reader.finish();
    return failure;
}
