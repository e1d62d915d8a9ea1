#pragma once

#include <QString>
#include <array>
#include <optional>

// The six configured paths: two programs and four folders. The picker and the
// path buttons name the one they edit by its kind.
enum class PathKind { GSPath, WatchDirpath, MoveToFolder, Outputpath, ComposeFolder, AcroPath };

inline constexpr std::array<PathKind, 6> kPathKinds{PathKind::GSPath,        PathKind::WatchDirpath,
                                                    PathKind::MoveToFolder,  PathKind::Outputpath,
                                                    PathKind::ComposeFolder, PathKind::AcroPath};

// The kind's name as the program spells it ("GSPath", "WatchDirpath", ...).
QString pathKindName(PathKind kind);
std::optional<PathKind> pathKindFromName(const QString& name);

// True for the two kinds that name a program file rather than a folder.
inline bool isFileKind(PathKind kind) {
    return kind == PathKind::GSPath || kind == PathKind::AcroPath;
}
