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

#include "app/application.h"
#include "engine/distiller.h"
#include "platform/linux_desktop.h"
#include "platform/linux_folder_files.h"
#include "platform/linux_processes.h"
#include "platform/linux_program_life.h"
#include "platform/linux_volumes.h"
#include "platform/standard_error_prompts.h"
#include "settings/configuration.h"
#include "shell/frm_main.h"

namespace {

// One pass to its end, in the event loop as the program runs it.
void runPass(Distiller& distiller) {
    distiller.tick();
    while (distiller.isPassInProgress()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_pass_overhead FAKE_GS [FILES]\n");
        return 2;
    }
    const int files = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;

    QTemporaryDir root;
    const QString watch = root.path() + "/watch/";
    const QString moved = root.path() + "/moved/";
    const QString output = root.path() + "/output/";
    for (const QString& folder : {watch, moved, output}) {
        QDir().mkpath(folder);
    }
    LinuxProcesses processes;
    LinuxFolderFiles folderFiles;
    LinuxVolumes volumes;
    LinuxDesktop desktop;
    LinuxProgramLife life;
    StandardErrorPrompts prompts;
    Services services{processes, folderFiles, volumes, desktop, life, prompts};
    Application application(services);
    application.applyLanguage(QStringLiteral("GB"));
    Configuration& config = application.window().configuration();
    config.setPath(PathKind::WatchDirpath, watch);
    config.setPath(PathKind::MoveToFolder, moved);
    config.setPath(PathKind::Outputpath, output);
    config.setPath(PathKind::GSPath, QString::fromLocal8Bit(argv[1]));
    Distiller& distiller = application.distiller();

    for (int i = 0; i < files; ++i) {
        QFile file(watch + QStringLiteral("file%1.ps").arg(i, 4, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
        file.write("%!PS\nshowpage\n");
        file.close();
        // Old enough that the just-written rule does not hold it back.
        file.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                         QFileDevice::FileModificationTime);
    }

    distiller.Start_Distiller();
    QElapsedTimer timer;
    timer.start();
    runPass(distiller);
    const double total = static_cast<double>(timer.elapsed());
    const int produced = static_cast<int>(QDir(output).entryList(QDir::Files).size());
    std::printf("files: %d, PDFs: %d, pass: %.0f ms, per file: %.1f ms\n", files, produced, total,
                total / files);

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
    QDir(moved).removeRecursively();
    QFile held(watch + QStringLiteral("held.ps"));
    held.open(QIODevice::WriteOnly);
    held.write("%!PS\nshowpage\n");
    held.close();
    runPass(distiller);  // lists it as failed, once
    const double missing = msPerPass();
    std::printf(
        "pass with nothing to do: %.3f ms, with a file held back by a missing folder: %.3f ms\n",
        idle, missing);
    return produced == files ? 0 : 1;
}
