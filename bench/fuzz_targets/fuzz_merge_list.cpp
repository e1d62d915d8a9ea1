// Any folder listing and any series of clicks, drags and removes on the
// merge list. The input is the folder's names, one a line, then a byte 0,
// then pairs of bytes: what the user does and on which row. Rules: a fill
// lists each chosen name once and ends with the empty row; a drag only
// reorders; Remove takes away exactly the one file row it acts on; the empty
// row stays; the selection is a row of the list or none.
#include <cstdint>

#include "common/text_util.h"
#include "fuzz_check.h"
#include "merge/merge_list.h"

namespace {

bool sameRows(QStringList a, QStringList b) {
    a.sort();
    b.sort();
    return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype end = input.indexOf('\0');
    const QByteArray listing = end < 0 ? input : input.left(end);
    const QByteArray actions = end < 0 ? QByteArray() : input.mid(end + 1);
    const QStringList names = QString::fromUtf8(listing).split(u'\n');
    const QString choice = mergeChoices()[qsizetype(size % 3)];

    MergeList list;
    list.fill(names, choice);
    QStringList filled = list.rows();
    FUZZ_CHECK(!filled.isEmpty() && filled.takeLast().isEmpty() && list.selected() == 0);
    for (const QString& row : filled) {
        FUZZ_CHECK(names.contains(row) && isListedFor(choice, row));
    }
    for (const QString& name : names) {
        FUZZ_CHECK(filled.contains(name) || !isListedFor(choice, name));
    }
    FUZZ_CHECK(filled.removeDuplicates() == 0);

    for (qsizetype i = 0; i + 1 < actions.size(); i += 2) {
        const QStringList before = list.rows();
        // Rows from -1 to one past the last, so that "none" and a row that
        // does not exist are tried too.
        const int row = int(quint8(actions[i + 1]) % (before.size() + 2)) - 1;
        switch (quint8(actions[i]) % 5) {
            case 0:
                list.click(row);
                break;
            case 1:
                list.press(row);
                break;
            case 2:
            case 3:
                list.release(row, quint8(actions[i]) % 5 == 3);
                FUZZ_CHECK(sameRows(list.rows(), before));
                if (list.rows() != before) {
                    FUZZ_CHECK(list.selected() >= 0 && list.selected() < before.size());
                    FUZZ_CHECK(!trimBlanks(list.rows()[list.selected()]).isEmpty());
                }
                break;
            default: {
                const int current = list.current();
                list.removeCurrent();
                if (list.rows() != before) {
                    FUZZ_CHECK(current >= 0 && current < before.size() &&
                               !trimBlanks(before[current]).isEmpty());
                    QStringList expected = before;
                    expected.removeAt(current);
                    FUZZ_CHECK(list.rows() == expected);
                    FUZZ_CHECK(list.selected() >= 0 && list.selected() < expected.size());
                }
                break;
            }
        }
        FUZZ_CHECK(list.rows().count(QString()) == 1);
        FUZZ_CHECK(list.selected() == list.current() || quint8(actions[i]) % 5 >= 2);
    }
    return 0;
}
