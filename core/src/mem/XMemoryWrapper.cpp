#include <zor/XMemoryWrapper.h>

#include <zor/ArrayTools.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XMem.h>

#include <cstring>

namespace zor {

namespace {
constexpr const char* kSource = "libSrc/core/src/tools/xmem/XMemoryWrapper";
}

XAtomic<bool> XMemoryWrapper::atomicFlagDebug{false};

void XMemoryWrapper::setDebug(bool on) { atomicFlagDebug = on; }
bool XMemoryWrapper::isDebug() { return atomicFlagDebug; }

XMemoryWrapper::XMemoryWrapper() = default;

XMemoryWrapper::XMemoryWrapper(void* mem, std::size_t sz, QIODevice::OpenMode mode) {
    if (mem == nullptr) nullPointerHandling(kSource, 24, QStringLiteral("mem == NULL"));
    pMem = pCurrent = static_cast<char*>(mem);
    m_size = sz;
    openWith(mode);
}

XMemoryWrapper::XMemoryWrapper(XByteArray& array, QIODevice::OpenMode mode) {
    char* p = array.data();
    if (p == nullptr) nullPointerHandling(kSource, 32, QStringLiteral("pMem == NULL"));
    pMem = pCurrent = p;
    m_size = static_cast<std::size_t>(array.size());
    openWith(mode);
}

XMemoryWrapper::XMemoryWrapper(XMem& mem, QIODevice::OpenMode mode) {
    if (mem.mem() == nullptr) {
        logWarning("XMemoryWrapper::XMemoryWrapper, pMem == nullptr");
        return;
    }
    pMem = pCurrent = mem.mem();
    m_size = mem.size();
    openWith(mode);
}

XMemoryWrapper::XMemoryWrapper(XMemoryWrapper&& other) : QIODevice(), AbstractMemory() {
    if (other.pMem == nullptr) nullPointerHandling(kSource, 49, QStringLiteral("pMem == NULL"));
    pMem = other.pMem;
    pCurrent = other.pCurrent;
    m_size = other.m_size;
    other.pMem = other.pCurrent = nullptr;
    other.m_size = 0;
}

XMemoryWrapper& XMemoryWrapper::operator=(XMemoryWrapper&& other) {
    if (this == &other) return *this;
    if (other.pMem == nullptr) nullPointerHandling(kSource, 59, QStringLiteral("pMem == NULL"));
    if (isOpen()) close();
    pMem = other.pMem;
    pCurrent = other.pCurrent;
    m_size = other.m_size;
    other.pMem = other.pCurrent = nullptr;
    other.m_size = 0;
    return *this;
}

XMemoryWrapper::~XMemoryWrapper() = default;

void XMemoryWrapper::openWith(QIODevice::OpenMode mode) {
    if (mode == QIODevice::NotOpen) return;
    if (!QIODevice::open(mode | QIODevice::Unbuffered))
        logError("XMemoryWrapper::XMemoryWrapper, cannot open device, err:$", errorString());
}

bool XMemoryWrapper::open(QIODevice::OpenMode mode) { return QIODevice::open(mode | QIODevice::Unbuffered); }

bool XMemoryWrapper::seek(qint64 p) {
    if (!isOpen()) {
        logError("XMemoryWrapper::seek, device not open");
        return false;
    }
    if (p < 0 || static_cast<std::size_t>(p) > m_size) {
        logError("XMemoryWrapper::seek, position $ outside 0-$", p, static_cast<unsigned long long>(m_size));
        return false;
    }
    pCurrent = pMem + p;
    return QIODevice::seek(p);
}

bool XMemoryWrapper::reset() {
    if (!isOpen()) {
        logError("XMemoryWrapper::reset_thumb, device not open");
        return false;
    }
    pCurrent = pMem;
    return QIODevice::reset();
}

bool XMemoryWrapper::atEnd() const {
    const bool end = restSize() < 1;
    if (end) logDebug("XMemoryWrapper::atEnd");
    return end;
}

qint64 XMemoryWrapper::bytesAvailable() const {
    logDebug("XMemoryWrapper::bytesAvailable");
    return static_cast<qint64>(restSize());
}

qint64 XMemoryWrapper::readData(char* data, qint64 maxSize) {
    if (data == nullptr) nullPointerHandling(kSource, 111, QStringLiteral("data == NULL"));
    const std::size_t rest = restSize();
    if (rest < 1) {
        logWarning("XMemoryWrapper::readData, EOF");
        return -1;
    }
    if (maxSize <= 0) return 0;
    const std::size_t n = static_cast<std::size_t>(maxSize) < rest ? static_cast<std::size_t>(maxSize) : rest;
    std::memcpy(data, pCurrent, n);
    pCurrent += n;
    return static_cast<qint64>(n);
}

qint64 XMemoryWrapper::writeData(const char* data, qint64 n) {
    const std::size_t rest = restSize();
    if (n < 0 || static_cast<std::size_t>(n) > rest) {
        logError("XMemoryWrapper::writeData, want to write:$ bytes but only:$ free bytes left", n,
                 static_cast<unsigned long long>(rest));
        return -1;
    }
    if (n > 0) std::memcpy(pCurrent, data, static_cast<std::size_t>(n));
    pCurrent += n;
    return n;
}

const char* XMemoryWrapper::mem() const {
    if (pMem == nullptr) nullPointerHandling(kSource, 137, QStringLiteral("pMem == NULL"));
    return pMem;
}

char* XMemoryWrapper::mem() {
    if (pMem == nullptr) nullPointerHandling(kSource, 142, QStringLiteral("pMem == NULL"));
    return pMem;
}

void XMemoryWrapper::fill(char c) {
    if (pMem != nullptr && m_size > 0) std::memset(pMem, c, m_size);
}

void XMemoryWrapper::fillPattern(const QString& pattern) {
    if (pMem != nullptr) AbstractMemory::fillPattern(pattern);
}

XByteArray XMemoryWrapper::createByteArray() {
    if (!isOpen()) {
        logError("XMemoryWrapper::createByteArray, XMemoryWrapper is not open!");
        return XByteArray();
    }
    if (!isOK()) {
        logError("XMemoryWrapper::createByteArray, error: '$'", errorString());
        return XByteArray();
    }
    if (pMem == nullptr) {
        logError("XMemoryWrapper::createByteArray, mem() == nullptr");
        return XByteArray();
    }
    if (m_size == 0) {
        logError("XMemoryWrapper::createByteArray, length() == 0");
        return XByteArray();
    }
    if (pCurrent == pMem) {
        logError("XMemoryWrapper::createByteArray, posMemory() == 0");
        return XByteArray();
    }
    XByteArray out;
    out.setMemory(pMem, static_cast<std::size_t>(pCurrent - pMem));
    return out;
}

MD5 XMemoryWrapper::createMD5() const {
    if (pMem == nullptr) {
        logError("XMemoryWrapper::createMD5, mem() == nullptr");
        return MD5();
    }
    if (m_size == 0) {
        logError("XMemoryWrapper::createMD5, length() == 0");
        return MD5();
    }
    MD5 md5;
    md5.updateLarge(pMem, static_cast<std::size_t>(pCurrent - pMem));
    md5.finalize();
    return md5;
}

QString XMemoryWrapper::toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const {
    if (!isOpen()) return QStringLiteral("XMemoryWrapper is not open!");
    if (!isOK()) return xformat("XMemoryWrapper, error:$", errAsString());
    if (pMem == nullptr) return QStringLiteral("XMemoryWrapper, mem() == nullptr");
    if (m_size == 0) return QStringLiteral("XMemoryWrapper, length() == 0");
    return ArrayTools::memToString(pMem, static_cast<std::size_t>(pCurrent - pMem), nBegin, nEnd, asc, hex, md5, 0, 0,
                                   QStringLiteral(","));
}

QString XMemoryWrapper::readString() { return QString::fromUtf8(readAll()); }

bool XMemoryWrapper::writeString(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    return write(utf8) == utf8.size();
}

}  // namespace zor
