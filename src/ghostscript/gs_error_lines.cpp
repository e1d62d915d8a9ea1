#include "ghostscript/gs_error_lines.h"

#include <QRegularExpression>

#include "common/byte_text.h"

namespace {

constexpr int kMostLines = 3;
constexpr int kLongestLine = 160;

// Where the error happened, as a user could find it in the file: an
// operator without Ghostscript's dashes; its own internal procedures
// ("%ztokenexec_continue") say nothing to a user and are left out.
QString where(QString operand) {
    operand = operand.trimmed();
    if (operand.startsWith(QLatin1Char('/'))) {
        operand.remove(0, 1);
    }
    if (operand.startsWith(QLatin1String("--")) && operand.endsWith(QLatin1String("--")) &&
        operand.size() > 4) {
        operand = operand.mid(2, operand.size() - 4);
    }
    if (operand.isEmpty() || operand.startsWith(QLatin1Char('%'))) {
        return {};
    }
    return QStringLiteral(": ") + operand;
}

// One line of Ghostscript's output as an error line; empty when it is none.
QString errorLine(const QString& line) {
    static const QRegularExpression error(QStringLiteral("^Error: /(\\S+) in (.*)$"));
    const QString trimmed = line.trimmed();
    if (const QRegularExpressionMatch match = error.match(trimmed); match.hasMatch()) {
        return match.captured(1) + where(match.captured(2));
    }
    if (trimmed.startsWith(QLatin1String("****"))) {
        QString note = trimmed;
        while (note.startsWith(QLatin1Char('*'))) {
            note.remove(0, 1);
        }
        return note.trimmed();
    }
    return {};
}

}  // namespace

QStringList gsErrorLines(const QByteArray& output) {
    QStringList lines;
    for (const QString& line : textOfBytes(output).split(QLatin1Char('\n'))) {
        QString found = errorLine(line);
        if (found.isEmpty() || lines.contains(found)) {
            continue;
        }
        if (found.size() > kLongestLine) {
            found = found.left(kLongestLine - 1) + QChar(0x2026);
        }
        lines.append(found);
    }
    return lines.mid(qMax(0, lines.size() - kMostLines));
}
