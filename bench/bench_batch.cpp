// Measures batches of one-page PostScript files the way a user has them
// converted: with one Ghostscript per file (the default), with one resident
// Ghostscript (the option), and against a bare loop that starts Ghostscript
// once per file with the same command line, in the same run. Prints the
// times and each mode's ratio to the bare loop; then how long a single fresh
// file takes from its drop to its PDF, in both modes.
//
// Usage: bench_batch [GS [COUNT...]]   (defaults: gs on PATH, 100 1000)
// BENCH_MODES=resident (or bare, one-shot, fresh, in any mix) runs only those.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "bench_distiller.h"
#include "distill/distiller.h"
#include "ghostscript/gs_command.h"

namespace {

// The one-shot command line of each file, run one after another.
double bareLoopMs(const QString& gs, int count) {
    QTemporaryDir root;
    const QString folder = root.path() + QLatin1Char('/');
    dropFiles(folder, count);
    ConversionOptions options;
    options.gsPath = gs;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const QString input = folder + QStringLiteral("file%1.ps").arg(i, 4, 10, QLatin1Char('0'));
        const GsCommand command =
            gsCommand(options, std::nullopt, folder + QStringLiteral("out.pdf"), input);
        QProcess run;
        run.setStandardInputFile(QProcess::nullDevice());
        run.start(command.program, command.arguments);
        run.waitForFinished(-1);
    }
    return static_cast<double>(timer.elapsed());
}

double distillerMs(const QString& gs, int count, bool resident) {
    Options options;
    options.keepGhostscriptRunning = resident;
    BenchDistiller bench(gs, options);
    dropFiles(bench.watch(), count);
    QElapsedTimer timer;
    timer.start();
    if (!bench.convertAll(count)) {
        std::fprintf(stderr, "not every file was converted\n");
    }
    return static_cast<double>(timer.elapsed());
}

// From the drop of one file into the watched folder of a distiller that is
// on and idle to its PDF in the output folder.
double freshFileMs(const QString& gs, bool resident) {
    Options options;
    options.keepGhostscriptRunning = resident;
    BenchDistiller bench(gs, options);
    bench.application().timer().start();
    // A first file, so that a resident Ghostscript is up, as in a session.
    dropFiles(bench.watch(), 1);
    while (!QFile::exists(bench.output() + QStringLiteral("file0000.pdf"))) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QFile file(bench.watch() + QStringLiteral("fresh.ps"));
    file.open(QIODevice::WriteOnly);
    file.write("%!PS\n72 720 moveto (fresh) show showpage\n%%EOF\n");
    file.close();
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(bench.output() + QStringLiteral("fresh.pdf"))) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return static_cast<double>(timer.elapsed());
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString gs = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QStandardPaths::findExecutable(QStringLiteral("gs"));
    QList<int> counts;
    for (int i = 2; i < argc; ++i) {
        counts.append(QString::fromLocal8Bit(argv[i]).toInt());
    }
    if (counts.isEmpty()) {
        counts = {100, 1000};
    }
    const QString modes = qEnvironmentVariable("BENCH_MODES", "bare one-shot resident fresh");
    const auto timed = [&modes](const char* mode, const std::function<double()>& measure) {
        return modes.contains(QLatin1String(mode)) ? measure() : 0.0;
    };
    std::printf("%6s %12s %12s %12s %10s %10s\n", "files", "bare ms", "one-shot ms", "resident ms",
                "one-shot", "resident");
    for (const int count : counts) {
        const double bare = timed("bare", [&] { return bareLoopMs(gs, count); });
        const double oneShot = timed("one-shot", [&] { return distillerMs(gs, count, false); });
        const double resident = timed("resident", [&] { return distillerMs(gs, count, true); });
        std::printf("%6d %12.0f %12.0f %12.0f %9.2fx %9.2fx\n", count, bare, oneShot, resident,
                    oneShot / bare, resident / bare);
        std::fflush(stdout);
    }
    if (modes.contains(QLatin1String("fresh"))) {
        std::printf("a fresh file, drop to PDF: one-shot %.0f ms, resident %.0f ms\n",
                    freshFileMs(gs, false), freshFileMs(gs, true));
    }
    return 0;
}
