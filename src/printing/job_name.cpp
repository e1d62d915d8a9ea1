#include "printing/job_name.h"

#include <QString>

namespace {

// The title as text that may stand in a file name on any file system (vfat
// and exFAT refuse the marks replaced here), blanks at either end and
// leading dots taken away (a hidden file is never taken by the distiller).
QString cleanTitle(QByteArrayView title) {
    QString text = QString::fromUtf8(title);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = u' ';
        } else if (QStringView(u"/:?*\"<>|\\").contains(c)) {
            c = u'_';
        }
    }
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u'.' || text[start].isSpace())) {
        ++start;
    }
    return text.mid(start).trimmed();
}

struct SplitName {
    QByteArray stem;
    QByteArray ending;
};

SplitName splitEnding(const QString& text) {
    for (const QLatin1String kept : {QLatin1String(".ps"), QLatin1String(".eps"),
                                     QLatin1String(".prn"), QLatin1String(".plt")}) {
        if (text.endsWith(kept, Qt::CaseInsensitive)) {
            return {text.chopped(kept.size()).toUtf8(), text.right(kept.size()).toUtf8()};
        }
    }
    const QLatin1String pdf(".pdf");
    const QString stem = text.endsWith(pdf, Qt::CaseInsensitive) ? text.chopped(pdf.size()) : text;
    return {stem.toUtf8(), QByteArrayLiteral(".ps")};
}

// Cuts UTF-8 text to at most limit bytes without splitting a character.
void cutUtf8(QByteArray& text, qsizetype limit) {
    if (text.size() <= limit) {
        return;
    }
    qsizetype end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.truncate(end);
}

}  // namespace

QByteArray jobFileName(QByteArrayView title, qint64 jobId, int number) {
    const QString text = cleanTitle(title);
    SplitName name = text.isEmpty()
                         ? SplitName{"job " + QByteArray::number(jobId), QByteArrayLiteral(".ps")}
                         : splitEnding(text);
    const QByteArray counter = number > 1 ? " (" + QByteArray::number(number) + ')' : QByteArray();
    cutUtf8(name.stem, kLongestJobFileName - counter.size() - name.ending.size());
    return name.stem + counter + name.ending;
}
