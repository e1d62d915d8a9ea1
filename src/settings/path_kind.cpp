#include "settings/path_kind.h"

QString pathKindName(PathKind kind) {
    switch (kind) {
        case PathKind::GSPath:
            return QStringLiteral("GSPath");
        case PathKind::WatchDirpath:
            return QStringLiteral("WatchDirpath");
        case PathKind::MoveToFolder:
            return QStringLiteral("MoveToFolder");
        case PathKind::Outputpath:
            return QStringLiteral("Outputpath");
        case PathKind::ComposeFolder:
            return QStringLiteral("ComposeFolder");
        case PathKind::AcroPath:
            return QStringLiteral("AcroPath");
    }
    return {};
}

std::optional<PathKind> pathKindFromName(const QString& name) {
    for (PathKind kind : kPathKinds) {
        if (pathKindName(kind) == name) {
            return kind;
        }
    }
    return std::nullopt;
}
