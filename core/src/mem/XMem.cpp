#include <zor/XMem.h>

#include <zor/ArrayTools.h>
#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XByteArray.h>
#include <zor/XNullDevice.h>
#include <zor/ZorErrorCodes.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace zor {

namespace {

constexpr const char* kSource = "libSrc/core/src/tools/xmem/XMem";
constexpr std::size_t kEightGiB = 8ull << 30;
constexpr std::size_t kMaxArray = static_cast<std::size_t>(INT_MAX) - 4096;
// No object may be larger than the address difference type can measure.
constexpr std::size_t kMaxBlock = static_cast<std::size_t>(PTRDIFF_MAX);
using Len = long long;  // the integer of the string-array layout

std::atomic<unsigned int> blockCounter{0};

}  // namespace

unsigned int XMem::nextBlockNumber() { return blockCounter.fetch_add(1); }

// ---- storage

bool XMem::reserveFor(std::size_t sz) {
    if (sz <= m_capacity) return true;
    if (sz > kMaxBlock) {
        logError("XMem::reAlloc, cannot allocate $ bytes", static_cast<unsigned long long>(sz));
        setErrno(ENOMEM);
        return false;
    }
    std::size_t cap = m_capacity > kMaxBlock / 2 ? kMaxBlock : m_capacity * 2;
    if (cap < sz) cap = sz;
    void* p = std::realloc(m_data, cap);
    if (p == nullptr && cap > sz) {  // the doubled size may be too much where the exact one fits
        cap = sz;
        p = std::realloc(m_data, cap);
    }
    if (p == nullptr) {
        logError("XMem::reAlloc, cannot allocate $ bytes", static_cast<unsigned long long>(sz));
        setErrno(ENOMEM);
        return false;
    }
    m_data = static_cast<char*>(p);
    m_capacity = cap;
    return true;
}

bool XMem::resize(std::size_t sz) {
    if (!reserveFor(sz)) return false;
    if (sz > m_size) std::memset(m_data + m_size, 0, sz - m_size);
    m_size = sz;
    return true;
}

void XMem::release() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

// ---- construction

XMem::XMem() : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem");
}

XMem::XMem(std::size_t sz, int fill) : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( sz:$ )", static_cast<unsigned long long>(sz));
    if (sz > 0 && resize(sz) && fill >= 0) std::memset(m_data, static_cast<unsigned char>(fill), sz);
}

XMem::XMem(const char* text) : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( const char *pStr )");
    setString(text);
}

XMem::XMem(const QString& text) : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( QString )");
    setString(text);
}

XMem::XMem(const std::string& text) : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( std::string )");
    setString(text);
}

XMem::XMem(const QByteArray& bytes) : m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( const QByteArray & ar )");
    set_raw_data(bytes);
}

XMem::XMem(const XMem& other) : AbstractMemory(), m_counterMemBlock(nextBlockNumber()) {
    if (isDebug()) logDebug("XMem::XMem ( const XMem & mem )");
    if (other.m_size > 0 && resize(other.m_size)) std::memcpy(m_data, other.m_data, other.m_size);
}

XMem::XMem(XMem&& other) noexcept
    : AbstractMemory(other),
      m_data(other.m_data),
      m_size(other.m_size),
      m_capacity(other.m_capacity),
      m_counterMemBlock(other.m_counterMemBlock) {
    if (isDebug()) logDebug("XMem::XMem( MOVE )");
    other.m_data = nullptr;
    other.m_size = 0;
    other.m_capacity = 0;
    other.clearError();
}

XMem::~XMem() { std::free(m_data); }

XMem& XMem::operator=(const XMem& other) {
    if (isDebug()) logDebug("XMem::operator= ( const XMem & mem )");
    if (this == &other) return *this;
    m_counterMemBlock = nextBlockNumber();
    if (resize(other.m_size) && other.m_size > 0) std::memcpy(m_data, other.m_data, other.m_size);
    return *this;
}

XMem& XMem::operator=(XMem&& other) noexcept {
    if (isDebug()) logDebug("XMem::opertor = ( MOVE )");
    if (this == &other) return *this;
    release();
    XError::operator=(other);
    m_data = other.m_data;
    m_size = other.m_size;
    m_capacity = other.m_capacity;
    m_counterMemBlock = other.m_counterMemBlock;
    other.m_data = nullptr;
    other.m_size = 0;
    other.m_capacity = 0;
    other.clearError();
    return *this;
}

