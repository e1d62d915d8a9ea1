#include "merge/merge_number.h"

#include <limits>

namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString nextMergeNumber(const QStringList& outputNames) {
    const QString prefix = QLatin1String(kMergedFilePrefix);
    qint64 largest = 0;
    for (const QString& name : outputNames) {
        const qsizetype length = name.size() - prefix.size() - 4;
        if (!name.startsWith(prefix) || length <= 0) {
            continue;
        }
        const QString number = name.mid(prefix.size(), length);
        bool ok = false;
        const qint64 value = number.toLongLong(&ok);
        // A number too large to be followed by another is passed over too.
        if (allDigits(number) && ok && value < std::numeric_limits<qint64>::max()) {
            largest = qMax(largest, value);
        }
    }
    return QString::number(largest + 1).rightJustified(4, QLatin1Char('0'));
}
