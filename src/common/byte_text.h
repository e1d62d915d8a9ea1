#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names and the settings file's values are bytes, mostly UTF-8; but a
// name made by another program, or a value written by one, may hold bytes
// that are not. Such a byte b (0x80 to 0xFF) stands in the text as the lone
// surrogate U+DC00 + b, which no typed text contains, so that the bytes come
// back exactly: a file is found under its own name and a value the user did
// not change goes back to the file byte for byte.
QString textOfBytes(QByteArrayView bytes);
QByteArray bytesOfText(const QString& text);

// True when the text stands for bytes that are not UTF-8.
bool holdsForeignBytes(const QString& text);
