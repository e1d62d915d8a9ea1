#include "settings/settings_store.h"

#include "platform/folder_files.h"
#include "settings/settings_file.h"

Status readSettingsFile(FolderFiles& files, const QString& path, Settings& settings) {
    SettingsReader reader(settings);
    const Status read =
        files.readInPieces(path, [&reader](QByteArrayView piece) { reader.read(piece); });
    reader.finish();
    return read;
}
