#include <zor/Logger.h>
#include <zor/XTypeSet.h>

namespace zor {

const QString XTypeSet::str_bool = QStringLiteral("bool");
const QString XTypeSet::str_int8 = QStringLiteral("int8");
const QString XTypeSet::str_uint8 = QStringLiteral("uint8");
const QString XTypeSet::str_int16 = QStringLiteral("int16");
const QString XTypeSet::str_uint16 = QStringLiteral("uint16");
const QString XTypeSet::str_int32 = QStringLiteral("int32");
const QString XTypeSet::str_uint32 = QStringLiteral("uint32");
const QString XTypeSet::str_int64 = QStringLiteral("int64");
const QString XTypeSet::str_uint64 = QStringLiteral("uint64");
const QString XTypeSet::str_float = QStringLiteral("float");
const QString XTypeSet::str_double = QStringLiteral("double");
const QString XTypeSet::str_Vector2 = QStringLiteral("Vector2");
const QString XTypeSet::str_Vector3 = QStringLiteral("Vector3");
const QString XTypeSet::str_Vector4 = QStringLiteral("Vector4");
const QString XTypeSet::str_Matrix2 = QStringLiteral("Matrix2");
const QString XTypeSet::str_Matrix3 = QStringLiteral("Matrix3");
const QString XTypeSet::str_Matrix4 = QStringLiteral("Matrix4");
const QString XTypeSet::str_QString = QStringLiteral("QString");
const QString XTypeSet::str_XTree = QStringLiteral("XTree");
const QString XTypeSet::str_XTreeArray = QStringLiteral("XTreeArray");
const QString XTypeSet::str_XLink = QStringLiteral("XLink");
const QString XTypeSet::str_QPoint = QStringLiteral("QPoint");
const QString XTypeSet::str_QPointF = QStringLiteral("QPointF");
const QString XTypeSet::str_QSize = QStringLiteral("QSize");
const QString XTypeSet::str_QSizeF = QStringLiteral("QSizeF");
const QString XTypeSet::str_QRect = QStringLiteral("QRect");
const QString XTypeSet::str_QRectF = QStringLiteral("QRectF");
const QString XTypeSet::str_QMargins = QStringLiteral("QMargins");
const QString XTypeSet::str_QMarginsF = QStringLiteral("QMarginsF");
const QString XTypeSet::str_XObject = QStringLiteral("XObject");

XTypeSet::XTypeSet() {
    for (const QString* name :
         {&str_bool, &str_int8, &str_uint8, &str_int16, &str_uint16, &str_int32, &str_uint32, &str_int64, &str_uint64,
          &str_float, &str_double, &str_Vector2, &str_Vector3, &str_Vector4, &str_Matrix2, &str_Matrix3, &str_Matrix4,
          &str_QPoint, &str_QPointF, &str_QRect, &str_QRectF, &str_QSize, &str_QSizeF, &str_QMargins, &str_QMarginsF,
          &str_QString})
        _addType(*name, CAT_SIMPLE);
    _addType(str_XTree, CAT_TREE);
    _addType(str_XTreeArray, CAT_ARRAY);
}

bool XTypeSet::contains(const QString& name) const {
    return m_sets[CAT_SIMPLE].contains(name) || m_sets[CAT_TREE].contains(name) || m_sets[CAT_ARRAY].contains(name);
}

bool XTypeSet::_addType(const QString& name, unsigned int category) {
    if (category > CAT_ARRAY || name.isEmpty() || contains(name)) return false;
    m_sets[category].append(name);
    return true;
}

void XTypeSet::showTypes(unsigned int indent) const {
    static const char* const kFormats[3] = {"SIMPLE $ types", "TREE $ types", "ARRAY $ types"};
    for (unsigned int c = 0; c < 3; ++c) {
        detail::logAt(INFO, indent, kFormats[c], m_sets[c].size());
        detail::logAt(INFO, indent + 2, "$", m_sets[c].join(QStringLiteral(", ")));
    }
}

}  // namespace zor
