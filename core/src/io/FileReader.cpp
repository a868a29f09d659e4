#include <zor/FileReader.h>

#include <zor/FatalChecks.h>
#include <zor/FileTools.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/ZorErrorCodes.h>

#include "platform/Platform.h"

#include <QFile>
#include <mutex>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace zor {

namespace {

constexpr const char* kSource = "libSrc/core/src/tools/io/FileReader";
std::atomic<unsigned int> pauseMs{5000};

void failurePauseNow() {
    const unsigned int ms = pauseMs.load();
    if (ms > 0) xSleep(ms);
}

}  // namespace

void FileReader::setFailurePause(unsigned int ms) { pauseMs.store(ms); }
unsigned int FileReader::failurePause() { return pauseMs.load(); }

FileReader::FileReader(const QString& name) {
    if (!name.isEmpty()) open(name);
}

FileReader::FileReader(const char* name) {
    if (name == nullptr) nullPointerHandling(kSource, 20, QStringLiteral("pFileName == NULL"));
    if (*name != '\0') open(QString::fromLatin1(name));
}

FileReader::~FileReader() { close(); }

void FileReader::restart(const QString& name) {
    if (fp != nullptr) {
        std::fclose(fp);
        fp = nullptr;
    }
    eof = false;
    fileName = name;
    fileLen = getFileLength(name);
}

bool FileReader::open(const QString& name) {
    std::lock_guard<std::mutex> lock(mutex);
    restart(name);
    const QByteArray latin1 = name.toLatin1();
    // A name outside Latin-1 would reach the C runtime with '?' in place of its characters and
    // could name another file: it is refused instead.
    if (QString::fromLatin1(latin1) != name) errno = EINVAL;
    else fp = std::fopen(latin1.constData(), "rb");
    if (fp == nullptr) {
        const int e = errno;
        logDebug("FileReader::open, file problems with '$'", name);
        errno = e;
        return false;
    }
    return true;
}

bool FileReader::openNative(const QString& name) {
    std::lock_guard<std::mutex> lock(mutex);
    restart(name);
    // A directory opens as a stream on this platform and fails only at the first read.
    if (dirExists(name)) {
        errno = EISDIR;
        return false;
    }
    const QByteArray native = QFile::encodeName(name);
    if (native.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    fp = std::fopen(native.constData(), "rb");
    return fp != nullptr;
}

long long FileReader::tell() { return XAbstractFile::tell(); }

std::size_t FileReader::readBytes(char* values, std::size_t n) {
    if (values == nullptr) nullPointerHandling(kSource, 64, QStringLiteral("values == NULL"));
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) {
        logDebug("::readTheArray, fp == NULL");
        failurePauseNow();
        return 0;
    }
    if (n == 0) {
        logDebug("::readTheArray, within file '$', try to read 0 bytes", fileName);
        failurePauseNow();
        return 0;
    }
    errno = 0;
    const std::size_t r = platform::freadUnlocked(values, n, fp);  // the mutex guards fp
    if (r > 0) return r;
    const int e = errno;
    if (e == 0) {
        logDebug("::readTheArray, posMemory:$", static_cast<long long>(std::ftell(fp)));
        failurePauseNow();
    }
    if (std::feof(fp)) logDebug("::readTheArray, within file '$' EOF, close file now!", fileName);
    else logDebug("::readTheArray, r:$, within file '$', errno:$, try to close file", static_cast<unsigned long long>(r), fileName, e);
    failurePauseNow();
    std::fclose(fp);
    fp = nullptr;
    return r;
}

bool FileReader::seek(long long pos) {
    std::lock_guard<std::mutex> lock(mutex);
    logDebug("FileReader::seek, posMemory:$", pos);
    if (fp == nullptr) nullPointerHandling(kSource, 120, QStringLiteral("fp == NULL"));
    if (fseeko(fp, static_cast<off_t>(pos), SEEK_SET) != 0) {
        logDebug("FileBin::seek, problems at posMemory %$, errno:$", pos, errno);
        return false;
    }
    return true;
}

template <typename T>
T FileReader::readValue() {
    T v{};
    char bytes[sizeof(T)] = {};
    if (readBytes(bytes, sizeof(T)) == sizeof(T)) std::memcpy(&v, bytes, sizeof(T));
    return v;
}

