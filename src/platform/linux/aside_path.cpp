#include "platform/linux/aside_path.h"

#include <QCryptographicHash>

#include "common/byte_text.h"

namespace {

constexpr qsizetype kLongestName = 255;  // bytes, on every Linux file system

}  // namespace

QString asidePathOf(const QString& target) {
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    const QString folder = target.left(slash + 1);
    const QString name = target.mid(slash + 1);
    const QString aside = QLatin1Char('.') + name + QStringLiteral(".tarnwick-part");
    if (bytesOfText(aside).size() <= kLongestName) {
        return folder + aside;
    }
    const QByteArray digest =
        QCryptographicHash::hash(bytesOfText(name), QCryptographicHash::Sha1).toHex();
    return folder + QStringLiteral(".tarnwick-part-") + QString::fromLatin1(digest);
}
