#pragma once
/// \zclass{Scheme,xml} A view of one type description of an XGenericTypes schema: the description node (the
/// owner) and its "Child" and "Attr" nodes in document order. It owns nothing and is valid only while
/// the tree lives. A plain value (copyable, movable); not thread-safe.
#include <zor/zor_export.h>

#include <QString>
#include <vector>

namespace zor {

class XNode;
class Attr;
class Child;

class ZOR_EXPORT Scheme {
public:
    bool fromNode(const XNode* n);  ///< false (warning) for null
    bool isValid() const;           ///< an owner with at least one Child or Attr
    /// Sets every described attribute of n to its default (an empty text where none is given).
    void defaultiesToNode(XNode* n) const;
    QString pathIconSmall() const;
    QString pathIconBig() const;
    const XNode* owner() const { return m_owner; }
    const std::vector<const Child*>& childs() const { return m_children; }
    const std::vector<const Attr*>& attrs() const { return m_attrs; }
    void show(unsigned int indent) const;

private:
    const XNode* m_owner = nullptr;
    std::vector<const Child*> m_children;
    std::vector<const Attr*> m_attrs;
};

}  // namespace zor
