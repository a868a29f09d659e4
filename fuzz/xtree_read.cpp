// Reading a tree from arbitrary bytes, in the three forms a tree arrives in: the first input byte
// picks the plain device form, the compressed block or its base64 text. Besides memory safety it
// checks that whatever was read - a whole tree, or what a damaged one kept - writes forms that read
// back (whole again when the first read was whole), that the written bytes settle after one round,
// and that size and digest agree with them.
#include <zor/XTree.h>

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, static_cast<int>(size - 1));
    zor::XTree tree;
    bool ok = false;  // read whole (for base64, whose reader gives no result, never claimed)
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
            break;
    }
    (void)tree.toStringExtended();
    if (tree.isEmpty()) return 0;
    // Writing and reading again must settle: the second writing is the fixed point. (The first
    // may differ where a path is ambiguous, such as a link to a tree under an empty key, whose
    // path "/" names the root when read again.) Entries a damaged read left empty are written
    // as records without payload, which read back as empty again.
    zor::XTree second;
    const bool secondOk = second.read_from_compressed_bytes(tree.write_to_compressed_bytes());
    if (ok && !secondOk) std::abort();
    if (second.size() != tree.size()) std::abort();
    const zor::XByteArray bytes = second.createByteArray();
    if (static_cast<std::uint64_t>(bytes.size()) != second.calc_mem_size()) std::abort();
    zor::XTree third;
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    if (third.readFromDevice(buf) != secondOk) std::abort();
    if (third.createByteArray() != bytes) std::abort();
    if (third.calc_MD5Sum() != second.calc_MD5Sum()) std::abort();
    return 0;
}
