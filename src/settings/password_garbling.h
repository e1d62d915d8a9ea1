#pragma once

#include <QByteArray>

// The passwords in the settings file are garbled so that they do not catch
// the eye when someone looks into the file. This is no protection against a
// reader who wants them. Each byte at position i (counted from 1) is shifted
// down by i + 2; the codes wrap around, so any byte string can be garbled and
// restored, and both directions keep the length.
QByteArray garblePasswords(const QByteArray& plain);
QByteArray UngarblePasswords(const QByteArray& garbled);
