#include "ghostscript/bounding_box.h"

#include <limits>

#include "common/text_util.h"

namespace {

struct ScanState {
    bool found = false;
    bool failed = false;
    QString value;
    PageSize size;
};

void takeValue(ScanState& state, const QString& value) {
    state.found = true;
    state.value = trimBlanks(value);
    const std::optional<PageSize> size = Split_BoundingBox(state.value);
    if (size) {
        state.size = *size;
    } else {
        state.failed = true;
    }
}

bool endsInDigit(const QString& line) {
    const QString trimmed = trimBlanks(line);
    return !trimmed.isEmpty() && trimmed.back() >= QLatin1Char('0') &&
           trimmed.back() <= QLatin1Char('9');
}

// One line of the file, without its line end.
void Read_BoundingBox(ScanState& state, const QString& line) {
    static const QString keyword = QStringLiteral("%%boundingbox:");
    static const QString pageKeyword = QStringLiteral("%%pageboundingbox:");
    if (line.size() > 100) {
        // In a long line the keyword may stand anywhere in the first 100 places.
        for (qsizetype p = 0; p < 100; ++p) {
            if (line.mid(p, keyword.size()).toLower() == keyword) {
                takeValue(state, line.mid(p + keyword.size(), 30));
                return;
            }
        }
        return;
    }
    if (line.size() < keyword.size()) {
        return;
    }
    if (line.left(keyword.size()).toLower() == keyword && endsInDigit(line)) {
        takeValue(state, line.mid(keyword.size()));
    }
    if (state.failed) {
        return;
    }
    if (line.left(pageKeyword.size()).toLower() == pageKeyword && endsInDigit(line)) {
        takeValue(state, line.mid(pageKeyword.size()));
    }
}

}  // namespace

std::optional<PageSize> Split_BoundingBox(const QString& value) {
    const qsizetype p1 = value.indexOf(QLatin1Char(' '));
    const qsizetype p2 = p1 < 0 ? -1 : value.indexOf(QLatin1Char(' '), p1 + 1);
    const qsizetype p3 = p2 < 0 ? -1 : value.lastIndexOf(QLatin1Char(' '));
    if (p1 < 0 || p2 < 0 || p3 <= p2) {
        return std::nullopt;
    }
    const auto llx = toWholeNumber(value.left(p1));
    const auto lly = toWholeNumber(value.mid(p1 + 1, p2 - p1 - 1));
    const auto urx = toWholeNumber(value.mid(p2 + 1, p3 - p2 - 1));
    const auto ury = toWholeNumber(value.mid(p3 + 1));
    if (!llx || !lly || !urx || !ury) {
        return std::nullopt;
    }
    const double width = (*llx + *urx) * 10;
    const double height = (*lly + *ury) * 10;
    constexpr double low = std::numeric_limits<qint32>::min();
    constexpr double high = std::numeric_limits<qint32>::max();
    if (width < low || width > high || height < low || height > high) {
        return std::nullopt;
    }
    return PageSize{static_cast<qint32>(width), static_cast<qint32>(height)};
}

BoundingBoxScan scanBoundingBox(const QByteArray& head) {
    ScanState state;
    QString line;
    const qsizetype limit = std::min<qsizetype>(head.size(), kBoundingBoxScanLimit);
    for (qsizetype i = 0; i < limit; ++i) {
        const char byte = head[i];
        if (byte != '\n' && byte != '\r') {
            // Each byte is one character, as in a single-byte code page.
            line.append(QChar(static_cast<uchar>(byte)));
            continue;
        }
        if (state.value.isEmpty()) {
            Read_BoundingBox(state, line);
            if (state.failed) {
                return {true, false, {}};
            }
        }
        line.append(QLatin1Char('\r'));
        if (line.mid(1, 11).toLower() == QLatin1String("imagematrix")) {
            state.found = false;
            break;
        }
        line.clear();
    }
    return {false, state.found, state.size};
}