char FileReader::readChar() { return readValue<char>(); }
short FileReader::readShort() { return readValue<short>(); }
int FileReader::readInt() { return readValue<int>(); }
unsigned int FileReader::readUINT() { return readValue<unsigned int>(); }
long long FileReader::readLONG() { return readValue<long long>(); }
unsigned long long FileReader::readULONG() { return readValue<unsigned long long>(); }
float FileReader::readFloat() { return readValue<float>(); }
double FileReader::readDouble() { return readValue<double>(); }
bool FileReader::readBool() { return readValue<unsigned char>() == 1; }

QString FileReader::readString() {
    QByteArray bytes;
    char c = 0;
    while (readBytes(&c, 1) == 1 && c != '\0') bytes.append(c);
    return QString::fromLatin1(bytes);
}

long long FileReader::readLastLONG() {
    if (fileLen < 8) {
        logDebug("FileReader::readLastLONG, len < 8");
        return -1;
    }
    if (!seek(fileLen - 8)) return -1;
    return readLONG();
}

QString FileReader::readAsciiLine(int maxLen) {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) {
        logError("FileReader::readAsciiLine - file not open");
        return QString();
    }
    if (eof) return QString();
    // At least one character per call, or a line reader would never get past a line.
    const int bufLen = maxLen < 4 ? 2 : maxLen - 2;
    std::unique_ptr<char[]> buf(new (std::nothrow) char[static_cast<std::size_t>(bufLen)]);
    if (!buf) return QString();
    if (std::fgets(buf.get(), bufLen, fp) == nullptr) {
        eof = true;
        return QString();
    }
    std::size_t len = std::strlen(buf.get());
    if (len > 0 && buf[len - 1] == '\n') --len;
    if (len > 0 && buf[len - 1] == '\r') --len;
    return QString::fromUtf8(buf.get(), static_cast<int>(len));
}

int FileReader::readAllAsciiLines(QStringList& lines, int maxLen, unsigned int flags) {
    int n = 0;
    while (!eof) {
        QString line = readAsciiLine(maxLen);
        if (eof || !isOpen()) break;
        if (flags & LINES_TRIM) line = line.trimmed();
        if ((flags & LINES_NO_EMPTY) && line.isEmpty()) continue;
        if ((flags & LINES_NO_COMMENT) && line.startsWith(QLatin1Char('#'))) continue;
        lines.append(line);
        ++n;
    }
    return n;
}

XByteArray FileReader::readXByteArrayFromFile(const QString& name, long long maxLen) {
    if (!fileExists(name)) {
        logDebug("FileReader::readXByteArrayFromFile, '$' does not exist", name);
        return XByteArray();
    }
    const long long len = getFileLength(name);
    if (len > maxLen) {
        logDebug("FileReader::readXByteArrayFromFile, '$ ' problems, lenReal:$, MAX_LEN:$", name, len, maxLen);
        return XByteArray();
    }
    if (len <= 0 || len > 0x7FFFF000LL) return XByteArray();
    FileReader reader(name);
    if (!reader.isOpen()) return XByteArray();
    QByteArray bytes(static_cast<int>(len), '\0');
    const std::size_t r = reader.readBytes(bytes.data(), static_cast<std::size_t>(len));
    bytes.resize(static_cast<int>(r));
    return XByteArray(std::move(bytes));
}

char* FileReader::readBufferFromFile(const QString& name, long long& len, long long maxLen) {
    len = 0;
    if (!fileExists(name)) {
        logDebug("FileReader::readBufferFromFile, '$' does not exist", name);
        return nullptr;
    }
    const long long real = getFileLength(name);
    if (real > maxLen) {
        logDebug("FileReader::readBufferFromFile, '$ ' problems, lenReal:$, MAX_LEN:$", name, real, maxLen);
        return nullptr;
    }
    if (real <= 0) return nullptr;
    FileReader reader(name);
    if (!reader.isOpen()) return nullptr;
    char* buf = new (std::nothrow) char[static_cast<std::size_t>(real)];
    if (buf == nullptr) {
        logError("FileReader::readBufferFromFile, cannot allocate $ bytes for '$'", real, name);
        return nullptr;
    }
    len = static_cast<long long>(reader.readBytes(buf, static_cast<std::size_t>(real)));
    return buf;
}

QString FileReader::toString() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp != nullptr)
        return fileName + QLatin1String(", open") + QLatin1String(", readPos:") +
               QString::number(static_cast<long long>(std::ftell(fp)));
    return fileName + QLatin1String(", not open reading");
}

// ---- whole files into memory blocks

