#include <zor/XNode.h>
#include <zor/XNodeInfoCollectorStandard.h>

namespace zor {

XNodeInfoCollectorStandard XNodeInfoCollectorStandard::collectorStandard;

QString XNodeInfoCollectorStandard::toString() const {
    return m_node == nullptr ? QString() : m_node->toStringForQTreeView();
}

}  // namespace zor
