// Queries with arbitrary paths on a fixed tree, from the root and from a deep node, and
// getCreateNode on a small scratch tree. A node's own absolute query finds a node of its type at its
// depth (the first match of that path: an unnamed node's path also matches named siblings).
#include <zor/XNode.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

const zor::XNode& fixedTree() {
    static const zor::XNode* root = [] {
        zor::XNode* r = zor::XNode::parseString(
            QStringLiteral("<root name=\"r\"><a name=\"x\"><b/><b name=\"y\"><c name=\"z\"/></b></a><a name=\"w\"/><a/>"
                           "<d><e><f><g name=\"deep\"/></f></e></d></root>"),
            nullptr);
        if (r == nullptr) std::abort();
        return r;
    }();
    return *root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const zor::XNode& root = fixedTree();
    const zor::XNode* deep = root.query(QStringLiteral("d/e/f/g@deep"));
    if (deep == nullptr) std::abort();
    for (const zor::XNode* from : {&root, deep}) {
        const zor::XNode* found = from->query(path);
        if (found == nullptr) continue;
        const QString q = found->getQuery();
        const zor::XNode* again = root.query(q);
        if (again == nullptr || again->getType() != found->getType() || again->getDepth() != found->getDepth())
            std::abort();
        (void)found->isTypeName(path);
    }
    // The path split once at '@' as a type and a name for getCreateNode.
    std::unique_ptr<zor::XNode> scratch(zor::XNode::createRoot(QStringLiteral("s"), QString(), nullptr));
    scratch->createNode(QStringLiteral("t"), QStringLiteral("n"), nullptr);
    const int at = path.indexOf(QLatin1Char('@'));
    const QString type = at < 0 ? path : path.left(at);
    const QString name = at < 0 ? QString() : path.mid(at + 1);
    zor::XNode* n = scratch->getCreateNode(type, name, nullptr);
    if (n != nullptr && n->root() != scratch.get()) std::abort();
    return 0;
}
