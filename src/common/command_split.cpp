#include "common/command_split.h"

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

qsizetype skipBlanks(const QString& text, qsizetype from) {
    while (from < text.size() && isBlank(text[from])) {
        ++from;
    }
    return from;
}

// The arguments of the text after the program. A quote opens an argument even
// when nothing else follows, so "" stands for an empty argument.
QStringList splitArguments(const QString& text) {
    QStringList arguments;
    QString current;
    bool started = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            started = true;
        } else if (isBlank(c) && !quoted) {
            if (started) {
                arguments.append(current);
                current.clear();
                started = false;
            }
        } else {
            current.append(c);
            started = true;
        }
    }
    if (started) {
        arguments.append(current);
    }
    return arguments;
}

}  // namespace

SplitCommand splitCommandLine(const QString& line,
                              const std::function<bool(const QString&)>& isFile) {
    SplitCommand result;
    const qsizetype start = skipBlanks(line, 0);
    if (start == line.size()) {
        return result;
    }

    qsizetype rest = line.size();
    if (line[start] == u'"') {
        const qsizetype close = line.indexOf(u'"', start + 1);
        const qsizetype end = close < 0 ? line.size() : close;
        result.program = line.mid(start + 1, end - start - 1);
        rest = close < 0 ? line.size() : close + 1;
    } else {
        // Tried from the shortest prefix on, so that a file named by a
        // shorter prefix wins over a longer one; only the first blank of a
        // run ends a candidate.
        qsizetype firstEnd = -1;
        for (qsizetype i = start + 1; i <= line.size(); ++i) {
            const bool endsHere = i == line.size() || (isBlank(line[i]) && !isBlank(line[i - 1]));
            if (!endsHere) {
                continue;
            }
            if (firstEnd < 0) {
                firstEnd = i;
            }
            if (isFile(line.mid(start, i - start))) {
                rest = i;
                break;
            }
            if (i == line.size()) {
                rest = firstEnd;
            }
        }
        result.program = line.mid(start, rest - start);
    }
    result.arguments = splitArguments(line.mid(rest));
    return result;
}
