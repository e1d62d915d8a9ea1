#include "common/text_util.h"

#include <QRegularExpression>
#include <cmath>

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

std::optional<double> toDecimalNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+) *$"));
    if (!number.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = trimBlanks(text).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> toWholeNumber(const QString& text) {
    const std::optional<double> number = toDecimalNumber(text);
    if (!number) {
        return std::nullopt;
    }
    const double value = *number;
    if (std::fabs(value - std::trunc(value)) == 0.5) {
        return 2 * std::round(value / 2);
    }
    return std::round(value);
}
