#include "platform/linux/linux_program_life.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>
#include <cstdio>

#include "platform/linux/termination_signals.h"

LinuxProgramLife::LinuxProgramLife() = default;
LinuxProgramLife::~LinuxProgramLife() = default;

bool LinuxProgramLife::claimInstance() {
    // The runtime folder is the user's own; QLockFile takes over a lock whose
    // process has ended.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    instanceLock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/tarnwick.lock"));
    instanceLock_->setStaleLockTime(0);
    return instanceLock_->tryLock(0);
}

void LinuxProgramLife::watchTermination() {
    connect(&TerminationSignals::instance(), &TerminationSignals::requested, this,
            &ProgramLife::terminationRequested, Qt::UniqueConnection);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
}

// The runs this program started end with it: their keepers see it go.
void LinuxProgramLife::endProgram() {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

QString LinuxProgramLife::programFolder() {
    return QCoreApplication::applicationDirPath();
}

QString LinuxProgramLife::configFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/TarnWick");
}

bool LinuxProgramLife::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        emit terminationRequested();
    }
    return false;
}
