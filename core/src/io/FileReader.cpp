#include <zor/FileReader.h>

#include <zor/FatalChecks.h>
#include <zor/FileTools.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>

#include "platform/Platform.h"

#include <QMutexLocker>
#include <atomic>
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

bool FileReader::open(const QString& name) {
    QMutexLocker lock(&mutex);
    if (fp != nullptr) {
        std::fclose(fp);
        fp = nullptr;
    }
    eof = false;
    fileName = name;
    fileLen = getFileLength(name);
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

long long FileReader::tell() { return XAbstractFile::tell(); }

std::size_t FileReader::readBytes(char* values, std::size_t n) {
    if (values == nullptr) nullPointerHandling(kSource, 64, QStringLiteral("values == NULL"));
    QMutexLocker lock(&mutex);
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
    QMutexLocker lock(&mutex);
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
    QMutexLocker lock(&mutex);
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
    QMutexLocker lock(&mutex);
    if (fp != nullptr)
        return fileName + QLatin1String(", open") + QLatin1String(", readPos:") +
               QString::number(static_cast<long long>(std::ftell(fp)));
    return fileName + QLatin1String(", not open reading");
}

}  // namespace zor
