#include "shell/result_notices.h"

#include <QFileInfo>
#include <QWidget>

#include "i18n/text_table.h"
#include "platform/desktop.h"
#include "platform/notifications.h"
#include "settings/configuration.h"

namespace {

// The key of a batch's message: its click opens the output folder.
const QString kOutputFolderKey = QStringLiteral("folder:");
// The key of a failure's message: its click brings the window, which says why.
const QString kWindowKey = QStringLiteral("window:");

}  // namespace

ResultNotices::ResultNotices(QWidget& window, const Configuration& config, const TextTable& texts,
                             Notifications& notifications, Desktop& desktop)
    : QObject(&window),
      window_(window),
      config_(config),
      texts_(texts),
      notifications_(notifications),
      desktop_(desktop) {
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchMilliseconds);
    connect(&batch_, &QTimer::timeout, this, &ResultNotices::tell);
    connect(&notifications_, &Notifications::activated, this, [this](const QString& key) {
        if (key == kWindowKey) {
            emit windowWanted();
        } else if (key.startsWith(kOutputFolderKey)) {
            [[maybe_unused]] const Status opened =
                desktop_.openFolder(key.mid(kOutputFolderKey.size()));
        } else {
            [[maybe_unused]] const Status opened = desktop_.openFile(key);
        }
    });
}

void ResultNotices::converted(const QString& pdfPath) {
    add({pdfPath, QString()});
}

void ResultNotices::failed(const QString& sourcePath, const QString& reason) {
    add({sourcePath, reason});
}

// The user who looks at the window sees the list; only one who does not is told.
void ResultNotices::add(Pending pending) {
    if (window_.isVisible() && window_.isActiveWindow()) {
        return;
    }
    pending_.append(std::move(pending));
    batch_.start();
}

void ResultNotices::tell() {
    const QString title = QStringLiteral("TarnWick");
    if (pending_.size() == 1) {
        const Pending& one = pending_.first();
        const QString name = QFileInfo(one.path).fileName();
        if (one.failure.isEmpty()) {
            notifications_.show(title, texts_[TextId::Tr_NoticePdfMade].arg(name), one.path);
        } else {
            notifications_.show(title, texts_[TextId::Tr_NoticeFileFailed].arg(name, one.failure),
                                kWindowKey);
        }
    } else if (!pending_.isEmpty()) {
        const auto failures = std::count_if(pending_.cbegin(), pending_.cend(),
                                            [](const Pending& p) { return !p.failure.isEmpty(); });
        notifications_.show(
            title, texts_[TextId::Tr_NoticeBatch].arg(pending_.size() - failures).arg(failures),
            kOutputFolderKey + config_.path(PathKind::Outputpath));
    }
    pending_.clear();
}