XMem& XMem::operator=(const QByteArray& bytes) {
    set_raw_data(bytes);
    return *this;
}

XMem& XMem::operator=(const QString& text) {
    setString(text);
    return *this;
}

XMem& XMem::operator=(const char* text) {
    setString(text);
    return *this;
}

XMem& XMem::operator=(const std::string& text) {
    setString(text);
    return *this;
}

void XMem::_assign(const XMem& other) {
    if (isDebug()) logDebug("XMem::_assign");
    if (this == &other) return;
    if (resize(other.m_size) && other.m_size > 0) std::memcpy(m_data, other.m_data, other.m_size);
    XError::operator=(other);
    m_counterMemBlock = other.m_counterMemBlock;
}

XMem XMem::copy() {
    XMem result;
    result._assign(*this);
    m_counterMemBlock = nextBlockNumber();
    return result;
}

// ---- contents

bool XMem::reAlloc(std::size_t sz, int fill) {
    if (isDebug()) logDebug("XMem::reAlloc, sz:$", static_cast<unsigned long long>(sz));
    if (!resize(sz)) return false;
    if (fill != -1 && sz > 0) std::memset(m_data, static_cast<char>(fill), sz);
    return true;
}

bool XMem::setMem(const void* pMem, std::size_t sz) {
    if (pMem == nullptr) {
        logError("AbstractMemory::setMem, pMem == null");
        return false;
    }
    if (isDebug()) logDebug("XMem::setMem, sz:$", static_cast<unsigned long long>(sz));
    if (isDebug()) logDebug("XMem::reAlloc, sz:$", static_cast<unsigned long long>(sz));
    return set_raw_data(pMem, sz);
}

bool XMem::set_raw_data(const void* pMem, std::size_t sz) {
    if (pMem == nullptr) nullPointerHandling(kSource, 190, QStringLiteral("pMem == NULL"));
    if (isDebug()) logDebug("XMem::set_raw_data, sz:$", static_cast<unsigned long long>(sz));
    const char* src = static_cast<const char*>(pMem);
    // The source may lie inside this block: keep its offset across a reallocation.
    const bool inside = m_data != nullptr && src >= m_data && src < m_data + m_capacity;
    const std::size_t offset = inside ? static_cast<std::size_t>(src - m_data) : 0;
    if (sz > m_size && !reserveFor(sz)) return false;
    if (inside) src = m_data + offset;
    if (sz > 0) std::memmove(m_data, src, sz);
    m_size = sz;
    return true;
}

