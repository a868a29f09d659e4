// The tree builder on arbitrary bytes, includes off (nothing is opened). Besides memory safety and
// termination it checks the round trip: a tree whose values and texts the writer can reproduce
// (no quote, '>' or '$' in a value, no '<' in a text) is written and read back to the same digest,
// and a copy has the digest of its original (unless some node has an empty "name", which copies
// leave out).
#include <zor/MD5.h>
#include <zor/XNode.h>
#include <zor/XNode_Parse_Control.h>
#include <zor/ZorSaxParser.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<zor::XNode> build(const QString& text) {
    zor::ZorSaxParser parser;
    parser.setIncludes(false);
    parser.setFile(QStringLiteral(":MEMORY"));
    parser.setString(text);
    zor::XNode_Parse_Control ctl;
    ctl.listener.enable(false);
    const bool ok = parser.parse(ctl);
    std::unique_ptr<zor::XNode> root(parser.takeRoot());
    if (!ok) root.reset();
    return root;
}

bool anyEmptyName(zor::XNode& root) {
    bool found = root.isString(QStringLiteral("name"), QString());
    root.iterateTree([&found](zor::XNode* n, unsigned int) {
        found = found || n->isString(QStringLiteral("name"), QString());
        return !found;
    });
    return found;
}

bool writable(zor::XNode& root) {
    bool clean = true;
    auto check = [&clean](const zor::XNode& n) {
        if (n.getText().contains(QLatin1Char('<')) || n.getText().contains(QChar(0xFFFF))) clean = false;
        for (const auto& kv : n.getAttributes()) {
            for (const QChar c : kv.first + kv.second)
                if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('>') || c == QLatin1Char('$') ||
                    c == QChar(0xFFFF))
                    clean = false;
        }
    };
    check(root);
    root.iterateTree([&](zor::XNode* n, unsigned int) {
        check(*n);
        return clean;
    });
    return clean;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    std::unique_ptr<zor::XNode> root = build(text);
    if (!root) return 0;
    const zor::MD5 digest = root->getMD5(true);
    std::unique_ptr<zor::XNode> copy(root->deepCopy(nullptr));
    if (!anyEmptyName(*root) && copy->getMD5(true) != digest) std::abort();
    if (copy->sizeRecursive(true) != root->sizeRecursive(true)) std::abort();
    (void)root->checkDuplicateNames();
    (void)root->toStringForQTreeView();
    const QString written = root->allAsString(0);
    if (writable(*root)) {
        std::unique_ptr<zor::XNode> back = build(written);
        if (!back || back->getMD5(true) != digest) std::abort();
    }
    return 0;
}
