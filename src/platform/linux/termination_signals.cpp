#include "platform/linux/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

// The handler writes a byte to one end; the event loop reads the other.
int signalSocket[2] = {-1, -1};

// Only async-signal-safe calls here. The write does not block: when the
// socket is full, a request is already waiting, and one is enough.
void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = savedErrno;
}

bool installHandler() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalSocket) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}

}  // namespace

TerminationSignals& TerminationSignals::instance() {
    // Belongs to the application object, so that a program or test that
    // makes a new one gets a new notifier on the same socket.
    static QPointer<TerminationSignals> current;
    if (!current) {
        current = new TerminationSignals(QCoreApplication::instance());
    }
    return *current;
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    static const bool installed = installHandler();
    if (!installed) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
        }
        emit requested();
    });
}
