#pragma once
/// \zclass{Attr,xml} The schema node describing one attribute of an element type (a child of the type's
/// description in XGenericTypes): "name", "type" (value type; "userDefined" for a user-defined one),
/// "default", "get_min", "get_max", "combo", "label", "toolTip", "enabled" (true when missing),
/// "readOnly" (false when missing). Getters give an empty text for a missing key.
///
/// A node of the tree, owned by its parent; not thread-safe.
#include <zor/XNode.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT Attr : public XNode {
public:
    QString getName() const override { return XRecord::getName(); }
    QString getAttrType() const { return getString(QStringLiteral("type"), QString()); }
    QString getParentType() const { return parent() == nullptr ? QString() : parent()->getType(); }
    QString getDefault() const { return getString(QStringLiteral("default"), QString()); }
    bool hasDefault() const { return hasKey(QStringLiteral("default")); }
    void setDefault(const QString& s) { setString(QStringLiteral("default"), s); }
    QString getMin() const { return getString(QStringLiteral("get_min"), QString()); }
    bool hasMin() const { return hasKey(QStringLiteral("get_min")); }
    void setMin(const QString& s) { setString(QStringLiteral("get_min"), s); }
    QString getMax() const { return getString(QStringLiteral("get_max"), QString()); }
    bool hasMax() const { return hasKey(QStringLiteral("get_max")); }
    void setMax(const QString& s) { setString(QStringLiteral("get_max"), s); }
    QString getCombo() const { return getString(QStringLiteral("combo"), QString()); }
    bool hasCombo() const { return hasKey(QStringLiteral("combo")); }
    void setCombo(const QString& s) { setString(QStringLiteral("combo"), s); }
    QString label() const { return getString(QStringLiteral("label"), QString()); }
    void setLabel(const QString& s) { setString(QStringLiteral("label"), s); }
    QString toolTip() const { return getString(QStringLiteral("toolTip"), QString()); }
    void setToolTip(const QString& s) { setString(QStringLiteral("toolTip"), s); }
    using XRecord::isEnabled;
    bool isEnabled() const { return getBool(QStringLiteral("enabled"), true); }
    bool isReadOnly() const { return getBool(QStringLiteral("readOnly"), false); }
    void setReadOnly(bool on) { setBool(QStringLiteral("readOnly"), on); }
    bool isUserDefined() const { return isString(QStringLiteral("type"), QStringLiteral("userDefined")); }
    QString realTypeAsString() const override { return QStringLiteral("Attr"); }
};

}  // namespace zor