namespace {

constexpr std::size_t kMaxArray = static_cast<std::size_t>(INT_MAX) - 4096;

// Sizing the target block: the first n bytes are written by the read, then the block is cut to
// what arrived. Null when the block could not grow (it logged that itself).
char* sizeBlock(XMem& m, std::size_t n) { return m.reAlloc(n) ? m.mem() : nullptr; }
void cutBlock(XMem& m, std::size_t n) { m.reAlloc(n); }
char* sizeBlock(XByteArray& a, std::size_t n) {
    a.resize(static_cast<int>(n));
    return a.size() == static_cast<int>(n) ? a.data() : nullptr;
}
void cutBlock(XByteArray& a, std::size_t n) { a.resize(static_cast<int>(n)); }
std::size_t blockLimit(const XMem&) { return static_cast<std::size_t>(LLONG_MAX); }
std::size_t blockLimit(const XByteArray&) { return kMaxArray; }

}  // namespace

template <typename Block>
bool FileReader::readWholeFile(Block& block, const QString& name, std::size_t szPart, const WholeRead& how) {
    // Qt resources exist only behind QFile; every other name goes through this class.
    const bool resource = name.startsWith(QLatin1Char(':'));
    if (!resource && how.missingIsDebug && !fileExists(name)) {
        logDebug("XMem::loadFromFile, file '$' does not exist", name);
        return false;
    }
    QFile qfile(name);
    FileReader reader;
    if (resource ? !qfile.open(QIODevice::ReadOnly) : !reader.openNative(name)) {
        const int e = errno;
        logError(resource ? how.cannotOpenResource : how.cannotOpen, name);
        if (!resource && how.openFailureKeepsErrno && e != 0)
            block.setErrno(e);
        else
            block.setZorError(ZOR_ERROR_CANNOT_READ_RESOURCE);
        return false;
    }
    const long long len = resource ? qfile.size() : reader.fileLen;
    const std::size_t extra = how.addZero ? 1 : 0;
    if (len <= 0 && how.emptyIsError && !resource) {
        logError("XMem::loadFromFile, cannot open file '$' for reading, file is empty - 0 bytes", name);
        block.setZorError(ZOR_ERROR_CANNOT_READ_RESOURCE);
        return false;
    }
    const std::size_t fileLen = len > 0 ? static_cast<std::size_t>(len) : 0;
    std::size_t n = szPart == 0 ? fileLen : szPart;
    if (n > fileLen) {
        if (how.refuseLongPart) {
            logError("XByteArray::loadFromFile, szPart:$ > file length:$ for '$'", static_cast<unsigned long long>(szPart), len,
                     name);
            block.setZorError(ZOR_ERROR_NUMBER_TOO_BIG);
            return false;
        }
        n = fileLen;
    }
    if (n > blockLimit(block) - extra) {
        logError("XByteArray::loadFromFile, '$' has $ bytes, too many for an array", name, len);
        block.setZorError(ZOR_ERROR_NUMBER_TOO_BIG);
        return false;
    }
    char* p = sizeBlock(block, n + extra);
    if (p == nullptr) return false;
    std::size_t got = 0;
    if (resource) {
        const qint64 r = n > 0 ? qfile.read(p, static_cast<qint64>(n)) : 0;
        got = r > 0 ? static_cast<std::size_t>(r) : 0;
    } else {
        // Read here rather than through readBytes: a file that shrank is a short read, not a pause.
        std::lock_guard<std::mutex> lock(reader.mutex);
        while (got < n) {
            const std::size_t r = platform::freadUnlocked(p + got, n - got, reader.fp);
            if (r == 0) break;
            got += r;
        }
    }
    // The block may have held longer contents before: the terminator is written, not assumed.
    if (how.addZero) p[got] = '\0';
    if (got < n) cutBlock(block, got + extra);
    return got > 0;
}

template bool FileReader::readWholeFile<XMem>(XMem&, const QString&, std::size_t, const WholeRead&);
template bool FileReader::readWholeFile<XByteArray>(XByteArray&, const QString&, std::size_t, const WholeRead&);

bool FileReader::loadFromFile(XMem& mem, const QString& name, std::size_t szPart) {
    return mem.loadFromFile(name, szPart);
}
bool FileReader::loadFromFileAsString(XMem& mem, const QString& name) { return mem.loadFromFileAsString(name); }
bool FileReader::loadMem(XMem& mem, const QString& name) { return mem.loadMem(name); }
bool FileReader::loadFromFile(XByteArray& array, const QString& name, std::size_t szPart) {
    return array.loadFromFile(name, szPart);
}
XByteArray FileReader::load(const QString& name) { return XByteArray::load(name); }

}  // namespace zor
