#include "common/byte_text.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

constexpr char16_t kByteMark = 0xDC00;

bool isContinuation(uchar byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
// Overlong forms, surrogates and codes beyond U+10FFFF are not well formed.
qsizetype sequenceLength(QByteArrayView bytes) {
    const auto at = [&](qsizetype i) { return static_cast<uchar>(bytes[i]); };
    const uchar lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    qsizetype length = 0;
    uchar low = 0x80;  // the range of the second byte
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

// Well-formed UTF-8 as it stands: a byte-order mark at the start is text too.
QString fromWellFormed(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

}  // namespace

QString textOfBytes(QByteArrayView bytes) {
    QString text;
    qsizetype run = 0;  // start of the well-formed bytes not yet taken
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = sequenceLength(bytes.sliced(i));
        if (length > 0) {
            i += length;
            continue;
        }
        text.append(fromWellFormed(bytes.sliced(run, i - run)));
        text.append(QChar(kByteMark + static_cast<uchar>(bytes[i])));
        run = ++i;
    }
    return text.append(fromWellFormed(bytes.sliced(run)));
}

QByteArray bytesOfText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes.append(text.sliced(i, 2).toUtf8());
            i += 2;
        } else if (unit >= kByteMark + 0x80 && unit <= kByteMark + 0xFF) {
            bytes.append(static_cast<char>(unit - kByteMark));
            ++i;
        } else {
            bytes.append(text.sliced(i, 1).toUtf8());
            ++i;
        }
    }
    return bytes;
}

bool holdsForeignBytes(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= kByteMark + 0x80 && c.unicode() <= kByteMark + 0xFF;
    });
}
