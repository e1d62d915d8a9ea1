#include "settings/path_rules.h"

QString volumeOf(const QStringList& volumes, const QString& path) {
    QString best;
    for (const QString& volume : volumes) {
        const QString folder = asFolderValue(volume);
        const bool holds = path == volume || path.startsWith(folder);
        if (holds && volume.size() > best.size()) {
            best = volume;
        }
    }
    return best;
}

QString asFolderValue(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString folderPartOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString filePatternFor(std::optional<PathKind> kind) {
    if (kind == PathKind::GSPath) {
        return QStringLiteral("gs");
    }
    if (kind == PathKind::AcroPath) {
        return QStringLiteral("evince;okular;atril;xreader;qpdfview;zathura;mupdf;xdg-open");
    }
    return QStringLiteral("*");
}

bool matchesFilePattern(const QString& pattern, const QString& fileName) {
    const QStringList names = pattern.split(QLatin1Char(';'));
    return names.contains(QStringLiteral("*")) || names.contains(fileName);
}

bool noReaderChosen(const QString& readerPath) {
    const QString trimmed = readerPath.trimmed();
    return trimmed.isEmpty() || trimmed == QLatin1String("/");
}
