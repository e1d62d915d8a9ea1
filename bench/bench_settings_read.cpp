// Measures how long reading the settings file takes at start-up when the
// file is large or hostile: blank lines, binary garbage, one endless line,
// or the settings lines themselves repeated. The settings that follow each
// must still be read.
//
// Usage: bench_settings_read [MEGABYTES]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/linux/linux_folder_files.h"
#include "settings/settings_store.h"

namespace {

QByteArray repeated(const QByteArray& unit, qsizetype size) {
    QByteArray out;
    out.reserve(size + unit.size());
    while (out.size() < size) {
        out += unit;
    }
    return out;
}

QByteArray garbage(qsizetype size) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator random(11);
    random.fillRange(reinterpret_cast<quint32*>(out.data()), size / 4);
    return out;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50;
    const qsizetype size = megabytes * 1024 * 1024;
    const QByteArray last = "\r\nGhostscriptpath;/usr/bin/gs\r\n";

    const struct {
        const char* name;
        QByteArray contents;
    } files[] = {
        {"blank lines (CR LF)", repeated("\r\n", size)},
        {"binary garbage", garbage(size)},
        {"one line without end", QByteArray(size, 'x')},
        {"settings lines", repeated("   WatchDirpath;/home/user/PS/\r\n", size)},
    };

    QTemporaryDir dir;
    LinuxFolderFiles folderFiles;
    const QString path = dir.filePath(QStringLiteral("Tarnwick.ini"));
    std::printf("%-24s %10s %10s\n", "file", "MiB", "ms");
    for (const auto& file : files) {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(file.contents + last) != file.contents.size() + last.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        out.close();
        Settings values;
        QElapsedTimer timer;
        timer.start();
        [[maybe_unused]] const Status read = readSettingsFile(folderFiles, path, values);
        const qint64 elapsed = timer.elapsed();
        if (values.path(PathKind::GSPath) != QLatin1String("/usr/bin/gs")) {
            std::fprintf(stderr, "%s: the last line was not read\n", file.name);
            return 1;
        }
        std::printf("%-24s %10lld %10lld\n", file.name, static_cast<long long>(megabytes),
                    static_cast<long long>(elapsed));
    }
    return 0;
}
