#include <zor/FileWriter.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/ZorErrorCodes.h>

#include "platform/Platform.h"

#include <QFile>
#include <mutex>
#include <cerrno>
#include <cstring>
#include <new>

namespace zor {

namespace {
constexpr const char* kSource = "libSrc/core/src/tools/io/FileWriter";
}

FileWriter::~FileWriter() { flushAndClose(); }

bool FileWriter::open(const QString& name) {
    std::lock_guard<std::mutex> lock(mutex);
    fileName = name;
    const QByteArray latin1 = name.toLatin1();
    // A name outside Latin-1 would reach the C runtime with '?' in place of its characters and
    // would create or truncate another file: it is refused instead.
    const bool inLatin1 = QString::fromLatin1(latin1) == name;
    if (!openLocked(inLatin1 ? latin1 : QByteArray())) {
        const int e = inLatin1 ? errno : EINVAL;
        logError("FileWriter::open, file problems - cannot open '$'", name);
        errno = e;
        return false;
    }
    return true;
}

bool FileWriter::openLocked(const QByteArray& nativeName) {
    if (fp != nullptr) {
        flushBufferLocked();
        if (fp != nullptr) std::fclose(fp);
    }
    fp = nullptr;
    m_used = 0;
    if (nativeName.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    fp = std::fopen(nativeName.constData(), "wb");
    if (fp == nullptr) return false;
    if (!m_buf) m_buf.reset(new (std::nothrow) char[kBufferSize]);  // without it, writes go straight on
    return true;
}

bool FileWriter::flushBufferLocked() {
    if (m_used == 0 || fp == nullptr) return true;
    const std::size_t n = m_used;
    m_used = 0;
    if (platform::fwriteUnlocked(m_buf.get(), n, fp) == n) return true;
    closeAfterFailedWriteLocked();
    return false;
}

void FileWriter::closeAfterFailedWriteLocked() {
    const int e = errno;
    logDebug("::writeBytes, errno:$", e);
    std::fclose(fp);
    fp = nullptr;
    errno = e;  // the caller reads the write's errno, not the close's
}

bool FileWriter::flushAndClose() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) return false;
    bool ok = flushBufferLocked();
    if (fp != nullptr) ok = std::fclose(fp) == 0 && ok;
    fp = nullptr;
    return ok;
}

long long FileWriter::tell() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) nullPointerHandling(kSource, 60, QStringLiteral("fp == NULL"));
    return static_cast<long long>(std::ftell(fp)) + static_cast<long long>(m_used);
}

std::size_t FileWriter::write(const char* values, std::size_t n) {
    if (values == nullptr) nullPointerHandling(kSource, 48, QStringLiteral("values == NULL"));
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) nullPointerHandling(kSource, 50, QStringLiteral("fp == NULL"));
    if (n == 0) return 0;
    if (m_buf && n <= kBufferSize - m_used) {
        std::memcpy(m_buf.get() + m_used, values, n);
        m_used += n;
        return n;
    }
    if (!flushBufferLocked()) return 0;
    if (m_buf && n < kBufferSize) {
        std::memcpy(m_buf.get(), values, n);
        m_used = n;
        return n;
    }
    const std::size_t w = platform::fwriteUnlocked(values, n, fp);  // the mutex guards fp
    if (w == 0) closeAfterFailedWriteLocked();
    return w;
}

std::size_t FileWriter::write(const QByteArray& bytes) {
    if (bytes.isEmpty()) return 0;
    return write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

template <typename T>
bool FileWriter::writeValue(T v) {
    {
        // The common case: the value fits into the buffer.
        std::lock_guard<std::mutex> lock(mutex);
        if (fp != nullptr && m_buf && m_used + sizeof(T) <= kBufferSize) {
            std::memcpy(m_buf.get() + m_used, &v, sizeof(T));
            m_used += sizeof(T);
            return true;
        }
    }
    return write(reinterpret_cast<const char*>(&v), sizeof(T)) == sizeof(T);
}

bool FileWriter::writeChar(char v) { return writeValue(v); }
bool FileWriter::writeShort(short v) { return writeValue(v); }
bool FileWriter::writeInt(int v) { return writeValue(v); }
bool FileWriter::writeUINT(unsigned int v) { return writeValue(v); }
bool FileWriter::writeLONG(long long v) { return writeValue(v); }
bool FileWriter::writeULONG(unsigned long long v) { return writeValue(v); }
bool FileWriter::writeFloat(float v) { return writeValue(v); }
bool FileWriter::writeDouble(double v) { return writeValue(v); }
bool FileWriter::writeBool(bool v) { return writeValue(static_cast<unsigned char>(v ? 1 : 0)); }

bool FileWriter::writeString(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return write(bytes) == static_cast<std::size_t>(bytes.size());
}

bool FileWriter::writeLineAscii(const QString& s) {
    QByteArray bytes = s.toLatin1();
    bytes.append('\n');
    return write(bytes) == static_cast<std::size_t>(bytes.size());
}

// ---- whole blocks into files

bool FileWriter::writeWholeFile(AbstractMemory& block, const char* who, const QString& name, const char* data,
                                std::size_t size, std::size_t szPart, bool openFailureKeepsErrno) {
    // Checked before the file is opened: a refused save must not truncate what is there.
    if (szPart > size) {
        logError("$::saveToFile, szPart:$ > size:$ for '$'", who, static_cast<unsigned long long>(szPart),
                 static_cast<unsigned long long>(size), name);
        block.setZorError(ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    FileWriter writer;
    bool opened = false;
    {
        std::lock_guard<std::mutex> lock(writer.mutex);
        writer.fileName = name;
        opened = writer.openLocked(QFile::encodeName(name));
    }
    if (!opened) {
        const int e = errno;
        logError("XMem::saveToFile, cannot open file '$' for writing", name);
        if (openFailureKeepsErrno && e != 0)
            block.setErrno(e);
        else
            block.setZorError(ZOR_ERROR_CANNOT_READ_RESOURCE);
        return false;
    }
    const std::size_t n = szPart == 0 ? size : szPart;
    errno = 0;
    const std::size_t written = n > 0 ? writer.write(data, n) : 0;
    const bool closed = writer.isOpen() && writer.flushAndClose();
    if (written != n || !closed) {
        const int e = errno;
        logError("$::saveToFile, problems saving '$', ret:$, szToWrite:$", who, name, static_cast<unsigned long long>(written),
                 static_cast<unsigned long long>(n));
        if (e != 0)
            block.setErrno(e);
        else
            block.setZorError(ZOR_ERROR_CANNOT_READ_RESOURCE);
        return false;
    }
    return true;
}

bool FileWriter::saveToFile(XMem& mem, const QString& name, std::size_t szPart) { return mem.saveToFile(name, szPart); }
bool FileWriter::saveMem(XMem& mem, const QString& name) { return mem.saveMem(name); }
bool FileWriter::saveToFile(XByteArray& array, const QString& name, std::size_t szPart) {
    return array.saveToFile(name, szPart);
}

}  // namespace zor
