#include "bench_distiller.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include "distill/distiller.h"
#include "settings/configuration.h"
#include "shell/frm_main.h"

BenchDistiller::BenchDistiller(const QString& gsPath, const Options& options) {
    for (const char* folder : {"/watch", "/moved", "/output"}) {
        QDir().mkpath(root_.path() + QLatin1String(folder));
    }
    application_ = std::make_unique<Application>(services_);
    application_->applyLanguage(QStringLiteral("GB"));
    Configuration& config = application_->window().configuration();
    config.setPath(PathKind::WatchDirpath, watch());
    config.setPath(PathKind::MoveToFolder, root_.path() + QStringLiteral("/moved/"));
    config.setPath(PathKind::Outputpath, output());
    config.setPath(PathKind::GSPath, gsPath);
    config.setOptions(options);
    application_->distiller().Start_Distiller();
}

Distiller& BenchDistiller::distiller() {
    return application_->distiller();
}

bool BenchDistiller::convertAll(int count) {
    for (;;) {
        runPass(distiller());
        const qsizetype made = QDir(output()).entryList(QDir::Files).size();
        if (made >= count) {
            return true;
        }
        if (QDir(watch()).entryList(QDir::Files).isEmpty()) {
            return false;
        }
    }
}

void dropFiles(const QString& folder, int count) {
    const QDateTime past = QDateTime::currentDateTime().addSecs(-20);
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QStringLiteral("file%1.ps").arg(i, 4, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("%!PS\n/Helvetica findfont 24 scalefont setfont\n"
                                  "72 720 moveto (Page %1) show showpage\n%%EOF\n")
                       .arg(i)
                       .toLatin1());
        // Written out first, or the close would date it now.
        file.flush();
        file.setFileTime(past, QFileDevice::FileModificationTime);
    }
}

void runPass(Distiller& distiller) {
    distiller.tick();
    while (distiller.isPassInProgress()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
