#include <zor/XDataStream.h>

#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/XTree.h>

#include "DataStreamParts.h"

#include <QtEndian>
#include <cstring>

namespace zor {

using namespace stream_detail;

// ---- writing values and trees

// The category byte of a record: the category its type is written as, where that is fixed (a
// simple value, a link), else the slot's own. A slot whose category label was changed to another
// is then still written as a record that reads back. link says whether the type is "XLink"; a
// simple value, nearly every one, needs no table search.
inline quint8 XDataStream::writtenCategory(const XVal& slot, bool link) {
    XCategory c = slot.getCategory();
    if (link)
        c = XCategory::LINK;
    else if (c != XCategory::SIMPLE && XTypeSupporter::valueWriters().contains(slot.getType()))
        c = XCategory::SIMPLE;
    return static_cast<quint8>(c);
}

void XDataStream::writeRecordHead(const XVal& slot) {
    *this << writtenCategory(slot, XTypeSet::isTypeLink(slot.getType()));
    write_short_UTF8_String(slot.getType());
}

namespace {

// Appends the UTF-8 form of s when it is plain ASCII; false (nothing usable) otherwise.
bool putAscii(char*& out, const char* end, const QString& s) {
    const QChar* c = s.constData();
    const int n = s.size();
    if (end - out < n) return false;
    for (int i = 0; i < n; ++i) {
        const ushort u = c[i].unicode();
        if (u >= 0x80) return false;
        out[i] = static_cast<char>(u);
    }
    out += n;
    return true;
}

void putBigEndian(char*& out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) *out++ = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

// The key (long string) and the record head (category, short type name) of one entry, in one
// write to the device when both are short ASCII texts, as keys and type names nearly always are.
void XDataStream::writeEntryHead(const QString& key, const XVal& slot) {
    char buf[8 + 256 + 2 + 254];
    char* out = buf;
    const char* end = buf + sizeof buf;
    out += 8;
    const bool keyAscii = key.size() <= 256 && putAscii(out, end, key);
    if (keyAscii) {
        char* lenAt = buf;
        putBigEndian(lenAt, static_cast<std::uint64_t>(key.size()), 8);
        char* category = out++;
        char* typeLen = out++;
        const char* type = out;
        if (slot.getType().size() <= 254 && putAscii(out, end, slot.getType())) {
            *typeLen = static_cast<char>(slot.getType().size());
            *category = static_cast<char>(writtenCategory(slot, out - type == 5 && std::memcmp(type, "XLink", 5) == 0));
            const int n = static_cast<int>(out - buf);
            if (putBytes(buf, n) != n && status() == QDataStream::Ok) writeFailed();
            return;
        }
    }
    write_UTF8_String(key);
    writeRecordHead(slot);
}

// The type name of a record: the registered names are recognised in place, without decoding,
// together with the value reader of the simple ones (null for the others) and the category a record
// of the type carries (false for a name that is not the library's own).
QString XDataStream::readTypeName(const XTypeSupporter::ValueReader** reader, XCategory* category, bool* own,
                                  std::uint8_t* simple) {
    *reader = nullptr;
    *own = false;
    *simple = 0;
    quint8 n = 0;
    const char* name = nullptr;
    char local[256];
    if (m_end - m_cur >= 1 && m_end - m_cur > static_cast<unsigned char>(*m_cur)) {
        n = static_cast<quint8>(*m_cur);  // the name is at hand: compared where it is
        name = m_cur + 1;
        m_cur += 1 + n;
        if (n == 0) return QString();
    } else {
        *this >> n;
        if (!checkReadStatus() || n == 0) return QString();
        if (getBytes(local, n) != n) {
            checkReadStatus();
            return QString();
        }
        name = local;
    }
    struct Known {
        QByteArray utf8;
        QString name;
        const XTypeSupporter::ValueReader* reader;
        XCategory category;
        std::uint8_t simple;
    };
    struct Table {
        std::vector<Known> known;
        std::vector<std::size_t> byLength[256];  // the names of each length
    };
    static const Table table = [] {
        Table t;
        const XTypeSet set;
        const XCategory categories[3] = {XCategory::SIMPLE, XCategory::TREE, XCategory::ARRAY};
        for (unsigned int c = 0; c < 3; ++c)
            for (const QString& name : set.types(static_cast<XTypeSet::Category>(c)))
                t.known.push_back({name.toUtf8(), name, XTypeSupporter::valueReaders().find(name), categories[c],
                                   simpleCodeOfName(name)});
        t.known.push_back({XTypeSet::str_XLink.toUtf8(), XTypeSet::str_XLink, nullptr, XCategory::LINK, 0});
        for (std::size_t i = 0; i < t.known.size(); ++i)
            if (t.known[i].utf8.size() < 256) t.byLength[t.known[i].utf8.size()].push_back(i);
        return t;
    }();
    const std::vector<Known>& known = table.known;
    // Records of one type often follow each other: try the last match first.
    auto take = [&](std::size_t i) {
        const Known& k = known[i];
        m_lastType = i;
        *reader = k.reader;
        *category = k.category;
        *own = true;
        *simple = k.simple;
        return k.name;
    };
    auto matches = [name, n](const Known& k) { return k.utf8.size() == n && sameBytes(k.utf8.constData(), name, n); };
    if (m_lastType < known.size() && matches(known[m_lastType])) return take(m_lastType);
    for (std::size_t i : table.byLength[n])
        if (matches(known[i])) return take(i);
    return decodeUtf8(name, n);
}

// A value of the library's simple types, decoded where it lies; false (nothing read) when its
// bytes are not all at hand, so that the table's reader reads it and reports where it ends.
bool XDataStream::readSimple(XVal& slot, std::uint8_t simple) {
    const char* p = m_cur;
    const std::ptrdiff_t left = m_end - m_cur;
    auto u = [p](int at, int bytes) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(p[at + i]);
        return v;
    };
    auto i32 = [&u](int at) { return static_cast<qint32>(static_cast<quint32>(u(at, 4))); };
    auto f64 = [&u](int at) {
        const std::uint64_t bits = u(at, 8);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    };
    auto floats = [&](auto* v, int n) {  // the maths types: floats, each written as a double
        float f[16];
        for (int i = 0; i < n; ++i) f[i] = static_cast<float>(f64(8 * i));
        std::memcpy(static_cast<void*>(v), f, sizeof(float) * static_cast<std::size_t>(n));
    };
    // The bytes of each type's value (of a string, its length).
    static constexpr int kBytes[27] = {0,  1,  1,  1,   2, 2,  4,  4,  8, 8,  8,  8,  16, 24,
                                       32, 32, 72, 128, 8, 16, 16, 32, 8, 16, 16, 32, 8};
    if (simple == 0 || simple > 26 || left < kBytes[simple]) return false;
    int used = kBytes[simple];
    switch (simple) {
        case 1:
            *slot.emplaceLocal<bool>(XTypeSet::str_bool) = p[0] != 0;
            break;
        case 2:
            *slot.emplaceLocal<char>(XTypeSet::str_int8) = p[0];
            break;
        case 3:
            *slot.emplaceLocal<quint8>(XTypeSet::str_uint8) = static_cast<quint8>(p[0]);
            break;
        case 4:
            *slot.emplaceLocal<qint16>(XTypeSet::str_int16) = static_cast<qint16>(u(0, 2));
            break;
        case 5:
            *slot.emplaceLocal<quint16>(XTypeSet::str_uint16) = static_cast<quint16>(u(0, 2));
            break;
        case 6:
            *slot.emplaceLocal<qint32>(XTypeSet::str_int32) = i32(0);
            break;
        case 7:
            *slot.emplaceLocal<quint32>(XTypeSet::str_uint32) = static_cast<quint32>(u(0, 4));
            break;
        case 8:
            *slot.emplaceLocal<qint64>(XTypeSet::str_int64) = static_cast<qint64>(u(0, 8));
            break;
        case 9:
            *slot.emplaceLocal<quint64>(XTypeSet::str_uint64) = u(0, 8);
            break;
        case 10:
            *slot.emplaceLocal<float>(XTypeSet::str_float) = static_cast<float>(f64(0));
            break;
        case 11:
            *slot.emplaceLocal<double>(XTypeSet::str_double) = f64(0);
            break;
        case 12:
            floats(slot.emplaceLocal<Vector2>(XTypeSet::str_Vector2), 2);
            break;
        case 13:
            floats(slot.emplaceLocal<Vector3>(XTypeSet::str_Vector3), 3);
            break;
        case 14:
            floats(slot.emplaceLocal<Vector4>(XTypeSet::str_Vector4), 4);
            break;
        case 15:
            floats(slot.emplaceLocal<Matrix2>(XTypeSet::str_Matrix2), 4);
            break;
        case 16: {
            Matrix3 m;
            floats(&m, 9);
            slot.setValMove(std::move(m));
            break;
        }
        case 17: {
            Matrix4 m;
            floats(&m, 16);
            slot.setValMove(std::move(m));
            break;
        }
        case 18:
            *slot.emplaceLocal<QPoint>(XTypeSet::str_QPoint) = QPoint(i32(0), i32(4));
            break;
        case 19:
            *slot.emplaceLocal<QPointF>(XTypeSet::str_QPointF) = QPointF(f64(0), f64(8));
            break;
        case 20:
            *slot.emplaceLocal<QRect>(XTypeSet::str_QRect) = QRect(QPoint(i32(0), i32(4)), QPoint(i32(8), i32(12)));
            break;
        case 21:
            slot.setValMove(QRectF(f64(0), f64(8), f64(16), f64(24)));
            break;
        case 22:
            *slot.emplaceLocal<QSize>(XTypeSet::str_QSize) = QSize(i32(0), i32(4));
            break;
        case 23:
            *slot.emplaceLocal<QSizeF>(XTypeSet::str_QSizeF) = QSizeF(f64(0), f64(8));
            break;
        case 24:
            *slot.emplaceLocal<QMargins>(XTypeSet::str_QMargins) = QMargins(i32(0), i32(4), i32(8), i32(12));
            break;
        case 25:
            slot.setValMove(QMarginsF(f64(0), f64(8), f64(16), f64(24)));
            break;
        default: {  // 26: a QString
            const std::uint64_t n = u(0, 8);
            if (n > 0x7FFFFFFF || static_cast<std::int64_t>(n) > left - 8) return false;
            QString* str = slot.emplaceLocal<QString>(XTypeSet::str_QString);
            if (n > 0) *str = decodeUtf8(p + 8, static_cast<std::int64_t>(n));
            used = 8 + static_cast<int>(n);
            break;
        }
    }
    m_cur += used;
    return true;
}

// A key: decoded once per document when short and at hand, else as a long string.
QString XDataStream::readKey() {
    if (m_end - m_cur >= 8) {
        std::uint64_t n = 0;
        for (int i = 0; i < 8; ++i) n = (n << 8) | static_cast<unsigned char>(m_cur[i]);
        if (n <= static_cast<std::uint64_t>(KeyCache::kMaxKey) && static_cast<std::uint64_t>(m_end - m_cur - 8) >= n) {
            const char* p = m_cur + 8;
            m_cur += 8 + n;
            if (n == 0) return QString();
            if (m_keys == nullptr) m_keys = new KeyCache();
            return m_keys->get(p, static_cast<int>(n));
        }
    }
    return readString();
}

namespace {

// The record head of each of the library's simple types after the key: the category SIMPLE, the
// name's length and the name.
struct SimpleHead {
    char bytes[16];
    int size;
};

const SimpleHead* simpleHeads() {
    static const std::vector<SimpleHead> heads = [] {
        std::vector<SimpleHead> h(27);
        const XTypeSet set;
        for (const QString& name : set.types(XTypeSet::CAT_SIMPLE)) {
            const std::uint8_t code = simpleCodeOfName(name);
            const QByteArray utf8 = name.toUtf8();
            SimpleHead& head = h[code];
            head.bytes[0] = static_cast<char>(XCategory::SIMPLE);
            head.bytes[1] = static_cast<char>(utf8.size());
            std::memcpy(head.bytes + 2, utf8.constData(), static_cast<std::size_t>(utf8.size()));
            head.size = 2 + utf8.size();
        }
        return h;
    }();
    return heads.data();
}

inline char* putBig(char* out, std::uint64_t v, int bytes) {
    const quint64 be = qToBigEndian(static_cast<quint64>(v << (8 * (8 - bytes))));  // the value's bytes first
    std::memcpy(out, &be, 8);  // the buffer always has room for 8; only `bytes` of them count
    return out + bytes;
}

// Plain ASCII text as its bytes, four characters at a time; false at the first other character
// (what was copied before it is left behind).
inline bool putAsciiChars(char* out, const QChar* c, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint64_t w = 0;
        std::memcpy(&w, c + i, 8);
        if ((w & 0xFF80FF80FF80FF80ull) != 0) return false;
        out[i] = static_cast<char>(w);
        out[i + 1] = static_cast<char>(w >> 16);
        out[i + 2] = static_cast<char>(w >> 32);
        out[i + 3] = static_cast<char>(w >> 48);
    }
    for (; i < n; ++i) {
        const ushort u = c[i].unicode();
        if (u >= 0x80) return false;
        out[i] = static_cast<char>(u);
    }
    return true;
}

inline char* putDouble(char* out, double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return putBig(out, bits, 8);
}

inline char* putFloats(char* out, const void* v, int n) {  // the maths types: each float as a double
    float f[16];
    std::memcpy(f, v, sizeof(float) * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out = putDouble(out, static_cast<double>(f[i]));
    return out;
}

}  // namespace

// One entry holding a value of the library's simple types under its own name, written straight
// into the buffer: the key (when it is plain ASCII), the head and the value. False, with nothing
// written, for every other entry.
bool XDataStream::writeSimpleEntry(const QString& key, const XVal& slot) {
    const XVal::Kind* kind = slot.simpleKind();
    if (kind == nullptr || (slot.m_type.constData() != kind->name->constData() && slot.m_type != *kind->name))
        return false;
    const int n = key.size();
    constexpr int kLargestValue = 128;  // a Matrix4, or a short string
    if (n > 1024) return false;
    char* out = reserveOut(8 + n + 16 + 8 + kLargestValue);
    if (out == nullptr) return false;
    char* p = out + 8;
    if (!putAsciiChars(p, key.constData(), n)) return false;
    putBig(out, static_cast<std::uint64_t>(n), 8);
    p += n;
    const SimpleHead& head = simpleHeads()[kind->simple];
    std::memcpy(p, head.bytes, 16);
    p += head.size;
    const void* v = slot.value();
    auto num = [v](auto type) {
        decltype(type) x;
        std::memcpy(&x, v, sizeof x);
        return x;
    };
    switch (kind->simple) {
        case 1:
            *p++ = num(bool()) ? 1 : 0;
            break;
        case 2:
        case 3:
            *p++ = num(char());
            break;
        case 4:
        case 5:
            p = putBig(p, num(quint16()), 2);
            break;
        case 6:
        case 7:
            p = putBig(p, num(quint32()), 4);
            break;
        case 8:
        case 9:
            p = putBig(p, num(quint64()), 8);
            break;
        case 10:
            p = putDouble(p, static_cast<double>(num(float())));
            break;
        case 11:
            p = putDouble(p, num(double()));
            break;
        case 12:
            p = putFloats(p, v, 2);
            break;
        case 13:
            p = putFloats(p, v, 3);
            break;
        case 14:
            p = putFloats(p, v, 4);
            break;
        case 15:
            p = putFloats(p, v, 4);
            break;
        case 16:
            p = putFloats(p, v, 9);
            break;
        case 17:
            p = putFloats(p, v, 16);
            break;
        case 18: {
            const auto& q = *static_cast<const QPoint*>(v);
            p = putBig(putBig(p, static_cast<quint32>(q.x()), 4), static_cast<quint32>(q.y()), 4);
            break;
        }
        case 19: {
            const auto& q = *static_cast<const QPointF*>(v);
            p = putDouble(putDouble(p, q.x()), q.y());
            break;
        }
        case 20: {
            const auto& q = *static_cast<const QRect*>(v);
            p = putBig(putBig(p, static_cast<quint32>(q.left()), 4), static_cast<quint32>(q.top()), 4);
            p = putBig(putBig(p, static_cast<quint32>(q.right()), 4), static_cast<quint32>(q.bottom()), 4);
            break;
        }
        case 21: {
            const auto& q = *static_cast<const QRectF*>(v);
            p = putDouble(putDouble(putDouble(putDouble(p, q.x()), q.y()), q.width()), q.height());
            break;
        }
        case 22: {
            const auto& q = *static_cast<const QSize*>(v);
            p = putBig(putBig(p, static_cast<quint32>(q.width()), 4), static_cast<quint32>(q.height()), 4);
            break;
        }
        case 23: {
            const auto& q = *static_cast<const QSizeF*>(v);
            p = putDouble(putDouble(p, q.width()), q.height());
            break;
        }
        case 24: {
            const auto& q = *static_cast<const QMargins*>(v);
            p = putBig(putBig(p, static_cast<quint32>(q.left()), 4), static_cast<quint32>(q.top()), 4);
            p = putBig(putBig(p, static_cast<quint32>(q.right()), 4), static_cast<quint32>(q.bottom()), 4);
            break;
        }
        case 25: {
            const auto& q = *static_cast<const QMarginsF*>(v);
            p = putDouble(putDouble(putDouble(putDouble(p, q.left()), q.top()), q.right()), q.bottom());
            break;
        }
        case 26: {
            const QString& str = *static_cast<const QString*>(v);
            const int len = str.size();
            if (len > kLargestValue - 8 ||
                !putAsciiChars(p + 8, str.constData(), len)) {  // the head is written; the string goes the general way
                m_wcur = p;
                write_UTF8_String(str);
                return true;
            }
            p = putBig(p, static_cast<std::uint64_t>(len), 8) + len;
            break;
        }
        default:
            return false;
    }
    m_wcur = p;
    return true;
}

bool XDataStream::beginWriteTree(const XTree& tree, Stack& stack) {
    if (!depthAllows(stack.size(), false)) return false;
    *this << static_cast<qint32>(tree.getMap().size());
    WalkFrame f;
    f.wtree = &tree;
    f.it = tree.getMap().begin();
    f.end = tree.getMap().end();
    stack.push_back(f);
    return true;
}

// The trees and arrays of trees of the standard type are walked here, with the explicit stack;
// everything else is written by the supporter.
bool XDataStream::writePayload(const XVal& slot, Stack& stack) {
    const XTree* tree = slot.tree();
    if (tree != nullptr && slot.getType() == XTypeSet::str_XTree) return beginWriteTree(*tree, stack);
    if (const XTreeArray* a = slot.array()) {
        if (a->trees() != nullptr && a->type() == XTypeSet::str_XTree) {
            if (!depthAllows(stack.size(), false)) return false;
            writeQtString(a->type());
            writeCount(a->size());
            WalkFrame f;
            f.warray = a;
            stack.push_back(f);
            return true;
        }
    }
    m_depth += static_cast<unsigned int>(stack.size());
    const bool ok = m_supporter->writeVal(*this, slot);
    m_depth -= static_cast<unsigned int>(stack.size());
    return ok;
}

bool XDataStream::runWrite(Stack& stack) {
    while (!stack.empty()) {
        if (status() != QDataStream::Ok) return false;
        WalkFrame& f = stack.back();
        if (f.wtree != nullptr) {
            if (f.it == f.end) {
                stack.pop_back();
                continue;
            }
            const auto& kv = *f.it;
            ++f.it;
            if (m_standardSupporter && writeSimpleEntry(kv.first, kv.second)) continue;
            writeEntryHead(kv.first, kv.second);
            writePayload(kv.second, stack);  // a value that cannot be written leaves its head only
        } else {
            if (f.index >= f.warray->size()) {
                stack.pop_back();
                continue;
            }
            const XTree& t = f.warray->trees()[f.index++];
            beginWriteTree(t, stack);
        }
    }
    return status() == QDataStream::Ok;
}

bool XDataStream::writeTreeBody(const XTree& tree) {
    Stack stack;
    const bool ok = beginWriteTree(tree, stack) && runWrite(stack);
    if (m_depth == 0) flush();
    return ok && status() == QDataStream::Ok;
}

bool XDataStream::writeVal(const XVal& slot) {
    writeRecordHead(slot);
    Stack stack;
    const bool ok = writePayload(slot, stack);
    const bool walked = runWrite(stack);
    if (m_depth == 0) flush();
    return walked && ok && status() == QDataStream::Ok;
}

}  // namespace zor
