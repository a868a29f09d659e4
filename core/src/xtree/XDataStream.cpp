#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/XDataStream.h>

#include <zor/ThreadTools.h>

#include "DataStreamParts.h"
#include "MemoryDevice.h"

#include <QBuffer>
#include <cstring>
#include <typeinfo>

namespace zor {

using namespace stream_detail;

std::atomic<bool> XDataStream::atomicConsiderByteOrder{false};
std::atomic<bool> XDataStream::s_debug{false};
std::atomic<unsigned int> XDataStream::s_maxDepth{10000};
std::atomic<unsigned int> XDataStream::s_typeProblemPauseMs{0};

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

}  // namespace zor
