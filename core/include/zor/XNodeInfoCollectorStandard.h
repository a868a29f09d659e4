#pragma once
/// \zclass{XNodeInfoCollectorStandard,xml} The default display collector; its text is the node's
/// toStringForQTreeView() (empty before a node is set). collectorStandard is a shared instance for
/// callers that need a default; as it keeps the last node set, share it only within one thread.
///
/// Does not own the node.
#include <zor/XNodeInfoCollector.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XNodeInfoCollectorStandard : public XNodeInfoCollector {
public:
    static XNodeInfoCollectorStandard collectorStandard;

    QString toString() const override;
    void setNode(const XNode* node) override { m_node = node; }

private:
    const XNode* m_node = nullptr;
};

}  // namespace zor
