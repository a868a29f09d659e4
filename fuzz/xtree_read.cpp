// Reading a tree from arbitrary bytes, in the three forms a tree arrives in: the first input byte
// picks the plain device form, the compressed block or its base64 text. Besides memory safety it
// checks that a tree that was read writes forms that read back (compressed and plain), that the
// written bytes settle after one round, and that size and digest agree with them.
#include <zor/XTree.h>

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, static_cast<int>(size - 1));
    zor::XTree tree;
    bool ok = false;
    switch (data[0] % 3) {
        case 0: {
            QBuffer buf;
            buf.setData(input);
            buf.open(QIODevice::ReadOnly);
            ok = tree.readFromDevice(buf);
            break;
        }
        case 1: ok = tree.read_from_compressed_bytes(zor::XByteArray(input)); break;
        default:
            tree = zor::XTree::create_tree_from_base64(QString::fromLatin1(input));
            ok = !tree.isEmpty();
            break;
    }
    if (!ok) {
        if (!tree.isEmpty()) std::abort();  // a failed read leaves nothing behind
        return 0;
    }
    (void)tree.toStringExtended();
    if (tree.isEmpty()) return 0;
    // Writing and reading again must settle: the second writing is the fixed point. (The first
    // may differ where a path is ambiguous, such as a link to a tree under an empty key, whose
    // path "/" names the root when read again.)
    zor::XTree second;
    if (!second.read_from_compressed_bytes(tree.write_to_compressed_bytes())) std::abort();
    const zor::XByteArray bytes = second.createByteArray();
    if (static_cast<std::uint64_t>(bytes.size()) != second.calc_mem_size()) std::abort();
    zor::XTree third;
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    if (!third.readFromDevice(buf)) std::abort();
    if (third.createByteArray() != bytes) std::abort();
    if (third.calc_MD5Sum() != second.calc_MD5Sum()) std::abort();
    return 0;
}
