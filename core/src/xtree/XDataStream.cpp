#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include <zor/ThreadTools.h>

#include "MemoryDevice.h"

#include <QBuffer>
#include <QtEndian>
#include <cstring>
#include <new>
#include <typeinfo>

namespace zor {

std::atomic<bool> XDataStream::atomicConsiderByteOrder{false};
std::atomic<bool> XDataStream::s_debug{false};
std::atomic<unsigned int> XDataStream::s_maxDepth{10000};
std::atomic<unsigned int> XDataStream::s_typeProblemPauseMs{0};

namespace {

constexpr std::uint64_t kChunk = std::uint64_t(1) << 20;  // big data moves in pieces of 1 MiB
constexpr std::uint64_t kMinEntryBytes = 8 + 1 + 1;        // key length, category, type length
constexpr std::uint64_t kMinTreeBytes = 4;                 // an empty body: its count
constexpr int kStreamVersion = 17;

// A short string is read into this buffer: type names are short, and most keys are too.
constexpr int kLocalString = 256;

// The place of a registered simple type's name among the library's simple types (1-26, the codes
// value slots note for their C++ types), 0 for other names.
std::uint8_t simpleCodeOfName(const QString& name) {
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
QString decodeUtf8(const char* p, std::int64_t n) {
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

}  // namespace

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
        if (n > kMaxKey) return decodeUtf8(p, n);
        // Records of a list repeat the key sequence of the one before: try the key that followed
        // the last one the previous time before searching.
        if (m_last >= 0) {
            const int next = m_slots[static_cast<std::size_t>(m_last)].next;
            if (next >= 0) {
                const Slot& s = m_slots[static_cast<std::size_t>(next)];
                if (s.len == n && sameBytes(s.bytes, p, n)) {
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
            if (s.hash == h && s.len == n && sameBytes(s.bytes, p, n)) return follow(static_cast<int>(i));
        }
        QString key = decodeUtf8(p, n);
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

XDataStream::XDataStream(QIODevice* device, const XTypeSupporter& ts) : QDataStream(device), m_supporter(&ts) {
    setVersion(kStreamVersion);
    m_standardSupporter = typeid(ts) == typeid(XTypeSupporter);
}

XDataStream::XDataStream(const QByteArray& bytes, const XTypeSupporter& ts) : QDataStream(bytes), m_supporter(&ts) {
    setVersion(kStreamVersion);
    m_standardSupporter = typeid(ts) == typeid(XTypeSupporter);
}

XDataStream::XDataStream(QByteArray* bytes, QIODevice::OpenMode mode, const XTypeSupporter& ts)
    : QDataStream(bytes, mode), m_supporter(&ts) {
    setVersion(kStreamVersion);
    m_standardSupporter = typeid(ts) == typeid(XTypeSupporter);
}

XDataStream::XDataStream(const XTypeSupporter& ts) : m_supporter(&ts) {
    setVersion(kStreamVersion);
    m_standardSupporter = typeid(ts) == typeid(XTypeSupporter);
}

XDataStream::~XDataStream() {
    flush();
    delete m_keys;
}

// ---- the buffers

namespace {
constexpr int kBuffer = 64 * 1024;
}

XDataStream& XDataStream::putInt(quint64 v, int bytes) {
    char b[8];
    char* out = m_wend - m_wcur >= bytes ? m_wcur : b;
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    if (out == m_wcur)
        m_wcur += bytes;
    else
        putBytes(b, bytes);
    return *this;
}

XDataStream& XDataStream::operator<<(double v) {
    quint64 u = 0;
    std::memcpy(&u, &v, sizeof u);
    return putInt(u, 8);
}

XDataStream& XDataStream::operator>>(bool& v) {
    quint8 b = 0;
    getInt(b);
    v = b != 0;
    return *this;
}

XDataStream& XDataStream::operator>>(float& v) {
    double d = 0;
    *this >> d;
    v = static_cast<float>(d);
    return *this;
}

XDataStream& XDataStream::operator>>(double& v) {
    quint64 u = 0;
    getInt(u);
    std::memcpy(&v, &u, sizeof v);
    return *this;
}

int XDataStream::putBytes(const char* p, int len) {
    if (len >= 0 && m_wend - m_wcur >= len) {
        std::memcpy(m_wcur, p, static_cast<std::size_t>(len));
        m_wcur += len;
        return len;
    }
    QIODevice* d = device();
    if (d == nullptr || len < 0) {
        writeFailed();
        return -1;
    }
    if (status() != QDataStream::Ok) return -1;
    if (len >= kBuffer) {  // large pieces go straight through
        flushWrite();
        const qint64 r = d->write(p, len);
        if (r != len) writeFailed();
        return static_cast<int>(r);
    }
    char* out = reserveOut(len);
    if (out == nullptr) {
        if (status() == QDataStream::Ok) writeFailed();
        return -1;
    }
    std::memcpy(out, p, static_cast<std::size_t>(len));
    m_wcur += len;
    return len;
}

// Room for n bytes (at most a buffer's size) at m_wcur; null when the stream cannot write.
char* XDataStream::reserveOutSlow(int n) {
    QIODevice* d = device();
    if (d == nullptr || status() != QDataStream::Ok) return nullptr;
    // A QBuffer or a memory device is written in place: its memory is the buffer (a QBuffer's
    // grows as needed); every other device gets the collected bytes in large pieces.
    if (m_wdirect == WriteTo::NOTHING && m_out.isEmpty() && d->isWritable() && !d->isSequential()) {
        if (auto* mem = dynamic_cast<MemoryDevice*>(d)) {
            if (mem->writableMemory() != nullptr && d->pos() <= mem->size()) {
                m_wdirect = WriteTo::MEMORY;
                m_wstartPos = d->pos();
                m_wstart = mem->writableMemory() + m_wstartPos;
                m_wcur = m_wstart;
                m_wend = mem->writableMemory() + mem->size();
            }
        } else if (auto* buf = qobject_cast<QBuffer*>(d)) {
            if (d->pos() <= buf->buffer().size()) {
                m_wdirect = WriteTo::QBUFFER;
                m_wstartPos = d->pos();
                m_wbufferSize = buf->buffer().size();
                m_wstart = buf->buffer().data() + m_wstartPos;  // detaches a shared array, as writing would
                m_wcur = m_wend = m_wstart;
            }
        }
    }
    if (m_wend - m_wcur >= n) return m_wcur;
    if (m_wdirect == WriteTo::QBUFFER) {
        QByteArray& bytes = static_cast<QBuffer*>(d)->buffer();
        const qint64 at = m_wstartPos + (m_wcur - m_wstart);
        const qint64 size = at + qMax(n, kBuffer);
        if (size > 0x7FFFFFFF - 64) {  // a byte array holds no more
            writeFailed();
            return nullptr;
        }
        if (size > bytes.size()) bytes.resize(static_cast<int>(size));  // grows geometrically
        m_wstart = bytes.data() + m_wstartPos;
        m_wcur = bytes.data() + at;
        m_wend = bytes.data() + bytes.size();
        return m_wcur;
    }
    // A memory device has the size it has: a caller that asked for more room than it needs
    // writes its bytes the precise way, and one that needs it fails there.
    if (m_wdirect == WriteTo::MEMORY) return nullptr;
    flushWrite();
    if (m_out.isEmpty()) {
        m_out.resize(kBuffer);
        m_wcur = m_out.data();
    }
    m_wend = m_out.data() + m_out.size();
    return status() == QDataStream::Ok && m_wend - m_wcur >= n ? m_wcur : nullptr;
}

void XDataStream::flushWrite() {
    QIODevice* d = device();
    if (m_wdirect != WriteTo::NOTHING) {
        // The device takes what was written in its memory: its size and position follow.
        const qint64 end = m_wstartPos + (m_wcur - m_wstart);
        if (m_wdirect == WriteTo::QBUFFER) {
            QByteArray& bytes = static_cast<QBuffer*>(d)->buffer();
            bytes.resize(static_cast<int>(qMax(end, m_wbufferSize)));
        }
        d->seek(end);
        m_wdirect = WriteTo::NOTHING;
        m_wcur = m_wend = m_wstart = nullptr;
        m_wstartPos = 0;
        return;
    }
    if (m_out.isEmpty()) return;
    const qint64 n = m_wcur - m_out.constData();
    if (n > 0 && (d == nullptr || d->write(m_out.constData(), n) != n)) writeFailed();
    m_wcur = m_out.data();
    if (status() != QDataStream::Ok) m_wend = m_wcur;
}

void XDataStream::writeFailed() {
    setStatus(QDataStream::WriteFailed);
    m_wend = m_wcur;  // every write takes the checking path now
}

// A device whose bytes lie in memory is read there: a QBuffer, or the memory device of files and
// copies. Only between the stream's own flushes: the device's position is set when they end.
bool XDataStream::startDirect() {
    QIODevice* d = device();
    if (d == nullptr || d->isSequential() || !d->isReadable()) return false;
    const char* memory = nullptr;
    qint64 size = 0;
    if (auto* mem = dynamic_cast<MemoryDevice*>(d)) {
        memory = mem->memory();
        size = mem->size();
    } else if (auto* buf = qobject_cast<QBuffer*>(d)) {
        memory = buf->data().constData();
        size = buf->data().size();
    } else {
        return false;
    }
    const qint64 pos = d->pos();
    if (memory == nullptr || pos < 0 || pos > size) return false;
    m_direct = true;
    m_start = memory + pos;
    m_startPos = pos;
    m_cur = m_start;
    m_limit = memory + size;
    m_end = m_limit;
    return true;
}

bool XDataStream::refill(int want) {
    QIODevice* d = device();
    if (d == nullptr || m_direct) return false;
    // Only a random-access device can take unread bytes back (giveBackReadAhead).
    const int ahead = d->isSequential() ? want : qMax(want, kBuffer);
    const int keep = static_cast<int>(m_limit - m_cur);
    if (keep > 0 && m_cur != m_in.constData()) std::memmove(m_in.data(), m_cur, static_cast<std::size_t>(keep));
    m_in.resize(keep + ahead);
    const qint64 r = d->read(m_in.data() + keep, ahead);
    m_in.resize(keep + static_cast<int>(r > 0 ? r : 0));
    m_cur = m_in.constData();
    m_limit = m_cur + m_in.size();
    m_end = m_limit;
    return m_in.size() >= want;
}

// Reads that the window at hand cannot serve: the first read of a device, the end of a read-ahead,
// the end of the data, a stopped stream.
int XDataStream::getBytesSlow(char* p, int len) {
    if (status() != QDataStream::Ok || len < 0) return -1;
    m_end = m_limit;  // the status may have been reset since the stream stopped
    if (m_cur == m_limit && !m_direct && m_in.isEmpty()) startDirect();
    int done = static_cast<int>(qMin<std::int64_t>(m_limit - m_cur, len));
    if (done > 0) {
        std::memcpy(p, m_cur, static_cast<std::size_t>(done));
        m_cur += done;
    }
    if (done < len && !m_direct) {
        QIODevice* d = device();
        if (d == nullptr) {
            setStatus(QDataStream::ReadPastEnd);
            stopWindow();
            return done;
        }
        const int rest = len - done;
        if (rest >= kBuffer) {
            const qint64 r = d->read(p + done, rest);
            done += static_cast<int>(r > 0 ? r : 0);
        } else {
            refill(rest);
            const int n = static_cast<int>(qMin<std::int64_t>(rest, m_limit - m_cur));
            std::memcpy(p + done, m_cur, static_cast<std::size_t>(n));
            m_cur += n;
            done += n;
        }
    }
    if (done < len) {
        setStatus(QDataStream::ReadPastEnd);
        stopWindow();
    }
    return done;
}

int XDataStream::skipBytes(int len) {
    if (status() != QDataStream::Ok || len < 0) return -1;
    m_end = m_limit;
    if (m_cur == m_limit && !m_direct && m_in.isEmpty()) startDirect();
    const int fromBuffer = static_cast<int>(qMin<std::int64_t>(m_limit - m_cur, len));
    m_cur += fromBuffer;
    int done = fromBuffer;
    if (done < len && !m_direct) {
        QIODevice* d = device();
        const qint64 r = d != nullptr ? d->skip(len - done) : -1;
        done += static_cast<int>(r > 0 ? r : 0);
    }
    if (done < len) {
        setStatus(QDataStream::ReadPastEnd);
        stopWindow();
    }
    return done;
}

void XDataStream::giveBackReadAhead() {
    QIODevice* d = device();
    if (m_direct) {
        if (d != nullptr) d->seek(m_startPos + (m_cur - m_start));
    } else {
        const qint64 unread = m_limit - m_cur;
        if (unread > 0 && d != nullptr && !d->isSequential()) d->seek(d->pos() - unread);
    }
    m_in.resize(0);
    m_direct = false;
    m_cur = m_end = m_limit = m_start = nullptr;
    m_startPos = 0;
}

void XDataStream::flush() {
    flushWrite();
    giveBackReadAhead();
}

// ---- bounds and failures

std::int64_t XDataStream::bytesLeft() const {
    const std::int64_t buffered = m_limit - m_cur;
    const QIODevice* d = device();
    if (m_direct || d == nullptr) return buffered;
    if (d->isSequential()) return buffered + d->bytesAvailable();
    const std::int64_t left = d->size() - d->pos();
    return buffered + (left < 0 ? 0 : left);
}

std::int64_t XDataStream::position() const {
    const QIODevice* d = device();
    if (m_direct) return m_startPos + (m_cur - m_start);
    return d != nullptr ? d->pos() - (m_limit - m_cur) : 0;
}

void XDataStream::noteDamage(const QString& text) {
    ++m_damage;
    if (!m_failLogged) {
        m_failLogged = true;
        logError("$", text);
    }
}

void XDataStream::fail(const QString& text) {
    if (!m_stopNoted) {
        m_stopNoted = true;
        noteDamage(text);
    }
    setStatus(QDataStream::ReadCorruptData);
    stopWindow();
}

std::uint64_t XDataStream::elementsThatFit(std::uint64_t count, std::uint64_t minBytes, const char* what) {
    const std::uint64_t left = static_cast<std::uint64_t>(bytesLeft());
    if (minBytes == 0) minBytes = 1;
    const std::uint64_t most = left / minBytes;
    if (count <= most) return count;
    noteDamage(xformat("XDataStream::read, $ $ cannot be in the $ bytes left", count, what,
                       format1000(static_cast<long long>(left))));
    return most;
}

bool XDataStream::fitsElements(std::uint64_t count, std::uint64_t minBytes, const char* what) {
    if (elementsThatFit(count, minBytes, what) == count) return true;
    fail(QString());  // noted above; the stream stops here
    return false;
}

void XDataStream::stopReading() {
    m_stopNoted = true;
    setStatus(QDataStream::ReadCorruptData);
    stopWindow();
}

bool XDataStream::checkReadStatus() {
    if (status() == QDataStream::Ok) return true;
    if (!m_stopNoted) fail(xformat("XDataStream::read, the data ends early or is damaged at byte $", position()));
    return false;
}

void XDataStream::valueFailed(const QString& type) {
    ++m_damage;
    logError("XDataStream::readVal, type problems <$>, typeSupporter@$", type, m_supporter->toString());
    const unsigned int ms = typeProblemPauseMs();
    if (ms > 0) xSleep(ms);
}

bool XDataStream::depthAllows(std::size_t stackSize, bool reading) {
    if (m_depth + stackSize < maxDepth()) return true;
    if (reading) {
        fail(xformat("XDataStream::readVal, nesting deeper than $ levels", maxDepth()));
    } else {
        logError("XDataStream::writeVal, tree deeper than $ levels, not written", maxDepth());
        writeFailed();
    }
    return false;
}

// ---- primitives

void XDataStream::write_UTF8_String(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    *this << static_cast<qint64>(utf8.size());
    if (!utf8.isEmpty() && putBytes(utf8.constData(), utf8.size()) != utf8.size()) {
        // A device that takes fewer bytes than given has failed; the stream says so to callers.
        if (status() == QDataStream::Ok) writeFailed();
        logError("XDataStream::write_UTF8_String, short write of $ bytes", utf8.size());
    }
}

QString XDataStream::readString() {
    qint64 n = 0;
    *this >> n;
    if (!checkReadStatus()) return QString();
    if (n < 0 || n > bytesLeft() || n > 0x7FFFFFFF) {
        fail(xformat("XDataStream::readString, length $ does not fit the $ bytes left", n, bytesLeft()));
        return QString();
    }
    if (n == 0) return QString();
    if (n <= kLocalString) {
        char local[kLocalString];
        if (getBytes(local, static_cast<int>(n)) != n) {
            checkReadStatus();
            fail(QStringLiteral("XDataStream::readString, the data ends early"));
            return QString();
        }
        return decodeUtf8(local, n);
    }
    QByteArray bytes(static_cast<int>(n), Qt::Uninitialized);
    if (getBytes(bytes.data(), static_cast<int>(n)) != n) {
        fail(QStringLiteral("XDataStream::readString, the data ends early"));
        return QString();
    }
    return decodeUtf8(bytes.constData(), n);
}

void XDataStream::write_short_UTF8_String(const QString& s) {
    QByteArray utf8 = s.toUtf8();
    if (utf8.size() > 254) {
        logWarning("XDataStream::write_short_UTF8_String, str.length() > 254, $ > 254, cut now", s.length(), s.length());
        utf8.truncate(254);
    }
    *this << static_cast<quint8>(utf8.size());
    if (!utf8.isEmpty() && putBytes(utf8.constData(), utf8.size()) != utf8.size()) {
        if (status() == QDataStream::Ok) writeFailed();
        logError("XDataStream::write_short_UTF8_String, short write of $ bytes", utf8.size());
    }
}

QString XDataStream::readShortString() {
    quint8 n = 0;
    *this >> n;
    if (!checkReadStatus() || n == 0) return QString();
    char local[256];
    if (getBytes(local, n) != n) {
        checkReadStatus();
        fail(QStringLiteral("XDataStream::readShortString, the data ends early"));
        return QString();
    }
    return decodeUtf8(local, n);
}

void XDataStream::writeCount(std::uint64_t n) { *this << static_cast<qint64>(n); }

std::uint64_t XDataStream::readCount() {
    qint64 n = 0;
    *this >> n;
    return static_cast<std::uint64_t>(n);
}

void XDataStream::writeQtString(const QString& s) {
    if (s.isNull()) {
        *this << static_cast<quint32>(0xFFFFFFFF);
        return;
    }
    const int n = s.size();
    *this << static_cast<quint32>(n * 2);
    // UTF-16 big-endian in one piece; the stream's byte order is always big-endian here.
    constexpr int kPiece = 512;
    char buf[kPiece * 2];
    for (int done = 0; done < n;) {
        const int m = qMin(kPiece, n - done);
        const QChar* c = s.constData() + done;
        for (int i = 0; i < m; ++i) {
            buf[2 * i] = static_cast<char>(c[i].unicode() >> 8);
            buf[2 * i + 1] = static_cast<char>(c[i].unicode() & 0xFF);
        }
        if (putBytes(buf, 2 * m) != 2 * m) {
            if (status() == QDataStream::Ok) writeFailed();
            return;
        }
        done += m;
    }
}

QString XDataStream::readQtString() {
    quint32 bytes = 0;
    *this >> bytes;
    if (!checkReadStatus()) return QString();
    if (bytes == 0xFFFFFFFF) return QString();
    if ((bytes & 1) != 0 || static_cast<std::int64_t>(bytes) > bytesLeft()) {
        fail(xformat("XDataStream::readQtString, length $ does not fit the $ bytes left", bytes, bytesLeft()));
        return QString();
    }
    const int n = static_cast<int>(bytes / 2);
    QString s(n, Qt::Uninitialized);
    constexpr int kPiece = 512;
    char buf[kPiece * 2];
    QChar* out = s.data();
    for (int done = 0; done < n;) {
        const int m = qMin(kPiece, n - done);
        if (getBytes(buf, 2 * m) != 2 * m) {
            checkReadStatus();
            fail(QStringLiteral("XDataStream::readQtString, the data ends early"));
            return QString();
        }
        for (int i = 0; i < m; ++i)
            out[done + i] = QChar(static_cast<ushort>((static_cast<uchar>(buf[2 * i]) << 8) | static_cast<uchar>(buf[2 * i + 1])));
        done += m;
    }
    return s;
}

std::int64_t XDataStream::writeBigData(const char* p, std::uint64_t len) {
    if (p == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XDataStream", 210, QStringLiteral("pData == NULL"));
    std::uint64_t total = 0;
    const std::uint64_t full = len / kChunk;
    for (std::uint64_t i = 0; i < full; ++i) {
        const int r = putBytes(p + total, static_cast<int>(kChunk));
        if (r < 0) {
            logError("XDataStream::writeBigData failed");
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
    }
    const std::uint64_t rest = len % kChunk;
    if (rest > 0) {
        const int r = putBytes(p + total, static_cast<int>(rest));
        if (r < 0) {
            logError("XDataStream::writeBigData,REST failed");
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
    }
    if (total != len) {
        logError("XDataStream::writeBigData, bytesWritten:$, len:$", total, len);
        return static_cast<std::int64_t>(total);
    }
    return static_cast<std::int64_t>(len);
}

std::int64_t XDataStream::writeBigData(const XMem& mem) {
    if (mem.isEmpty()) return 0;
    return writeBigData(mem.mem(), mem.size());
}

std::int64_t XDataStream::readBigData(char* p, std::uint64_t len) {
    if (p == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XDataStream", 245, QStringLiteral("pData == NULL"));
    std::uint64_t total = 0;
    const std::uint64_t full = len / kChunk;
    for (std::uint64_t i = 0; i < full; ++i) {
        const int r = getBytes(p + total, static_cast<int>(kChunk));
        if (r < 0) {
            fail(QStringLiteral("XDataStream::readBigData failed"));
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
        if (r < static_cast<int>(kChunk)) break;
    }
    const std::uint64_t rest = len % kChunk;
    if (rest > 0 && total == full * kChunk) {
        const int r = getBytes(p + total, static_cast<int>(rest));
        if (r < 0) {
            fail(QStringLiteral("XDataStream::readBigData,REST failed"));
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
    }
    if (total != len) {
        fail(xformat("XDataStream::readBigData, bytesRead:$, len:$", total, len));
        return static_cast<std::int64_t>(total);
    }
    return static_cast<std::int64_t>(len);
}

XMem XDataStream::readBigData(std::uint64_t len) {
    XMem mem;
    if (len == 0) return mem;
    if (len > static_cast<std::uint64_t>(bytesLeft())) {
        fail(xformat("XDataStream::readBigData, $ bytes asked, $ left", len, bytesLeft()));
        return mem;
    }
    if (!mem.reAlloc(static_cast<std::size_t>(len))) return XMem();
    if (readBigData(mem.mem(), len) != static_cast<std::int64_t>(len)) return XMem();
    return mem;
}

std::int64_t XDataStream::skipBigData(std::uint64_t len) {
    std::uint64_t total = 0;
    const std::uint64_t full = len / kChunk;
    for (std::uint64_t i = 0; i < full; ++i) {
        const int r = skipBytes(static_cast<int>(kChunk));
        if (r < 0) {
            fail(QStringLiteral("XDataStream::skipBigData failed"));
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
        if (r < static_cast<int>(kChunk)) break;
    }
    const std::uint64_t rest = len % kChunk;
    if (rest > 0 && total == full * kChunk) {
        const int r = skipBytes(static_cast<int>(rest));
        if (r < 0) {
            fail(QStringLiteral("XDataStream::skipBigData,REST failed"));
            return -1;
        }
        total += static_cast<std::uint64_t>(r);
    }
    if (total != len) {
        fail(xformat("XDataStream::skipBigData, bytesSkipped:$, len:$", total, len));
        return static_cast<std::int64_t>(total);
    }
    return static_cast<std::int64_t>(len);
}

int XDataStream::writeRawData(const char* s, int len) {
    logWarning("XDataStream::writeRawData, should NOT be here, len:$", len);
    flush();
    return QDataStream::writeRawData(s, len);
}

int XDataStream::readRawData(char* s, int len) {
    logWarning("XDataStream::readRawData, should NOT be here, len:$", len);
    flush();
    return QDataStream::readRawData(s, len);
}

int XDataStream::skipRawData(int len) {
    logWarning("XDataStream::skipRawData, should NOT be here, len:$", len);
    flush();
    return QDataStream::skipRawData(len);
}

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

// ---- reading values and trees
//
// Reading goes on after a value that cannot be read: its entry keeps what there was of it (see
// readRecord), the "type problems" line is logged and the next entry is read. It stops where the
// data itself fails (it ends, a length does not fit, the nesting is too deep); what was read up to
// there stays. Counts larger than the bytes left are cut to what the bytes can hold.

bool XDataStream::beginReadTree(XTree& tree, Stack& stack) {
    if (!depthAllows(stack.size(), true)) return false;
    qint32 n = 0;
    *this >> n;
    if (!checkReadStatus()) return false;
    if (n < 0) {
        fail(xformat("XDataStream::read, negative entry count $", n));
        return false;
    }
    WalkFrame f;
    f.rtree = &tree;
    f.left = static_cast<std::int64_t>(elementsThatFit(static_cast<std::uint64_t>(n), kMinEntryBytes, "entries"));
    f.cut = f.left < n;
    stack.push_back(f);
    return true;
}

// The category a record of this type must carry, when the type is known here: the tree code takes
// a value for what its category says.
bool XDataStream::expectedCategory(const QString& type, XCategory& category) const {
    if (type == XTypeSet::str_XTree || m_supporter->isTreeType(type))
        category = XCategory::TREE;
    else if (type == XTypeSet::str_XTreeArray)
        category = XCategory::ARRAY;
    else if (XTypeSet::isTypeLink(type))
        category = XCategory::LINK;
    else if (XTypeSupporter::valueReaders().contains(type))
        category = XCategory::SIMPLE;
    else
        return false;
    return true;
}

// One value record into fresh. True when the value was read whole (for a tree or an array of
// trees: when its frame is set up; the contents follow, and a value among them that is not read
// whole is the one reported). False when it was not: fresh then holds
// what there was of it - nothing for a type that cannot be read, a category that does not fit
// the type or a value cut short, the elements that were there for an array, the tree as far as
// it came - and type names the type for the "type problems" line.
bool XDataStream::readRecord(XVal& fresh, QString& type, Stack& stack) {
    const std::uint64_t before = m_damage;
    quint8 category = 0;
    *this >> category;
    const XTypeSupporter::ValueReader* simpleReader = nullptr;
    XCategory expected = XCategory::SIMPLE;
    bool own = false;
    std::uint8_t simple = 0;
    type = readTypeName(&simpleReader, &expected, &own, &simple);
    if (!checkReadStatus()) return false;
    const auto cat = static_cast<XCategory>(category);
    if ((own || expectedCategory(type, expected)) && cat != expected) {
        // Read as an unknown type: nothing of it is taken.
        noteDamage(
            xformat("XDataStream::readVal, category $ does not fit type <$>", XVal::categoryToString(category), type));
        return false;
    }
    if (own && expected == XCategory::TREE) {  // "XTree"
        auto* t = new (std::nothrow) XTree();
        if (t == nullptr) {
            fail(QStringLiteral("XDataStream::readVal, no memory for a tree"));
            return false;
        }
        fresh.own(t, XTypeSet::str_XTree, XCategory::TREE);
        if (!beginReadTree(*t, stack)) {
            fresh = XVal();
            return false;
        }
        return true;  // a count cut to the bytes left is noted; where the data ends is reported
    }
    if (own && expected == XCategory::ARRAY) {  // "XTreeArray"
        const QString elementType = readQtString();
        const std::uint64_t count = readCount();
        if (!checkReadStatus()) return false;
        if (elementType == XTypeSet::str_XLink) ++m_linksRead;
        if (elementType == XTypeSet::str_XTree) {
            if (!depthAllows(stack.size(), true)) return false;
            const std::uint64_t n = elementsThatFit(count, kMinTreeBytes, "trees");
            auto* a = new XTreeArray();
            fresh.own(a, XTypeSet::str_XTreeArray, XCategory::ARRAY);
            if (!a->allocate<XTree>(n)) {
                fail(xformat("XDataStream::readVal, no memory for $ trees", n));
                fresh = XVal();
                return false;
            }
            WalkFrame f;
            f.rarray = a;
            f.elements = a->trees();
            f.count = n;
            f.cut = n < count;
            stack.push_back(f);
            return true;
        }
        m_depth += static_cast<unsigned int>(stack.size());
        const bool known = m_supporter->readArray(*this, elementType, count, fresh);
        m_depth -= static_cast<unsigned int>(stack.size());
        if (!known) {
            type = elementType;
            fresh = XVal();
            return false;
        }
        fresh.setCategory(cat);
        if (m_damage == before && checkReadStatus()) return true;
        stopReading();  // the array was cut: what follows is inside it
        return false;   // with the elements that were there
    }
    if (simpleReader != nullptr && m_standardSupporter) {
        // The standard supporter's simple values: decoded in place, or through the table's entry
        // when their bytes are not all at hand.
        if (simple != 0 && readSimple(fresh, simple)) {
            fresh.setCategory(cat);
            return true;
        }
        (*simpleReader)(*this, fresh);
        if (!checkReadStatus()) {
            fresh = XVal();
            return false;
        }
        fresh.setCategory(cat);
        return true;
    }
    if (type == XTypeSet::str_XLink) ++m_linksRead;
    m_depth += static_cast<unsigned int>(stack.size());
    const bool known = m_supporter->readVal(*this, type, fresh);
    m_depth -= static_cast<unsigned int>(stack.size());
    if (!known) {
        fresh = XVal();
        return false;
    }
    fresh.setCategory(cat);
    if (m_damage == before && checkReadStatus()) return true;
    // Cut short: a tree or an array keeps what it got, a simple value or a link is not kept.
    stopReading();
    if (fresh.tree() == nullptr && fresh.array() == nullptr) fresh = XVal();
    return false;
}

bool XDataStream::runRead(Stack& stack) {
    // A frame whose count was cut ends the reading: the bytes after it belong to it.
    auto done = [this, &stack]() {
        if (stack.back().cut) stopReading();
        stack.pop_back();
    };
    while (!stack.empty() && !hasFailed()) {
        WalkFrame& f = stack.back();
        if (f.rtree != nullptr) {
            if (f.left == 0) {
                done();
                continue;
            }
            --f.left;
            XTree* target = f.rtree;
            QString key = readKey();
            if (hasFailed()) break;
            // Read in place. A repeated key replaces the earlier value; no frame refers to it any more.
            XVal& slot = target->slotFor(std::move(key));
            if (slot.m_store != XVal::Store::NONE || !slot.m_type.isNull() || slot.m_category != XCategory::SIMPLE)
                slot = XVal();
            QString type;
            const bool whole = readRecord(slot, type, stack);  // may have pushed: f is stale now
            if (XObject* o = slot.object()) o->setParentUnchecked(target);
            if (!whole) valueFailed(type);
        } else {
            if (f.index >= f.count) {
                done();
                continue;
            }
            XTree* t = f.elements + f.index++;
            // A failure stops the stream; a tree whose count could not be read is not kept.
            if (!beginReadTree(*t, stack)) --f.index;
        }
    }
    // Stopped inside arrays of trees: each keeps the trees that were begun, innermost first.
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->rarray != nullptr && it->index < it->count) it->rarray->shrink<XTree>(it->index);
    }
    return stack.empty() && !hasFailed();
}

bool XDataStream::readTreeBody(XTree& tree) {
    if (hasFailed()) return false;
    const std::uint64_t before = m_damage;
    Stack stack;
    if (beginReadTree(tree, stack)) runRead(stack);
    if (m_depth == 0) flush();
    return m_damage == before && !hasFailed();
}

bool XDataStream::readVal(XVal& slot) {
    if (hasFailed()) return false;
    const std::uint64_t before = m_damage;
    XVal fresh;
    QString type;
    Stack stack;
    const bool whole = readRecord(fresh, type, stack);
    runRead(stack);
    if (m_depth == 0) flush();
    if (!whole) valueFailed(type);
    if (m_damage != before || hasFailed()) return false;
    slot = std::move(fresh);
    return true;
}

}  // namespace zor
