#pragma once
/// \zclass{XDataStream,xtree} The binary stream of typed trees, a QDataStream (version 17, big-endian, doubles
/// for floating point) with the library's primitives:
/// \code long string   int64 byte count, then the UTF-8 bytes
///   short string  one byte count (0-254), then the UTF-8 bytes (longer names are cut)
///   count         int64
///   big data      raw bytes, moved in chunks of 1 MiB, no length prefix \endcode
/// and the value records of trees (category byte, type name as short string, payload written by
/// the type supporter). See XTree for the document layout.
///
/// Reading is defensive: every count and length is checked against the bytes that remain before
/// anything is allocated (the device's size for random-access devices, the buffered bytes for
/// sequential ones), and nesting is bounded by maxDepth() and walked with an explicit stack.
/// Damage does not throw away what was read: a value that cannot be read (an unknown type, a
/// category that does not fit its type, a value cut short) leaves an empty slot under its key with
/// the line "XDataStream::readVal, type problems <type>, typeSupporter@name" (and, when set, a pause
/// of typeProblemPauseMs()), and reading goes on with the next entry; a count larger than the bytes
/// can hold is cut to what they hold. Where the data itself fails (it ends, a length does not fit,
/// the nesting is too deep) the stream stops (status ReadCorruptData): a tree keeps every entry
/// read before that point, an array the elements that were there. The first problem of a stream is
/// logged as one error line; every result after damage is false. The stream owns neither its device
/// nor its supporter.
///
/// A device whose bytes are in memory (a QBuffer, a mapped file) is read and written in that memory
/// directly (a QBuffer's array grows as needed); other devices get writes collected in pieces of
/// 64 KiB, and random-access ones are read ahead in pieces of 64 KiB. Either way the device's size
/// and position are set to what the stream wrote or used at the end of every tree or value (and on
/// flush() and destruction), so they are exact between those calls.
/// One thread at a time; the static switches are atomic.
#include <zor/XCategory.h>
#include <zor/XMem.h>
#include <zor/XTypeSupporter.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zor {

class XTree;
class XVal;

class ZOR_EXPORT XDataStream : public QDataStream {
public:
    /// Array elements of simple types: false (the default) writes their memory image in one piece
    /// (machine byte order), true writes each element big-endian. Readers must use the writer's
    /// setting.
    static std::atomic<bool> atomicConsiderByteOrder;
    static void setDebug(bool on) { s_debug.store(on, std::memory_order_relaxed); }
    static bool isDebug() { return s_debug.load(std::memory_order_relaxed); }
    /// Deepest nesting of trees that is written or read (default 10,000 levels).
    static unsigned int maxDepth() { return s_maxDepth.load(std::memory_order_relaxed); }
    static void setMaxDepth(unsigned int levels) { s_maxDepth.store(levels, std::memory_order_relaxed); }
    /// How long the reading thread pauses after each value it cannot read (milliseconds, 0 by
    /// default: a damaged file must not hold a program for hours).
    static unsigned int typeProblemPauseMs() { return s_typeProblemPauseMs.load(std::memory_order_relaxed); }
    static void setTypeProblemPauseMs(unsigned int ms) { s_typeProblemPauseMs.store(ms, std::memory_order_relaxed); }

