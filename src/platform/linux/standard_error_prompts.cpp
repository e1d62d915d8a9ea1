#include "platform/linux/standard_error_prompts.h"

#include <unistd.h>

#include "platform/linux/retrying_io.h"

Prompts::Answer StandardErrorPrompts::message(const QString& text, Buttons buttons) {
    const QByteArray line = QByteArrayLiteral("TarnWick: ") + text.toUtf8() + '\n';
    // Nobody would see a failure to write it.
    [[maybe_unused]] const bool written = writeAll(STDERR_FILENO, line.constData(), line.size());
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> StandardErrorPrompts::input(const QString&, const QString&, const QString&) {
    return std::nullopt;
}
