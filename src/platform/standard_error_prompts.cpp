#include "platform/standard_error_prompts.h"

#include <unistd.h>
#include <cerrno>

Prompts::Answer StandardErrorPrompts::message(const QString& text, Buttons buttons) {
    const QByteArray line = QByteArrayLiteral("TarnWick: ") + text.toUtf8() + '\n';
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t got = ::write(STDERR_FILENO, line.constData() + written,
                                    static_cast<size_t>(line.size() - written));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        written += got;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> StandardErrorPrompts::input(const QString&, const QString&, const QString&) {
    return std::nullopt;
}
