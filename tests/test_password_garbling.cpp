#include <QRandomGenerator>
#include <QTest>

#include "settings/password_garbling.h"

namespace {

// Keeps embedded NUL bytes, which a plain const char* would cut off.
template <std::size_t N>
QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

}  // namespace

class TestPasswordGarbling : public QObject {
    Q_OBJECT

  private slots:
    void knownPairs_data();
    void knownPairs();
    void everyByteAtPosition_data();
    void everyByteAtPosition();
    void longRandomTextRoundTrips();
};

// Expected garbled forms worked out by hand: byte minus (position + 2).
void TestPasswordGarbling::knownPairs_data() {
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("garbled");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("abc") << bytes("abc") << bytes("^^^");
    QTest::newRow("mixed text") << bytes("Secret1") << bytes("Pa^l^l(");
    QTest::newRow("blank at 20 becomes LF")
        << bytes("aaaaaaaaaaaaaaaaaaa ") << bytes("^]\\[ZYXWVUTSRQPONML\n");
    QTest::newRow("exclamation at 18 becomes CR")
        << bytes("aaaaaaaaaaaaaaaaa!") << bytes("^]\\[ZYXWVUTSRQPON\r");
    QTest::newRow("utf-8 e acute") << bytes("\xc3\xa9") << bytes("\xc0\xa5");
    QTest::newRow("low bytes wrap below zero")
        << bytes("\x00\x01\x02\x03") << bytes("\xfd\xfd\xfd\xfd");
    QTest::newRow("byte 3 at 1 gives NUL") << bytes("\x03") << bytes("\x00");
    QTest::newRow("ungarbling wraps above 255") << bytes("\x01\xff") << bytes("\xfe\xfb");
    QTest::newRow("NUL inside") << bytes("a\0b") << bytes("^\xfc]");
}

void TestPasswordGarbling::knownPairs() {
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, garbled);

    QCOMPARE(garblePasswords(plain), garbled);
    QCOMPARE(UngarblePasswords(garbled), plain);
}

// The shift per position is written out by hand: position + 2, modulo 256.
// At 254 the shift is a whole turn, so the byte stays as it is.
void TestPasswordGarbling::everyByteAtPosition_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("shift");

    QTest::newRow("1") << 1 << 3;
    QTest::newRow("2") << 2 << 4;
    QTest::newRow("20") << 20 << 22;
    QTest::newRow("254") << 254 << 0;
    QTest::newRow("255") << 255 << 1;
    QTest::newRow("300") << 300 << 46;
}

void TestPasswordGarbling::everyByteAtPosition() {
    QFETCH(int, position);
    QFETCH(int, shift);

    for (int code = 0; code < 256; ++code) {
        QByteArray plain(position - 1, 'x');
        plain.append(static_cast<char>(code));
        const QByteArray garbled = garblePasswords(plain);
        QCOMPARE(garbled.size(), plain.size());
        QCOMPARE(static_cast<unsigned char>(garbled.back()), (code - shift + 256) % 256);
        QCOMPARE(UngarblePasswords(garbled), plain);
    }
}

void TestPasswordGarbling::longRandomTextRoundTrips() {
    QRandomGenerator random(20240229);
    QByteArray plain(5000, Qt::Uninitialized);
    for (char& c : plain) {
        c = static_cast<char>(random.bounded(256));
    }
    const QByteArray garbled = garblePasswords(plain);
    QCOMPARE(garbled.size(), plain.size());
    QVERIFY(garbled != plain);
    QCOMPARE(UngarblePasswords(garbled), plain);
}

QTEST_APPLESS_MAIN(TestPasswordGarbling)
#include "test_password_garbling.moc"