    explicit XDataStream(QIODevice* device, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    explicit XDataStream(const QByteArray& bytes, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    XDataStream(QByteArray* bytes, QIODevice::OpenMode mode, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    explicit XDataStream(const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    ~XDataStream();  ///< writes what is still buffered

    // ---- numbers, big-endian, through the stream's own buffers (a float is written as a double).
    // They hide QDataStream's operators on purpose: mixing both would reorder the bytes.
    XDataStream& operator<<(bool v) { return putInt(v ? 1u : 0u, 1); }
    XDataStream& operator<<(qint8 v) { return putInt(static_cast<quint8>(v), 1); }
    XDataStream& operator<<(quint8 v) { return putInt(v, 1); }
    XDataStream& operator<<(qint16 v) { return putInt(static_cast<quint16>(v), 2); }
    XDataStream& operator<<(quint16 v) { return putInt(v, 2); }
    XDataStream& operator<<(qint32 v) { return putInt(static_cast<quint32>(v), 4); }
    XDataStream& operator<<(quint32 v) { return putInt(v, 4); }
    XDataStream& operator<<(qint64 v) { return putInt(static_cast<quint64>(v), 8); }
    XDataStream& operator<<(quint64 v) { return putInt(v, 8); }
    XDataStream& operator<<(float v) { return *this << static_cast<double>(v); }
    XDataStream& operator<<(double v);
    XDataStream& operator>>(bool& v);
    XDataStream& operator>>(qint8& v) { return getInt(v); }
    XDataStream& operator>>(quint8& v) { return getInt(v); }
    XDataStream& operator>>(qint16& v) { return getInt(v); }
    XDataStream& operator>>(quint16& v) { return getInt(v); }
    XDataStream& operator>>(qint32& v) { return getInt(v); }
    XDataStream& operator>>(quint32& v) { return getInt(v); }
    XDataStream& operator>>(qint64& v) { return getInt(v); }
    XDataStream& operator>>(quint64& v) { return getInt(v); }
    XDataStream& operator>>(float& v);
    XDataStream& operator>>(double& v);
    /// Raw bytes through the buffers; the results are the byte counts moved (-1 on failure).
    int putBytes(const char* p, int len);
    int getBytes(char* p, int len) {
        if (len >= 0 && m_end - m_cur >= len) {
            if (len > 0) std::memcpy(p, m_cur, static_cast<std::size_t>(len));
            m_cur += len;
            return len;
        }
        return getBytesSlow(p, len);
    }
    int skipBytes(int len);
    /// Hands buffered bytes to the device, and gives read-ahead back to it (random-access devices).
    void flush();

    const XTypeSupporter& supporter() const { return *m_supporter; }
    void setSkipReading(bool on) { m_skipReading.store(on); }
    bool isSkipReading() const { return m_skipReading.load(); }

    /// One value record; a tree value is written or read with its whole sub-tree. A value that is
    /// not read whole gives false (with the "type problems" line) and leaves slot unchanged.
    bool writeVal(const XVal& slot);
    bool readVal(XVal& slot);

    void write_UTF8_String(const QString& s);
    QString readString();
    void write_short_UTF8_String(const QString& s);
    QString readShortString();
    void writeCount(std::uint64_t n);
    std::uint64_t readCount();
    /// QDataStream's QString form (uint32 byte length, UTF-16 big-endian), read with bounds.
    void writeQtString(const QString& s);
    QString readQtString();

    std::int64_t writeBigData(const char* p, std::uint64_t len);
    std::int64_t writeBigData(const XMem& mem);
    std::int64_t readBigData(char* p, std::uint64_t len);
    XMem readBigData(std::uint64_t len);
    std::int64_t skipBigData(std::uint64_t len);

    // ---- for readers of values
    /// Bytes that can still be read: size minus position for random-access devices, the buffered
    /// bytes for sequential ones.
    std::int64_t bytesLeft() const;
    /// How many of count elements of at least minBytes each can still be in the stream: count, or
    /// fewer, with the damage noted (one error line naming what); reading goes on.
    std::uint64_t elementsThatFit(std::uint64_t count, std::uint64_t minBytes, const char* what);
    /// True when count such elements can still be in the stream; otherwise the damage is noted as
    /// above, the stream stops, and false.
    bool fitsElements(std::uint64_t count, std::uint64_t minBytes, const char* what);
    /// Notes damage that reading can go past; only the first problem of a stream is logged.
    void noteDamage(const QString& text);
    /// Notes damage and stops the stream (status ReadCorruptData): nothing more is read.
    void fail(const QString& text);
    bool hasFailed() const { return status() != QDataStream::Ok; }  ///< stopped
    bool isDamaged() const { return m_damage > 0 || hasFailed(); }

    /// The body of a tree (entry count, then key and record per entry), walked without recursion.
    bool writeTreeBody(const XTree& tree);
    /// Into an empty tree, with the parents of everything read set; links are not resolved. False
    /// when anything was damaged; the tree keeps what was read.
    bool readTreeBody(XTree& tree);
    std::uint64_t linksRead() const { return m_linksRead; }  ///< links met so far (to resolve later)

protected:
    std::int64_t write_void(const void* p, std::uint64_t len) { return writeBigData(static_cast<const char*>(p), len); }
    std::int64_t read_void(void* p, std::uint64_t len) { return readBigData(static_cast<char*>(p), len); }

private:
    struct WalkFrame;
    using Stack = std::vector<WalkFrame>;
    static quint8 writtenCategory(const XVal& slot, bool link);
    void writeRecordHead(const XVal& slot);
    void writeEntryHead(const QString& key, const XVal& slot);
    QString readTypeName(const XTypeSupporter::ValueReader** reader, XCategory* category, bool* own,
                         std::uint8_t* simple);
    QString readKey();
    bool readSimple(XVal& slot, std::uint8_t simple);
    bool beginWriteTree(const XTree& tree, Stack& stack);
    bool writePayload(const XVal& slot, Stack& stack);
    bool runWrite(Stack& stack);
    bool beginReadTree(XTree& tree, Stack& stack);
    bool expectedCategory(const QString& type, XCategory& category) const;
    bool readRecord(XVal& fresh, QString& type, Stack& stack);
    bool runRead(Stack& stack);
    bool checkReadStatus();
    void stopReading();  // after damage already noted
    void valueFailed(const QString& type);
    bool depthAllows(std::size_t stackSize, bool reading);

    XDataStream& putInt(quint64 v, int bytes);
    template <typename T>
    XDataStream& getInt(T& v);
    void flushWrite();
    char* reserveOut(int n) { return m_wend - m_wcur >= n ? m_wcur : reserveOutSlow(n); }
    char* reserveOutSlow(int n);
    void writeFailed();
    bool writeSimpleEntry(const QString& key, const XVal& slot);
    void giveBackReadAhead();
    bool refill(int want);
    bool startDirect();
    int getBytesSlow(char* p, int len);
    void stopWindow() { m_end = m_cur; }  // after a failure: every read takes the checking path
    std::int64_t position() const;        // of the next byte to read, on the device

    // The plain QDataStream forms: the library never calls them.
    int writeRawData(const char* s, int len);
    int readRawData(char* s, int len);
    int skipRawData(int len);

    const XTypeSupporter* m_supporter;
    // Writes collect in [m_out, m_wcur) and go to the device in large pieces; writes that fit
    // before m_wend need no checks (m_wend is m_wcur once writing failed).
    QByteArray m_out;
    char* m_wcur = nullptr;
    char* m_wend = nullptr;
    // Or the writes go straight into the device's memory: m_wstart is the byte at the device
    // position m_wstartPos; a QBuffer's array had m_wbufferSize bytes before.
    enum class WriteTo : std::uint8_t { NOTHING, QBUFFER, MEMORY } m_wdirect = WriteTo::NOTHING;
    char* m_wstart = nullptr;
    qint64 m_wstartPos = 0;
    qint64 m_wbufferSize = 0;
    // Reading: the bytes at hand are [m_cur, m_limit), either the device's own memory (m_direct,
    // where m_start is the byte at the device position m_startPos) or a read-ahead in m_in. Reads
    // inside [m_cur, m_end) need no checks; m_end is m_limit, or m_cur once the stream stopped.
    const char* m_cur = nullptr;
    const char* m_end = nullptr;
    const char* m_limit = nullptr;
    const char* m_start = nullptr;
    qint64 m_startPos = 0;
    bool m_direct = false;
    QByteArray m_in;
    class KeyCache;
    KeyCache* m_keys = nullptr;        // keys read so far, decoded once
    bool m_standardSupporter = false;  // simple values may be read straight from the tables
    std::size_t m_lastType = 0;
    std::uint64_t m_linksRead = 0;
    std::atomic<bool> m_skipReading{false};
    unsigned int m_depth = 0;    // nesting of the walks running on this stream
    std::uint64_t m_damage = 0;  // problems met so far: a read is whole when it adds none
    bool m_failLogged = false;
    bool m_stopNoted = false;

    static std::atomic<bool> s_debug;
    static std::atomic<unsigned int> s_maxDepth;
    static std::atomic<unsigned int> s_typeProblemPauseMs;
};

template <typename T>
XDataStream& XDataStream::getInt(T& v) {
    if (m_end - m_cur >= static_cast<std::ptrdiff_t>(sizeof(T))) {
        std::uint64_t u = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) u = (u << 8) | static_cast<unsigned char>(m_cur[i]);
        m_cur += sizeof(T);
        v = static_cast<T>(u);
        return *this;
    }
    unsigned char b[sizeof(T)];
    if (getBytes(reinterpret_cast<char*>(b), static_cast<int>(sizeof(T))) != static_cast<int>(sizeof(T))) {
        v = 0;
        return *this;
    }
    std::uint64_t u = 0;
    for (unsigned char c : b) u = (u << 8) | c;
    v = static_cast<T>(u);
    return *this;
}

ZOR_EXPORT XDataStream& operator<<(XDataStream& s, const XTree& tree);
ZOR_EXPORT XDataStream& operator>>(XDataStream& s, XTree& tree);

}  // namespace zor