bool XMem::set_raw_data(const QByteArray& bytes) {
    return set_raw_data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool XMem::append_raw_data(const void* pMem, std::size_t sz) {
    if (pMem == nullptr) nullPointerHandling(kSource, 208, QStringLiteral("ppMem == NULL"));
    if (isDebug()) logDebug("XMem::append_raw_data, sz:$", static_cast<unsigned long long>(sz));
    if (sz == 0) return true;
    if (sz > SIZE_MAX - m_size) {
        logError("XMem::append_raw_data, cannot allocate $ + $ bytes", static_cast<unsigned long long>(m_size),
                 static_cast<unsigned long long>(sz));
        setErrno(ENOMEM);
        return false;
    }
    const char* src = static_cast<const char*>(pMem);
    const bool inside = m_data != nullptr && src >= m_data && src < m_data + m_capacity;
    const std::size_t offset = inside ? static_cast<std::size_t>(src - m_data) : 0;
    const std::size_t old = m_size;
    if (!reserveFor(old + sz)) return false;
    if (inside) src = m_data + offset;
    std::memmove(m_data + old, src, sz);
    m_size = old + sz;
    return true;
}

bool XMem::append_raw_data(const QByteArray& bytes) {
    return append_raw_data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool XMem::setString(const char* text) {
    m_size = 0;
    if (text == nullptr) {
        logTest("XMem::setString, pString == null");
        return false;
    }
    const std::size_t len = std::strlen(text);
    if (len > kEightGiB) Logger::printToCout(xformat("XMem::setString, len > 8GB, len:$", format1000(static_cast<long long>(len))));
    return set_raw_data(text, len + 1);
}

bool XMem::setString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return set_raw_data(utf8.constData(), static_cast<std::size_t>(utf8.size()) + 1);  // QByteArray keeps a zero at the end
}

bool XMem::setString(const std::string& text) { return set_raw_data(text.c_str(), text.size() + 1); }

void XMem::clear() {
    clearError();
    m_size = 0;
}

// ---- string arrays

bool XMem::append_string(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    const Len len = utf8.size();
    return append_raw_data(&len, sizeof len) && append_raw_data(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

bool XMem::set_string_array(const QStringList& list) {
    m_size = 0;
    std::size_t total = sizeof(Len);
    for (const QString& s : list) total += sizeof(Len) + static_cast<std::size_t>(s.size()) * 3;  // UTF-8 upper bound
    if (!reserveFor(total)) return false;
    const Len count = list.size();
    if (!append_raw_data(&count, sizeof count)) return false;
    for (const QString& s : list)
        if (!append_string(s)) return false;
    return true;
}

QStringList XMem::get_string_array() const {
    QStringList out;
    if (m_size == 0) return out;
    if (m_size < sizeof(Len)) {
        logError("XMem::get_string_array, byteArray.size() < sizeof (long long)");
        return out;
    }
    Len count = 0;
    std::memcpy(&count, m_data, sizeof count);
    if (count < 0) {
        logError("XMem::get_string_array, count:$ < 0, size:$", count, static_cast<unsigned long long>(m_size));
        return out;
    }
    std::size_t off = sizeof(Len);
    for (Len i = 0; i < count; ++i) {
        Len len = -1;
        if (m_size - off >= sizeof(Len)) std::memcpy(&len, m_data + off, sizeof len);
        // len stays -1 when not even the length field fits.
        if (len < 0 || static_cast<unsigned long long>(len) > m_size - off - sizeof(Len) ||
            static_cast<unsigned long long>(len) > kMaxArray) {
            logError("XMem::get_string_array, string $ of $ runs past the end of the block, offset:$, size:$", i, count,
                     static_cast<unsigned long long>(off), static_cast<unsigned long long>(m_size));
            return out;
        }
        off += sizeof(Len);
        out.append(QString::fromUtf8(m_data + off, static_cast<int>(len)));
        off += static_cast<std::size_t>(len);
    }
    return out;
}

QString XMem::get_string() const {
    if (m_size == 0) return QString();
    const std::size_t n = m_size - 1;
    return QString::fromUtf8(m_data, n > kMaxArray ? static_cast<int>(kMaxArray) : static_cast<int>(n));
}

std::size_t XMem::stringLen() const {
    const void* zero = m_size > 0 ? std::memchr(m_data, 0, m_size) : nullptr;
    if (zero == nullptr) {
        logWarning("XMem::stringLen - len is string len is bigger than capacity, return 0 now. $ > $",
                   static_cast<unsigned long long>(m_size), static_cast<unsigned long long>(m_size));
        return 0;
    }
    return static_cast<std::size_t>(static_cast<const char*>(zero) - m_data);
}

bool XMem::charAtPos(char& out, std::size_t pos) {
    if (m_data == nullptr || m_size == 0) {
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    if (pos >= m_size) {
        setZorError(ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    out = m_data[pos];
    return true;
}

bool XMem::setCharAtPos(char c, std::size_t pos) {
    if (m_data == nullptr) {
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    if (pos >= m_size) {
        setZorError(ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    m_data[pos] = c;
    return true;
}

// ---- views

XByteArray XMem::createByteArray() {
    if (m_data == nullptr) {
        logError("XMem::createByteArray, mem() == nullptr");
        return XByteArray();
    }
    if (m_size == 0) {
        logError("XMem::createByteArray, length() == 0");
        return XByteArray();
    }
    if (m_size > kMaxArray) {
        logError("XMem::createByteArray, $ bytes are too many for an array", static_cast<unsigned long long>(m_size));
        return XByteArray();
    }
    return XByteArray(m_data, static_cast<int>(m_size));
}

XRamInfo XMem::createRamInfo() const { return XRamInfo::ramInfoFromRawMemory(m_data, m_size); }

QString XMem::toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const {
    if (m_data == nullptr) return QStringLiteral("mem() == nullptr");
    if (m_size == 0) return QStringLiteral("length() == 0");
    return ArrayTools::memToString(m_data, m_size, nBegin, nEnd, asc, hex, md5, 0, 0, QStringLiteral(","));
}

}  // namespace zor
