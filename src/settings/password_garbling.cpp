#include "settings/password_garbling.h"

namespace {

// Adds direction * (i + 2) to the byte at position i; unsigned char arithmetic
// gives the wrap-around modulo 256.
QByteArray shiftBytes(const QByteArray& in, int direction) {
    QByteArray out(in.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < in.size(); ++i) {
        const auto position = static_cast<unsigned>(i + 1);
        const auto shift = static_cast<unsigned>(direction) * (position + 2u);
        out[i] = static_cast<char>(static_cast<unsigned char>(in[i]) + shift);
    }
    return out;
}

}  // namespace

QByteArray garblePasswords(const QByteArray& plain) {
    return shiftBytes(plain, -1);
}

QByteArray UngarblePasswords(const QByteArray& garbled) {
    return shiftBytes(garbled, 1);
}
