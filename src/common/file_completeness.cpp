#include "common/file_completeness.h"

namespace {

const QByteArray kEndMark("%%EOF");

// The text without what follows its last visible character.
QByteArray withoutTrailingControls(const QByteArray& text) {
    qsizetype end = text.size();
    while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return text.left(end);
}

}  // namespace

bool isWholePdf(const QByteArray& tail) {
    const QByteArray visible = tail.trimmed();
    if (!visible.endsWith(kEndMark)) {
        return false;
    }
    return visible.lastIndexOf("startxref") >= 0;
}

bool isUnfinishedPostScript(const QByteArray& tail) {
    return !withoutTrailingControls(tail).endsWith(kEndMark);
}
