#pragma once
// The pieces the parts of XDataStream (XDataStream.cpp, XDataStream_primitives.cpp,
// XDataStream_write.cpp, XDataStream_read.cpp) share: the format's constants and small helpers,
// a level of a walk and the cache of keys read. Internal to the xtree folder.
#include <zor/XDataStream.h>
#include <zor/XTree.h>
#include <zor/XTreeArray.h>
#include <zor/XTypeSet.h>

#include <QString>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zor {
namespace stream_detail {

constexpr std::uint64_t kChunk = std::uint64_t(1) << 20;  // big data moves in pieces of 1 MiB
constexpr std::uint64_t kMinEntryBytes = 8 + 1 + 1;        // key length, category, type length
constexpr std::uint64_t kMinTreeBytes = 4;                 // an empty body: its count
constexpr int kStreamVersion = 17;

// A short string is read into this buffer: type names are short, and most keys are too.
constexpr int kLocalString = 256;

// The place of a registered simple type's name among the library's simple types (1-26, the codes
// value slots note for their C++ types), 0 for other names.
inline std::uint8_t simpleCodeOfName(const QString& name) {
    static const QString* const names[] = {
        &XTypeSet::str_bool,      &XTypeSet::str_int8,    &XTypeSet::str_uint8,   &XTypeSet::str_int16,
        &XTypeSet::str_uint16,    &XTypeSet::str_int32,   &XTypeSet::str_uint32,  &XTypeSet::str_int64,
        &XTypeSet::str_uint64,    &XTypeSet::str_float,   &XTypeSet::str_double,  &XTypeSet::str_Vector2,
        &XTypeSet::str_Vector3,   &XTypeSet::str_Vector4, &XTypeSet::str_Matrix2, &XTypeSet::str_Matrix3,
        &XTypeSet::str_Matrix4,   &XTypeSet::str_QPoint,  &XTypeSet::str_QPointF, &XTypeSet::str_QRect,
        &XTypeSet::str_QRectF,    &XTypeSet::str_QSize,   &XTypeSet::str_QSizeF,  &XTypeSet::str_QMargins,
        &XTypeSet::str_QMarginsF, &XTypeSet::str_QString};
    for (std::size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        if (*names[i] == name) return static_cast<std::uint8_t>(i + 1);
    return 0;
}

// Short byte strings compared without a library call.
inline bool sameBytes(const char* a, const char* b, int n) {
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t x = 0, y = 0;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y) return false;
    }
    for (int i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// UTF-8 up to the first zero byte. Plain ASCII, nearly every key and most texts, is widened as
// Latin-1, which gives the same characters.
inline QString decodeUtf8(const char* p, std::int64_t n) {
    std::int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, p + i, 8);
        const std::uint64_t zeroByte = (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
        if (((w & 0x8080808080808080ull) | zeroByte) != 0) break;
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == 0 || c >= 0x80) break;
    }
    if (i == n) return QString::fromLatin1(p, static_cast<int>(n));
    const void* zero = std::memchr(p, 0, static_cast<std::size_t>(n));
    if (zero != nullptr) n = static_cast<const char*>(zero) - p;
    return QString::fromUtf8(p, static_cast<int>(n));
}

}  // namespace stream_detail

// One level of a walk: a tree whose entries are being written or read, or an array of trees
// whose elements are.
struct XDataStream::WalkFrame {
    const XTree* wtree = nullptr;  // writing
    XTree::Map::const_iterator it, end;
    const XTreeArray* warray = nullptr;
    XTree* rtree = nullptr;  // reading
    std::int64_t left = 0;
    XTreeArray* rarray = nullptr;
    XTree* elements = nullptr;
    std::uint64_t count = 0;
    std::uint64_t index = 0;
    bool cut = false;  // its count was cut to the bytes left: nothing after it can be read
};

// Keys read so far, by their bytes: a document repeats its keys (every record of a list has the
// same ones), and a key met again shares the string decoded the first time. Short keys only, and
// a bounded number of them.
class XDataStream::KeyCache {
public:
    static constexpr int kMaxKey = 32;

    QString get(const char* p, int n) {
        if (n > kMaxKey) return stream_detail::decodeUtf8(p, n);
        // Records of a list repeat the key sequence of the one before: try the key that followed
        // the last one the previous time before searching.
        if (m_last >= 0) {
            const int next = m_slots[static_cast<std::size_t>(m_last)].next;
            if (next >= 0) {
                const Slot& s = m_slots[static_cast<std::size_t>(next)];
                if (s.len == n && stream_detail::sameBytes(s.bytes, p, n)) {
                    m_last = next;
                    return s.key;
                }
            }
        }
        std::uint32_t h = 2166136261u;  // FNV-1a
        for (int i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * 16777619u;
        if (m_slots.empty()) m_slots.resize(256);
        std::size_t mask = m_slots.size() - 1;
        std::size_t i = h & mask;
        for (;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.len < 0) break;
            if (s.hash == h && s.len == n && stream_detail::sameBytes(s.bytes, p, n)) return follow(static_cast<int>(i));
        }
        QString key = stream_detail::decodeUtf8(p, n);
        if (m_used >= kMaxKeys) return key;
        if (2 * (m_used + 1) > m_slots.size()) {
            grow();
            mask = m_slots.size() - 1;
            for (i = h & mask; m_slots[i].len >= 0;) i = (i + 1) & mask;
        }
        Slot& s = m_slots[i];
        s.hash = h;
        s.len = n;
        std::memcpy(s.bytes, p, static_cast<std::size_t>(n));
        s.key = key;
        ++m_used;
        follow(static_cast<int>(i));
        return key;
    }

private:
    static constexpr std::size_t kMaxKeys = 4096;
    struct Slot {
        std::uint32_t hash = 0;
        int len = -1;   // -1: empty
        int next = -1;  // the slot of the key that followed this one last time
        char bytes[kMaxKey];
        QString key;
    };

    const QString& follow(int i) {
        if (m_last >= 0) m_slots[static_cast<std::size_t>(m_last)].next = i;
        m_last = i;
        return m_slots[static_cast<std::size_t>(i)].key;
    }
    void grow() {  // the successors start anew
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (Slot& s : old) {
            if (s.len < 0) continue;
            std::size_t i = s.hash & mask;
            while (m_slots[i].len >= 0) i = (i + 1) & mask;
            s.next = -1;
            m_slots[i] = std::move(s);
        }
        m_last = -1;
    }

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
    int m_last = -1;  // the slot of the last key
};

}  // namespace zor
