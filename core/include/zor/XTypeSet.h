#pragma once
/// \zclass{XTypeSet,xtree} The registry of value type names, in three ordered sets (0 simple, 1 tree, 2 array).
/// A new set holds the library's own types; an application that adds tree types of its own
/// derives a type supporter and registers them in that supporter's set. These registry numbers are
/// not the XCategory codes of value slots.
///
/// XTypeName<T>::name() gives the registered name of a C++ type; a type without a name does not
/// compile where a name is needed. A plain value; not synchronised.
#include <zor/zor_export.h>

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zor {

class ZOR_EXPORT XTypeSet {
public:
    enum Category : unsigned int { CAT_SIMPLE = 0, CAT_TREE = 1, CAT_ARRAY = 2 };

    static const QString str_bool, str_int8, str_uint8, str_int16, str_uint16, str_int32, str_uint32, str_int64,
        str_uint64, str_float, str_double, str_Vector2, str_Vector3, str_Vector4, str_Matrix2, str_Matrix3,
        str_Matrix4, str_QString, str_XTree, str_XTreeArray, str_XLink, str_QPoint, str_QPointF, str_QSize,
        str_QSizeF, str_QRect, str_QRectF, str_QMargins, str_QMarginsF, str_XObject;

    XTypeSet();
    XTypeSet(const XTypeSet&) = default;
    XTypeSet(XTypeSet&&) noexcept = default;
    XTypeSet& operator=(const XTypeSet&) = default;
    XTypeSet& operator=(XTypeSet&&) noexcept = default;
    virtual ~XTypeSet() = default;

    bool contains(const QString& name) const;  ///< in any of the three sets
    bool isTypeSimple(const QString& name) const { return m_sets[CAT_SIMPLE].contains(name); }
    bool isTypeTree(const QString& name) const { return m_sets[CAT_TREE].contains(name); }
    bool isTypeArray(const QString& name) const { return m_sets[CAT_ARRAY].contains(name); }
    static bool isTypeLink(const QString& name) { return name == str_XLink; }
    const QStringList& types(Category c) const { return m_sets[c]; }  ///< in registration order
    void showTypes(unsigned int indent) const;

    /// Registers a name in one set; false when the name is already known or the set is unknown.
    bool addType(const QString& name, unsigned int category) { return _addType(name, category); }

protected:
    bool _addType(const QString& name, unsigned int category);

private:
    QStringList m_sets[3];
};

class XTree;
class XTreeArray;
class XLink;
class XObject;
class Vector2;
class Vector3;
class Vector4;
class Matrix2;
class Matrix3;
class Matrix4;

template <typename T>
struct XTypeName;  ///< no general definition: only registered types have names

#define ZOR_XTYPE_NAME(TYPE, MEMBER) \
    template <>                      \
    struct XTypeName<TYPE> {         \
        static const QString& name() { return XTypeSet::MEMBER; } \
    };
ZOR_XTYPE_NAME(bool, str_bool)
ZOR_XTYPE_NAME(char, str_int8)
ZOR_XTYPE_NAME(signed char, str_int8)
ZOR_XTYPE_NAME(unsigned char, str_uint8)
ZOR_XTYPE_NAME(short, str_int16)
ZOR_XTYPE_NAME(unsigned short, str_uint16)
ZOR_XTYPE_NAME(int, str_int32)
ZOR_XTYPE_NAME(unsigned int, str_uint32)
ZOR_XTYPE_NAME(long long, str_int64)
ZOR_XTYPE_NAME(unsigned long long, str_uint64)
ZOR_XTYPE_NAME(float, str_float)
ZOR_XTYPE_NAME(double, str_double)
ZOR_XTYPE_NAME(Vector2, str_Vector2)
ZOR_XTYPE_NAME(Vector3, str_Vector3)
ZOR_XTYPE_NAME(Vector4, str_Vector4)
ZOR_XTYPE_NAME(Matrix2, str_Matrix2)
ZOR_XTYPE_NAME(Matrix3, str_Matrix3)
ZOR_XTYPE_NAME(Matrix4, str_Matrix4)
ZOR_XTYPE_NAME(QString, str_QString)
ZOR_XTYPE_NAME(QPoint, str_QPoint)
ZOR_XTYPE_NAME(QPointF, str_QPointF)
ZOR_XTYPE_NAME(QSize, str_QSize)
ZOR_XTYPE_NAME(QSizeF, str_QSizeF)
ZOR_XTYPE_NAME(QRect, str_QRect)
ZOR_XTYPE_NAME(QRectF, str_QRectF)
ZOR_XTYPE_NAME(QMargins, str_QMargins)
ZOR_XTYPE_NAME(QMarginsF, str_QMarginsF)
ZOR_XTYPE_NAME(XTree, str_XTree)
ZOR_XTYPE_NAME(XTreeArray, str_XTreeArray)
ZOR_XTYPE_NAME(XLink, str_XLink)
ZOR_XTYPE_NAME(XObject, str_XObject)
#undef ZOR_XTYPE_NAME

}  // namespace zor
