#pragma once

#include <QByteArray>
#include <QString>

// Files as the tests make and read them.

// Writes a file with the given contents and returns its path.
QString writeFile(const QString& path, const QByteArray& contents = "%!PS\n%%EOF\n");
// The whole of a file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// True when anything stands at the path, a link that leads nowhere too.
bool exists(const QString& path);

// The smallest file that ends as a whole PDF does.
inline const QByteArray kWholePdf("%PDF-1.4\ntrailer\n<< >>\nstartxref\n9\n%%EOF\n");
