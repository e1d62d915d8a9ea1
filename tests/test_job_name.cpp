#include <QStringDecoder>
#include <QTest>
#include <algorithm>

#include "printing/job_name.h"

// The name a print job gets in the watched folder. Every row also holds the
// rules every name keeps, whatever the title: a PostScript ending, no "/",
// no control character, valid UTF-8, no leading dot, at most 200 bytes.
class TestJobName : public QObject {
    Q_OBJECT
  private slots:
    void names_data() {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("name");
        const auto row = [](const char* what, const QByteArray& title, int number,
                            const QByteArray& name) {
            QTest::newRow(what) << title << number << name;
        };
        const QByteArray umlaut("\xc3\xa4");
        const QByteArray replacement("\xef\xbf\xbd");

        row("plain", "Letter", 1, "Letter.ps");
        row("ps kept", "a.ps", 1, "a.ps");
        row("eps kept, its case too", "Logo.EPS", 1, "Logo.EPS");
        row("pdf replaced", "Brochure.pdf", 1, "Brochure.ps");
        row("other ending kept, ps added", "notes.txt", 1, "notes.txt.ps");
        row("ps only in the middle", "a.ps.bak", 1, "a.ps.bak.ps");
        row("ending without a dot", "steps", 1, "steps.ps");
        row("slashes", "2024/05 report", 1, "2024_05 report.ps");
        row("marks a USB stick refuses", "a:b?c*d\"e<f>g|h\\i", 1, "a_b_c_d_e_f_g_h_i.ps");
        row("way up", "../../etc/passwd", 1, "_.._etc_passwd.ps");
        row("two dots only", "..", 1, "job 7.ps");
        row("leading dot", ".hidden", 1, "hidden.ps");
        row("leading dots and blanks", " . .x.pdf", 1, "x.ps");
        row("a dot before the ending only", ".ps", 1, "ps.ps");
        row("newline and tab", "two\nlines\there", 1, "two lines here.ps");
        row("escape and delete", "a\x1b[31mb\x7f", 1, "a [31mb.ps");
        row("C1 control", "a\xc2\x85z", 1, "a z.ps");
        row("latin-1 byte", "caf\xe9", 1, "caf" + replacement + ".ps");
        row("overlong slash",
            "a\xc0\xaf"
            "b",
            1, "a" + replacement + replacement + "b.ps");
        row("stray continuation byte", "ab\x80", 1, "ab" + replacement + ".ps");
        row("empty", "", 1, "job 7.ps");
        row("blanks only", "  \n ", 1, "job 7.ps");
        row("300 bytes", QByteArray(300, 'x'), 1, QByteArray(197, 'x') + ".ps");
        row("300 bytes keep their ending", QByteArray(300, 'x') + ".eps", 1,
            QByteArray(196, 'x') + ".eps");
        row("two-byte characters cut whole", umlaut.repeated(150), 1, umlaut.repeated(98) + ".ps");
        row("second of a name", "Letter", 2, "Letter (2).ps");
        row("third, before a kept ending", "Logo.eps", 3, "Logo (3).eps");
        row("numbered job", "", 2, "job 7 (2).ps");
        row("numbered long name stays short", QByteArray(300, 'x'), 12,
            QByteArray(192, 'x') + " (12).ps");
    }
    void names() {
        QFETCH(QByteArray, title);
        QFETCH(int, number);
        QFETCH(QByteArray, name);
        const QByteArray made = jobFileName(title, 7, number);
        QCOMPARE(made, name);

        QVERIFY(made.size() <= kLongestJobFileName);
        QVERIFY(!made.startsWith('.'));
        QVERIFY(!made.contains('/'));
        QVERIFY(std::none_of(made.begin(), made.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        }));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(made);
        QVERIFY(!utf8.hasError());
        QVERIFY(text.endsWith(QLatin1String(".ps"), Qt::CaseInsensitive) ||
                text.endsWith(QLatin1String(".eps"), Qt::CaseInsensitive) ||
                text.endsWith(QLatin1String(".prn"), Qt::CaseInsensitive) ||
                text.endsWith(QLatin1String(".plt"), Qt::CaseInsensitive));
    }
};

QTEST_APPLESS_MAIN(TestJobName)
#include "test_job_name.moc"
