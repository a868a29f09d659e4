#include <zor/Base64.h>

#include <QByteArray>

namespace zor {

QString base64_encode(const QString& s) { return QString::fromLatin1(s.toUtf8().toBase64()); }

QString base64_decode(const QString& s) { return QString::fromUtf8(QByteArray::fromBase64(s.toLatin1())); }

}  // namespace zor
