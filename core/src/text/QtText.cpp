#include <zor/QtText.h>

#include <zor/Logger.h>
#include <zor/TextHelpers.h>
#include <zor/Tokenizer.h>
#include <zor/xformat.h>

#include <QLine>
#include <QLineF>
#include <cstring>

namespace zor {
namespace qt {

namespace {

// The drive of a path that begins with "X:" (0 for A, 1 for B, ...); -1 when it names none. On
// this platform no absolute path begins with a drive letter, so QFileInfo values reach the "fi ???"
// form unless they were built from such a text.
int driveNumber(const QString& path) {
    if (path.size() < 2 || path.at(1) != QLatin1Char(':')) return -1;
    const QChar c = path.at(0).toUpper();
    if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return -1;
    return c.unicode() - 'A';
}

QString lineText(const QLineF& l) {
    return xformat("$,$", xformat("$,$", l.x1(), l.y1()), xformat("$,$", l.x2(), l.y2()));
}

QString lineText(const QLine& l) {
    return xformat("$,$", xformat("$,$", l.x1(), l.y1()), xformat("$,$", l.x2(), l.y2()));
}

}  // namespace

QString toString(const QPoint& p) { return xformat("$,$", p.x(), p.y()); }
QString toString(const QPointF& p) { return xformat("$,$", p.x(), p.y()); }
QString toString(const QSize& s) { return xformat("$,$", s.width(), s.height()); }
QString toString(const QSizeF& s) { return xformat("$,$", s.width(), s.height()); }
QString toString(const QRect& r) { return xformat("$,$,$,$", r.x(), r.y(), r.width(), r.height()); }
QString toString(const QRectF& r) { return xformat("$,$,$,$", r.x(), r.y(), r.width(), r.height()); }

// The far corner is x + width: QRect::right() is one less.
QString to_string_rect_as_coord(const QRect& r) {
    return xformat("$,$,$,$", r.x(), r.y(), static_cast<long long>(r.x()) + r.width(),
                   static_cast<long long>(r.y()) + r.height());
}
QString to_string_rect_as_coord(const QRectF& r) {
    return xformat("$,$,$,$", r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

QString toString(const QMargins& m) { return xformat("$,$,$,$", m.left(), m.top(), m.right(), m.bottom()); }
QString toString(const QMarginsF& m) { return xformat("$,$,$,$", m.left(), m.top(), m.right(), m.bottom()); }
QString toString(const Res& r) { return xformat("$,$", r.width, r.height); }
QString toString(const QDate& d) { return d.toString(QStringLiteral("yyyy/MM/dd")); }
QString toString(const QTime& t) { return t.toString(QStringLiteral("hh:mm:ss,zzz")); }

QString toString(const QDateTime& dt, bool withTime) {
    return dt.toString(withTime ? QStringLiteral("yyyy/MM/dd hh:mm:ss,zzz") : QStringLiteral("yyyy/MM/dd"));
}

QString toString(const QDir& d) { return d.absolutePath(); }

QString toString(const QFileInfo& fi) {
    if (!fi.fileName().isEmpty()) {
        if (fi.isDir()) return xformat("[$]", fi.absoluteFilePath());
        return xformat("$, sz:$", fi.absoluteFilePath(), formatBytes(static_cast<double>(fi.size())));
    }
    // No file name: a root. The text as given keeps a drive letter that the absolute path loses.
    int drive = driveNumber(fi.filePath());
    if (drive < 0) drive = driveNumber(fi.absoluteFilePath());
    if (drive < 0) return xformat("fi ??? <$>", fi.absoluteFilePath());
    return xformat("[$:]", QChar(static_cast<char16_t>('A' + drive)));
}

QString toString(const QUrl& url) { return url.toString(); }

QString toString(const QStringRef& s) {
    if (s.isNull()) return QStringLiteral("{nullptr}");
    return s.toString();
}

QString toString(const QByteArray& a) {
    if (a.isNull()) return QStringLiteral("nullptr");
    const char* p = a.constData();
    const void* zero = std::memchr(p, 0, static_cast<std::size_t>(a.size()));
    const int n = zero != nullptr ? static_cast<int>(static_cast<const char*>(zero) - p) : a.size();
    return QString(QLatin1String(p, n));
}

QString variantTypeAsString(const QVariant& v) {
    const int type = static_cast<int>(v.type());
    switch (type) {
        case 1: return QStringLiteral("bool");
        case 2: return QStringLiteral("int");
        case 3: return QStringLiteral("uint");
        case 4: return QStringLiteral("longlong");
        case 5: return QStringLiteral("ulonglong");
        case 6: return QStringLiteral("double");
        case 7: return QStringLiteral("char");
        case 10: return QStringLiteral("string");
        case 19: return QStringLiteral("rect");
        case 20: return QStringLiteral("rectF");
        case 21: return QStringLiteral("size");
        case 22: return QStringLiteral("sizeF");
        case 23: return QStringLiteral("line");
        case 24: return QStringLiteral("lineF");
        case 25: return QStringLiteral("point");
        case 26: return QStringLiteral("pointF");
        case 38: return QStringLiteral("float");
        case 71: return QStringLiteral("polygon");
        case 82: return QStringLiteral("vector2D");
        case 83: return QStringLiteral("vector3D");
        case 84: return QStringLiteral("vector4D");
        case 86: return QStringLiteral("polygonF");
        default: return xformat("unknown type:$", type);
    }
}

namespace {

// Qt's checked conversion of a numeric variant, or the parse-error text.
template <typename T, typename Convert>
QString checkedNumber(const QVariant& v, Convert convert, const char* failure) {
    bool ok = false;
    const T value = convert(v, &ok);
    if (!ok) return QString::fromLatin1(failure);
    return xformat("$", value);
}

}  // namespace

QString toString(const QVariant& v) {
    if (v.isNull()) return QStringLiteral("{nullptr}");
    switch (static_cast<int>(v.type())) {
        case 1: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        case 2:
            return checkedNumber<int>(v, [](const QVariant& x, bool* ok) { return x.toInt(ok); },
                                      "QVARIANT-PARSE-ERROR=INT");
        case 3:
            return checkedNumber<unsigned int>(v, [](const QVariant& x, bool* ok) { return x.toUInt(ok); },
                                               "QVARIANT-PARSE-ERROR=UINT");
        case 4:
            return checkedNumber<long long>(v, [](const QVariant& x, bool* ok) { return x.toLongLong(ok); },
                                            "QVARIANT-PARSE-ERROR=LONGLONG");
        case 5:
            return checkedNumber<unsigned long long>(
                v, [](const QVariant& x, bool* ok) { return x.toULongLong(ok); }, "QVARIANT-PARSE-ERROR=ULONGLONG");
        case 6:
            return checkedNumber<double>(v, [](const QVariant& x, bool* ok) { return x.toDouble(ok); },
                                         "QVARIANT-PARSE-ERROR=DOUBLE");
        case 38:
            return checkedNumber<float>(v, [](const QVariant& x, bool* ok) { return x.toFloat(ok); },
                                        "QVARIANT-PARSE-ERROR=FLOAT");
        case 7: return QString(v.toChar());
        case 10: return v.toString();
        case 19: return toString(v.value<QRect>());
        case 20: return toString(v.value<QRectF>());
        case 21: return toString(v.value<QSize>());
        case 22: return toString(v.value<QSizeF>());
        case 23: return lineText(v.value<QLine>());
        case 24: return lineText(v.value<QLineF>());
        case 25: return toString(v.value<QPoint>());
        case 26: return toString(v.value<QPointF>());
        default: break;
    }
    const char* name = v.typeName();
    logWarning("::variantToString, type '$' actually not supported !", name != nullptr ? name : "nullptr");
    return QStringLiteral("QVARIANT-TYPE-NOT-SUPPORTED");
}

QString asString(const QByteArray& a) {
    QString s;
    s.reserve(a.size() * 5);
    for (int i = 0; i < a.size(); ++i) {
        if (i > 0) s += QLatin1String(", ");
        s += QString::number(static_cast<unsigned char>(a.at(i)));
    }
    return s;
}

QByteArray fromString(const QString& text) {
    QByteArray a;
    if (text.isEmpty()) return a;
    Tokenizer tok(text, QStringLiteral(", "));
    a.reserve(static_cast<int>(tok.size()));
    while (tok.hasMoreToken()) a.append(static_cast<char>(tok.nextLong(0) & 0xFF));
    return a;
}

}  // namespace qt
}  // namespace zor
