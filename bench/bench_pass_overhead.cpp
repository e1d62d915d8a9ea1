// Measures what a distill pass adds to Ghostscript's own time per file: the
// waits for a free file and for the end of the Ghostscript run. A stand-in
// Ghostscript that ends at once (tests/fake_gs) isolates the pass's own cost.
// Then compares a pass with nothing to do with one that finds a file it must
// leave alone (its move-to folder is missing): the second should cost no more.
//
// Usage: bench_pass_overhead FAKE_GS [FILES]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "bench_distiller.h"
#include "distill/distiller.h"
#include "settings/configuration.h"
#include "shell/frm_main.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_pass_overhead FAKE_GS [FILES]\n");
        return 2;
    }
    const int files = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;

    BenchDistiller bench(QString::fromLocal8Bit(argv[1]), Options());
    Distiller& distiller = bench.distiller();
    dropFiles(bench.watch(), files);
    QElapsedTimer timer;
    timer.start();
    const bool converted = bench.convertAll(files);
    const double total = static_cast<double>(timer.elapsed());
    std::printf("files: %d, all converted: %s, pass: %.0f ms, per file: %.1f ms\n", files,
                converted ? "yes" : "no", total, total / files);

    const auto msPerPass = [&distiller] {
        constexpr int kPasses = 2000;
        QElapsedTimer passes;
        passes.start();
        for (int i = 0; i < kPasses; ++i) {
            runPass(distiller);
        }
        return static_cast<double>(passes.nsecsElapsed()) / 1e6 / kPasses;
    };
    const double idle = msPerPass();
    bench.application().window().configuration().setPath(PathKind::MoveToFolder,
                                                         bench.watch() + "missing/");
    QFile held(bench.watch() + QStringLiteral("held.ps"));
    held.open(QIODevice::WriteOnly);
    held.write("%!PS\nshowpage\n");
    held.close();
    runPass(distiller);  // lists it as failed, once
    const double missing = msPerPass();
    std::printf(
        "pass with nothing to do: %.3f ms, with a file held back by a missing folder: %.3f ms\n",
        idle, missing);
    return converted ? 0 : 1;
}
