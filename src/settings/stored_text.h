#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text values of the settings file are UTF-8, but a file written by another
// program may hold bytes that are not. Such a byte b (0x80 to 0xFF) stands in
// the text as the lone surrogate U+DC00 + b, which no typed text contains, so
// that a value the user did not change goes back to the file byte for byte.
QString textFromStoredBytes(QByteArrayView bytes);
QByteArray storedBytesOfText(const QString& text);
