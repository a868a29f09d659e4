// The standard XML loader on arbitrary bytes: encoding detection, CDATA, references, quotes and
// DOCTYPE skipping. Besides memory safety and termination it checks that the escaping writer's
// text reads back to the same digest, for every tree whose names and values it can reproduce (no
// U+FFFF, which ends a text, no '$', which the loader replaces, and no '>' in a key). Inputs that
// name an INCLUDE are left out, so that no file is opened.
#include <zor/MD5.h>
#include <zor/XNode.h>
#include <zor/XNode_Parse_Control.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<zor::XNode> load(const QByteArray& bytes) {
    zor::XNode_Parse_Control ctl;
    ctl.listener.enable(false);
    ctl.standard = true;
    return std::unique_ptr<zor::XNode>(zor::XNode::parseQByteArray(bytes, nullptr, &ctl));
}

bool writable(zor::XNode& root) {
    bool clean = true;
    auto check = [&clean](const zor::XNode& n) {
        if (n.getText().contains(QChar(0xFFFF)) || n.getType().contains(QChar(0xFFFF))) clean = false;
        for (const auto& kv : n.getAttributes()) {
            if (kv.first.contains(QLatin1Char('>')) || kv.first.contains(QChar(0xFFFF)) ||
                kv.second.contains(QLatin1Char('$')) || kv.second.contains(QChar(0xFFFF)))
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

bool namesInclude(const QByteArray& bytes) {
    return bytes.contains("INCLUDE") || bytes.contains(QByteArray("I\0N\0C\0L\0U\0D\0E", 13));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (namesInclude(bytes)) return 0;
    std::unique_ptr<zor::XNode> root = load(bytes);
    if (!root) return 0;
    if (!writable(*root)) return 0;
    QByteArray written;
    zor::XNode::saveNodeToUtf8(*root, written, true);
    std::unique_ptr<zor::XNode> back = load(written);
    if (!back || back->getMD5(true) != root->getMD5(true)) std::abort();
    return 0;
}
