#pragma once
/// \zfile{text} The text forms in which Qt values appear in log lines and debug output, all built with the `$`
/// rule (whole numbers in decimal, float and double in fixed notation with six decimals):
/// \code qt::toString(QRect(1, 2, 3, 4))          "1,2,3,4"
///   qt::to_string_rect_as_coord(same)        "1,2,4,6"   (far corner x + width, y + height)
///   qt::toString(QPointF(0.5, 2))            "0.500000,2.000000"
///   qt::asString(QByteArray("\0\x7f\xff",3)) "0, 127, 255"   and qt::fromString reads it back
/// \endcode
/// toString(QVariant) renders the Qt Core types named by variantTypeAsString; every other type,
/// Qt Gui's vectors and polygons among them (this library links Qt Core and Network only, so it
/// names those types but cannot read their values), gives "QVARIANT-TYPE-NOT-SUPPORTED" and one
/// log line.
///
/// Free functions without state: thread-safe.
#include <zor/Res.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMargins>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringRef>
#include <QTime>
#include <QUrl>
#include <QVariant>

namespace zor {
namespace qt {

ZOR_EXPORT QString toString(const QPoint& p);    ///< "x,y"
ZOR_EXPORT QString toString(const QPointF& p);
ZOR_EXPORT QString toString(const QSize& s);     ///< "width,height"
ZOR_EXPORT QString toString(const QSizeF& s);
ZOR_EXPORT QString toString(const QRect& r);     ///< "x,y,width,height"
ZOR_EXPORT QString toString(const QRectF& r);
ZOR_EXPORT QString to_string_rect_as_coord(const QRect& r);  ///< "x,y,x+width,y+height"
ZOR_EXPORT QString to_string_rect_as_coord(const QRectF& r);
ZOR_EXPORT QString toString(const QMargins& m);  ///< "left,top,right,bottom"
ZOR_EXPORT QString toString(const QMarginsF& m);
ZOR_EXPORT QString toString(const Res& r);       ///< "width,height"
ZOR_EXPORT QString toString(const QDate& d);     ///< "yyyy/MM/dd"
ZOR_EXPORT QString toString(const QTime& t);     ///< "hh:mm:ss,zzz"
/// "yyyy/MM/dd hh:mm:ss,zzz" with the time, "yyyy/MM/dd" without.
ZOR_EXPORT QString toString(const QDateTime& dt, bool withTime);
ZOR_EXPORT QString toString(const QDir& d);      ///< the absolute path
/// A file: "<absolute path>, sz:<formatBytes(size)>"; a directory: "[<absolute path>]"; a drive
/// root "C:/": "[C:]"; anything else without a file name (such as "/"): "fi ??? <absolute path>".
ZOR_EXPORT QString toString(const QFileInfo& fi);
ZOR_EXPORT QString toString(const QUrl& url);    ///< Qt's default formatting
ZOR_EXPORT QString toString(const QStringRef& s);  ///< a null reference gives "{nullptr}"
/// The bytes up to the first zero byte as Latin-1; a null array gives "nullptr".
ZOR_EXPORT QString toString(const QByteArray& a);
/// "{nullptr}" for a null variant, else the value's text (see the type list of variantTypeAsString).
ZOR_EXPORT QString toString(const QVariant& v);
/// "bool", "int", "uint", "longlong", "ulonglong", "double", "char", "string", "rect", "rectF",
/// "size", "sizeF", "line", "lineF", "point", "pointF", "float", "polygon", "vector2D",
/// "vector3D", "vector4D", "polygonF"; any other type "unknown type:<type number>".
ZOR_EXPORT QString variantTypeAsString(const QVariant& v);

/// Every byte as a decimal number 0-255, separated by ", ".
ZOR_EXPORT QString asString(const QByteArray& a);
/// The reverse of asString: numbers separated by commas or blanks, each taken as a 64-bit integer
/// (0 when it is not a number) of which the low byte is kept. An empty text gives an empty array.
ZOR_EXPORT QByteArray fromString(const QString& text);

}  // namespace qt
}  // namespace zor
