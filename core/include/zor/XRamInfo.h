#pragma once
/// \zclass{XRamInfo,mem} The size, MD5 digest and writing time of a stream of bytes, as measured by an
/// XNullDevice. Valid when at least one byte was measured. A plain value.
#include <zor/MD5.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

class XTree;
class XTypeSupporter;

class ZOR_EXPORT XRamInfo {
public:
    XRamInfo() = default;
    XRamInfo(const MD5& md5, long long bytes, long long microseconds)
        : md5(md5), bytes(bytes), microseconds(microseconds) {}

    /// The info of sz bytes at p, measured through an XNullDevice with MD5.
    static XRamInfo ramInfoFromRawMemory(const void* p, std::size_t sz);
    /// The info of a tree's binary form (class name and body), written into an XNullDevice; the
    /// MD5 only when withMD5 is set. Defined with the tree code (src/xtree), which owns the format.
    static XRamInfo ramInfoFromTree(const XTree& tree, const XTypeSupporter& ts, bool withMD5);

    explicit operator bool() const { return bytes > 0; }
    bool isValid() const { return bytes > 0; }

    /// Equal sizes, and equal digests; an all-zero digest only equals an all-zero digest.
    bool operator==(const XRamInfo& other) const;
    bool operator!=(const XRamInfo& other) const { return !(*this == other); }

    /// "size:1.234, md5-sum:<32 digits>" or "size:1.234 bytes"; withTime appends
    /// ", delta t:<seconds> sec, <rate> times / sec".
    QString toString(bool withTime) const;

    MD5 md5;
    long long bytes = 0;
    long long microseconds = 0;
};

}  // namespace zor
