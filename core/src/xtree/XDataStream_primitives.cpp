#include <zor/XDataStream.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include "DataStreamParts.h"

namespace zor {

using namespace stream_detail;

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

}  // namespace zor
