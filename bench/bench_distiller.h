#pragma once

#include <QTemporaryDir>
#include <memory>

#include "app/application.h"
#include "platform/linux/linux_desktop.h"
#include "platform/linux/linux_folder_files.h"
#include "platform/linux/linux_folder_watch.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_program_life.h"
#include "platform/linux/linux_volumes.h"
#include "platform/linux/standard_error_prompts.h"
#include "settings/settings.h"

// The program's distiller as the benchmarks drive it: the application on
// the Linux platform, its window offscreen, with folders of its own.
class BenchDistiller {
  public:
    BenchDistiller(const QString& gsPath, const Options& options);

    QString watch() const { return root_.path() + QStringLiteral("/watch/"); }
    QString output() const { return root_.path() + QStringLiteral("/output/"); }
    Distiller& distiller();
    Application& application() { return *application_; }
    // Runs passes until the output folder holds count PDFs; false when a
    // pass ends with fewer and nothing left to take.
    bool convertAll(int count);

  private:
    QTemporaryDir root_;
    LinuxProcesses processes_;
    LinuxFolderFiles files_;
    LinuxVolumes volumes_;
    LinuxDesktop desktop_;
    LinuxProgramLife life_;
    StandardErrorPrompts prompts_;
    LinuxFolderWatch folderWatch_;
    Services services_{processes_, files_, volumes_, desktop_, life_, prompts_, folderWatch_};
    std::unique_ptr<Application> application_;
};

// Writes count one-page PostScript files, dated back so that they are taken
// at once.
void dropFiles(const QString& folder, int count);
// One pass to its end, in the event loop as the program runs it.
void runPass(Distiller& distiller);
