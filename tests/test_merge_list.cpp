#include <QTest>

#include "merge/merge_list.h"

class TestMergeList : public QObject {
    Q_OBJECT

  private slots:
    // "." and ".." and a name given twice make no rows of their own.
    void fill_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("both") << "PDF/POSTSCRIPT" << QStringList{"b.ps", "a.pdf", "D.EPS", ""};
        QTest::newRow("PDF") << "PDF" << QStringList{"a.pdf", ""};
        QTest::newRow("PostScript") << "POSTSCRIPT" << QStringList{"b.ps", "D.EPS", ""};
    }
    void fill() {
        QFETCH(QString, choice);
        QFETCH(QStringList, rows);
        MergeList list;
        list.click(2);
        list.fill({".", "b.ps", "..", "a.pdf", "c.txt", "D.EPS", "b.ps"}, choice);
        QCOMPARE(list.rows(), rows);
        QCOMPARE(list.current(), 0);
    }

    // The list a, b, c and the empty row (_); a drag moves the selection from
    // one row to the other, Remove acts on the row clicked.
    void dragAndRemove_data() {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("selected");
        QTest::newRow("a onto c") << false << 0 << 2 << false << "bac_" << 1;
        QTest::newRow("a onto c, Shift") << false << 0 << 2 << true << "bca_" << 2;
        QTest::newRow("c onto a") << false << 2 << 0 << false << "cab_" << 0;
        QTest::newRow("a onto the empty row") << false << 0 << 3 << false << "bca_" << 2;
        QTest::newRow("a onto the empty row, Shift") << false << 0 << 3 << true << "bc_a" << 3;
        QTest::newRow("from the empty row") << false << 3 << 0 << false << "abc_" << 0;
        QTest::newRow("remove the empty row") << true << 3 << 0 << false << "abc_" << 3;
        QTest::newRow("remove the last file") << true << 2 << 0 << false << "ab_" << 2;
        QTest::newRow("remove, nothing selected") << true << -1 << 0 << false << "abc_" << -1;
    }
    void dragAndRemove() {
        QFETCH(bool, remove);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, shift);
        QFETCH(QString, rows);
        QFETCH(int, selected);
        MergeList list;
        list.fill({"a.ps", "b.ps", "c.ps"}, QStringLiteral("POSTSCRIPT"));
        if (remove) {
            list.click(from);
            list.removeCurrent();
        } else {
            list.press(from);
            list.click(to);
            list.release(to, shift);
        }
        QStringList expected;
        for (const QChar letter : rows) {
            expected.append(letter == u'_' ? QString() : letter + QStringLiteral(".ps"));
        }
        QCOMPARE(list.rows(), expected);
        QCOMPARE(list.selected(), selected);
        QCOMPARE(list.current(), selected);
    }
};

QTEST_APPLESS_MAIN(TestMergeList)
#include "test_merge_list.moc"
