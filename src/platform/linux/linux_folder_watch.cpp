#include "platform/linux/linux_folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <cerrno>

#include "common/byte_text.h"

LinuxFolderWatch::LinuxFolderWatch() {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &LinuxFolderWatch::readEvents);
    }
}

LinuxFolderWatch::~LinuxFolderWatch() {
    notifier_.reset();
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool LinuxFolderWatch::watch(const QString& folder) {
    stopWatching();
    if (fd_ < 0) {
        return false;
    }
    // A link in place of the folder is not followed, as nowhere else.
    watch_ = inotify_add_watch(
        fd_, bytesOfText(folder).constData(),
        IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK);
    return watch_ >= 0;
}

void LinuxFolderWatch::stopWatching() {
    if (watch_ >= 0) {
        inotify_rm_watch(fd_, watch_);
        watch_ = -1;
    }
}

// One signal for whatever arrived together: the pass it starts looks at the
// whole folder anyway.
void LinuxFolderWatch::readEvents() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            any = any || (event->wd == watch_ && watch_ >= 0);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (any) {
        emit changed();
    }
}
