#include <zor/XNode.h>
#include <zor/XNodeIterator.h>

namespace zor {

XNode* XNodeIterator::operator*() const {
    return m_node == nullptr ? nullptr : m_node->nodeAt(static_cast<unsigned int>(m_index));
}

}  // namespace zor
