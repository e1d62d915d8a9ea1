#include "i18n/text_table.h"

#include <QFile>

namespace {

const char* const kIdNames[] = {
#define TARNWICK_TEXT_NAME(name) #name,
    TARNWICK_TEXT_IDS(TARNWICK_TEXT_NAME)
#undef TARNWICK_TEXT_NAME
};

// Reads the table that translators keep: tab-separated, a header row with
// "id" and the language codes, then one row per identifier.
QHash<QString, QStringList> loadTable() {
    QFile file(QStringLiteral(":/i18n/texts.tsv"));
    file.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QStringList header = lines.value(0).split(QLatin1Char('\t'));

    QHash<QString, QStringList> table;
    for (int column = 1; column < header.size(); ++column) {
        table.insert(header[column], QStringList());
    }
    QHash<QString, QStringList> rows;
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() == header.size()) {
            rows.insert(cells[0], cells);
        }
    }
    for (int id = 0; id < static_cast<int>(TextId::Count); ++id) {
        const QStringList row = rows.value(QString::fromLatin1(kIdNames[id]));
        for (int column = 1; column < header.size(); ++column) {
            table[header[column]].append(row.value(column));
        }
    }
    return table;
}

}  // namespace

const char* textIdName(TextId id) {
    return kIdNames[static_cast<size_t>(id)];
}

const QStringList& TextTable::selectionOrder() {
    static const QStringList order{"GB", "FR", "DE", "NL", "FI", "IT"};
    return order;
}

const QStringList& TextTable::listOrder() {
    static const QStringList order{"GB", "DE", "FR", "IT", "NL", "FI"};
    return order;
}

const QHash<QString, QStringList>& TextTable::languages() {
    static const QHash<QString, QStringList> table = loadTable();
    return table;
}

bool TextTable::Select_Texts(const QString& code) {
    for (const QString& known : selectionOrder()) {
        if (known == code) {
            const QStringList& texts = languages()[known];
            for (size_t i = 0; i < texts_.size(); ++i) {
                texts_[i] = texts.value(static_cast<int>(i));
            }
            return true;
        }
    }
    return false;
}
