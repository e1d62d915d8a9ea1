// Reading a resident gs's standard output: records are found however the
// bytes arrive and whatever the jobs print around them, only with the
// server's own token, and an output that ends during a job names that job.
#include <QTest>

#include "ghostscript/resident_protocol.h"
#include "support/resident_events.h"

namespace {

const QByteArray kToken = "0123456789abcdef0123456789abcdef";

QByteArray record(const QByteArray& token, const QByteArray& text) {
    return "\nTarnWick-resident " + token + ' ' + text + '\n';
}

QByteArray record(const QByteArray& text) {
    return record(kToken, text);
}

}  // namespace

class TestResidentProtocol : public QObject {
    Q_OBJECT
  private slots:
    void readsRecords_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("jobs between job output")
            << record("0 ready") + "page 1" + record("1 started") + "half a line" +
                   record("1 ended done clean") + record("2 started") + "%%[ text ]%%\n" +
                   record("2 ended done left")
            << QStringList{"ready", "job 1 done", "job 2 done, server left",
                           "server ended during job 0"};
        QTest::newRow("a failed job and its reason")
            << record("3 started") + record("3 reason " + QByteArray("undefined in foo").toHex()) +
                   record("3 ended failed clean") + record("4 started") +
                   record("4 ended failed clean")
            << QStringList{"job 3 failed: undefined in foo",
                           "job 4 failed: ", "server ended during job 0"};
        QTest::newRow("records a job forged")
            << record("5 started") +
                   record("0123456789abcdef0123456789abcdee", "5 ended done clean") +
                   "TarnWick-resident 5 ended done clean\n" + record("5 ended nonsense") +
                   record("x ended done clean") + "TarnWick-resident " + kToken
            << QStringList{"server ended during job 5"};
        QTest::newRow("a job that never ends")
            << record("0 ready") + record("6 started") + QByteArray(5000, 'x')
            << QStringList{"ready", "server ended during job 6"};
        QTest::newRow("a line longer than a record") << record("0 ready" + QByteArray(2000, ' '))
                                                     << QStringList{"server ended during job 0"};
    }
    void readsRecords() {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, events);
        for (const qsizetype chunk : {qsizetype(1), qsizetype(7), output.size()}) {
            ResidentOutputParser parser(kToken);
            QStringList seen;
            for (qsizetype at = 0; at < output.size(); at += chunk) {
                for (const ResidentEvent& event : parser.feed(output.mid(at, chunk))) {
                    seen << described(event);
                }
            }
            seen << described(parser.finish());
            QCOMPARE(seen, events);
        }
    }
};

QTEST_GUILESS_MAIN(TestResidentProtocol)
#include "test_resident_protocol.moc"
