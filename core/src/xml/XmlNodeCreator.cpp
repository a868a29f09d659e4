#include <zor/Logger.h>
#include <zor/XNode.h>
#include <zor/XmlNodeCreator.h>

namespace zor {

XmlNodeCreator::~XmlNodeCreator() = default;

XNode* XmlNodeCreator::create(const QString& type) const {
    auto* n = new XNode();
    n->setType(type);
    return n;
}

void XmlNodeCreator::show(unsigned int indent) const { logDebugSpace(indent, "$", toString()); }

}  // namespace zor
