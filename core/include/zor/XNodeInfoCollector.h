#pragma once
/// \zclass{XNodeInfoCollector,xml} The interface of a helper that turns one node into a display text (for tree
/// views and listings). setNode hands it the node, toString gives the text.
///
/// Does not own the node. Not thread-safe.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class XNode;

class ZOR_EXPORT XNodeInfoCollector {
public:
    virtual ~XNodeInfoCollector();
    virtual void collectXNodeContents() {}
    virtual QString toString() const = 0;
    virtual void setNode(const XNode* node) = 0;
};

}  // namespace zor
