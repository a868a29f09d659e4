#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include <zor/ThreadTools.h>

#include <QBuffer>
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

QString decodeUtf8(const char* p, std::int64_t n) {
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

XDataStream::~XDataStream() { flush(); }

// ---- the buffers

namespace {
constexpr int kBuffer = 64 * 1024;
}

XDataStream& XDataStream::putInt(quint64 v, int bytes) {
    char b[8];
    for (int i = bytes - 1; i >= 0; --i) {
        b[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
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
    QIODevice* d = device();
    if (d == nullptr || len < 0) {
        setStatus(QDataStream::WriteFailed);
        return -1;
    }
    if (status() != QDataStream::Ok) return -1;
    if (len >= kBuffer) {  // large pieces go straight through
        flushWrite();
        const qint64 r = d->write(p, len);
        if (r != len) setStatus(QDataStream::WriteFailed);
        return static_cast<int>(r);
    }
    m_out.append(p, len);
    if (m_out.size() >= kBuffer) flushWrite();
    return status() == QDataStream::Ok ? len : -1;
}

void XDataStream::flushWrite() {
    if (m_out.isEmpty()) return;
    QIODevice* d = device();
    if (d == nullptr || d->write(m_out) != m_out.size()) setStatus(QDataStream::WriteFailed);
    m_out.resize(0);
}

bool XDataStream::refill(int want) {
    QIODevice* d = device();
    if (d == nullptr) return false;
    // Only a random-access device can take unread bytes back (giveBackReadAhead).
    const int ahead = d->isSequential() ? want : qMax(want, kBuffer);
    const int keep = m_in.size() - m_inPos;
    if (m_inPos > 0) {
        m_in.remove(0, m_inPos);
        m_inPos = 0;
    }
    m_in.resize(keep + ahead);
    const qint64 r = d->read(m_in.data() + keep, ahead);
    m_in.resize(keep + static_cast<int>(r > 0 ? r : 0));
    return m_in.size() >= want;
}

int XDataStream::getBytes(char* p, int len) {
    if (status() != QDataStream::Ok || len < 0) return -1;
    int done = 0;
    const int buffered = m_in.size() - m_inPos;
    if (buffered > 0) {
        done = qMin(buffered, len);
        std::memcpy(p, m_in.constData() + m_inPos, static_cast<std::size_t>(done));
        m_inPos += done;
    }
    if (done < len) {
        QIODevice* d = device();
        if (d == nullptr) {
            setStatus(QDataStream::ReadPastEnd);
            return done;
        }
        const int rest = len - done;
        if (rest >= kBuffer) {
            const qint64 r = d->read(p + done, rest);
            done += static_cast<int>(r > 0 ? r : 0);
        } else {
            refill(rest);
            const int n = qMin(rest, m_in.size() - m_inPos);
            std::memcpy(p + done, m_in.constData() + m_inPos, static_cast<std::size_t>(n));
            m_inPos += n;
            done += n;
        }
        if (done < len) setStatus(QDataStream::ReadPastEnd);
    }
    return done;
}

int XDataStream::skipBytes(int len) {
    if (status() != QDataStream::Ok || len < 0) return -1;
    const int buffered = m_in.size() - m_inPos;
    const int fromBuffer = qMin(buffered, len);
    m_inPos += fromBuffer;
    int done = fromBuffer;
    if (done < len) {
        QIODevice* d = device();
        const qint64 r = d != nullptr ? d->skip(len - done) : -1;
        done += static_cast<int>(r > 0 ? r : 0);
        if (done < len) setStatus(QDataStream::ReadPastEnd);
    }
    return done;
}

void XDataStream::giveBackReadAhead() {
    const int unread = m_in.size() - m_inPos;
    QIODevice* d = device();
    if (unread > 0 && d != nullptr && !d->isSequential()) d->seek(d->pos() - unread);
    m_in.resize(0);
    m_inPos = 0;
}

void XDataStream::flush() {
    flushWrite();
    giveBackReadAhead();
}

// ---- bounds and failures

std::int64_t XDataStream::bytesLeft() const {
    const QIODevice* d = device();
    const std::int64_t buffered = m_in.size() - m_inPos;
    if (d == nullptr) return buffered;
    if (d->isSequential()) return buffered + d->bytesAvailable();
    const std::int64_t left = d->size() - d->pos();
    return buffered + (left < 0 ? 0 : left);
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
}

bool XDataStream::checkReadStatus() {
    if (status() == QDataStream::Ok) return true;
    if (!m_stopNoted) {
        const QIODevice* d = device();
        fail(xformat("XDataStream::read, the data ends early or is damaged at byte $", d != nullptr ? d->pos() : 0));
    }
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
        setStatus(QDataStream::WriteFailed);
    }
    return false;
}

// ---- primitives

void XDataStream::write_UTF8_String(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    *this << static_cast<qint64>(utf8.size());
    if (!utf8.isEmpty() && putBytes(utf8.constData(), utf8.size()) != utf8.size()) {
        // A device that takes fewer bytes than given has failed; the stream says so to callers.
        if (status() == QDataStream::Ok) setStatus(QDataStream::WriteFailed);
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
        if (status() == QDataStream::Ok) setStatus(QDataStream::WriteFailed);
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
            if (status() == QDataStream::Ok) setStatus(QDataStream::WriteFailed);
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
            if (putBytes(buf, n) != n && status() == QDataStream::Ok) setStatus(QDataStream::WriteFailed);
            return;
        }
    }
    write_UTF8_String(key);
    writeRecordHead(slot);
}

// The type name of a record: the registered names are recognised in place, without decoding,
// together with the value reader of the simple ones (null for the others) and the category a record
// of the type carries (false for a name that is not the library's own).
QString XDataStream::readTypeName(const XTypeSupporter::ValueReader** reader, XCategory* category, bool* own) {
    *reader = nullptr;
    *own = false;
    quint8 n = 0;
    *this >> n;
    if (!checkReadStatus() || n == 0) return QString();
    char local[256];
    if (getBytes(local, n) != n) {
        checkReadStatus();
        return QString();
    }
    struct Known {
        QByteArray utf8;
        QString name;
        const XTypeSupporter::ValueReader* reader;
        XCategory category;
    };
    static const std::vector<Known> known = [] {
        std::vector<Known> k;
        const XTypeSet set;
        const XCategory categories[3] = {XCategory::SIMPLE, XCategory::TREE, XCategory::ARRAY};
        for (unsigned int c = 0; c < 3; ++c)
            for (const QString& name : set.types(static_cast<XTypeSet::Category>(c)))
                k.push_back({name.toUtf8(), name, XTypeSupporter::valueReaders().find(name), categories[c]});
        k.push_back({XTypeSet::str_XLink.toUtf8(), XTypeSet::str_XLink, nullptr, XCategory::LINK});
        return k;
    }();
    // Records of one type often follow each other: try the last match first.
    const std::size_t last = m_lastType < known.size() ? m_lastType : 0;
    for (std::size_t i = 0; i < known.size(); ++i) {
        const Known& k = known[(last + i) % known.size()];
        if (k.utf8.size() == n && std::memcmp(k.utf8.constData(), local, n) == 0) {
            m_lastType = (last + i) % known.size();
            *reader = k.reader;
            *category = k.category;
            *own = true;
            return k.name;
        }
    }
    return decodeUtf8(local, n);
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
    type = readTypeName(&simpleReader, &expected, &own);
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
        // The standard supporter reads simple values through its table: call the entry directly.
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
            const QString key = readString();
            if (hasFailed()) break;
            XVal fresh;
            QString type;
            const bool whole = readRecord(fresh, type, stack);  // may have pushed: f is stale now
            if (XObject* o = fresh.object()) o->setParentUnchecked(target);
            // A repeated key replaces the earlier value; no frame refers to it any more.
            target->slotFor(key) = std::move(fresh);
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
