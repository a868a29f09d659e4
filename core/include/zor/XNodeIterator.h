#pragma once
/// \zclass{XNodeIterator,xml} Walks the children of one node by index. Dereferencing gives nodeAt(index) (null
/// past the end); two iterators differ when their indices differ, the nodes are not compared.
/// \code
///   for (XNodeIterator it(parent, 0), end(parent, parent->size()); it != end; ++it) use(*it);
/// \endcode
/// Does not own the node; valid while the node lives. A plain value.
#include <zor/zor_export.h>

namespace zor {

class XNode;

class ZOR_EXPORT XNodeIterator {
public:
    XNodeIterator(XNode* node, int index) : m_index(index), m_node(node) {}
    XNode* operator*() const;
    XNodeIterator& operator++() {
        ++m_index;
        return *this;
    }
    bool operator!=(const XNodeIterator& other) const { return m_index != other.m_index; }
    bool operator==(const XNodeIterator& other) const { return m_index == other.m_index; }
    int index() const { return m_index; }

private:
    int m_index;
    XNode* m_node;
};

}  // namespace zor
