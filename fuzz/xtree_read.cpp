// Reading a tree from arbitrary bytes, in the three forms a tree arrives in: the first input byte
// picks the plain device form, the compressed block or its base64 text. Besides memory safety it
// checks that a tree that was read writes a form that reads back to the very same bytes, and that
// its size and digest agree with those bytes.
#include <zor/XTree.h>

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<int>(size - 1));
    zor::XTree tree;
    bool ok = false;
    switch (data[0] % 3) {
        case 0: {
            QBuffer buf;
            buf.setData(bytes);
            buf.open(QIODevice::ReadOnly);
            ok = tree.readFromDevice(buf);
            break;
        }
        case 1: ok = tree.read_from_compressed_bytes(zor::XByteArray(bytes)); break;
        default:
            tree = zor::XTree::create_tree_from_base64(QString::fromLatin1(bytes));
            ok = !tree.isEmpty();
            break;
    }
    if (!ok) {
        if (!tree.isEmpty()) std::abort();  // a failed read leaves nothing behind
        return 0;
    }
    (void)tree.toStringExtended();
    if (tree.isEmpty()) return 0;
    const zor::XByteArray first = tree.createByteArray();
    if (static_cast<std::uint64_t>(first.size()) != tree.calc_mem_size()) std::abort();
    zor::XTree again;
    QBuffer buf;
    buf.setData(first);
    buf.open(QIODevice::ReadOnly);
    if (!again.readFromDevice(buf)) std::abort();
    if (again.createByteArray() != first) std::abort();
    if (again.calc_MD5Sum() != tree.calc_MD5Sum()) std::abort();
    return 0;
}
