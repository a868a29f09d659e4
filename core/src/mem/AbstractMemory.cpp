#include <zor/AbstractMemory.h>

#include <zor/ArrayTools.h>
#include <zor/Logger.h>
#include <zor/XByteArray.h>

#include <QBuffer>
#include <climits>
#include <cstring>
#include <new>

namespace zor {

XAtomic<bool> AbstractMemory::atomicFlagDebug{false};

AbstractMemory::~AbstractMemory() = default;

void AbstractMemory::setDebug(bool on) { atomicFlagDebug = on; }
bool AbstractMemory::isDebug() { return atomicFlagDebug; }

bool AbstractMemory::setMem(const void* pMem, std::size_t sz) {
    if (pMem == nullptr) {
        logError("AbstractMemory::set_mem_file, pMem == null");
        return false;
    }
    if (sz > length()) {
        logError("AbstractMemory::set_mem_file, sz > length(), $ > $", static_cast<unsigned long long>(sz),
                 static_cast<unsigned long long>(length()));
        return false;
    }
    if (sz > 0) std::memcpy(mem(), pMem, sz);
    return true;
}

bool AbstractMemory::setString(const char* s, bool withTerminator) {
    if (s == nullptr) {
        logError("AbstractMemory::setString, pMem == null");
        return false;
    }
    return setMem(s, std::strlen(s) + (withTerminator ? 1 : 0));
}

bool AbstractMemory::setQString(const QString& s) {
    const QByteArray latin1 = s.toLatin1();
    return setString(latin1.constData(), true);
}

void AbstractMemory::fill(char c) {
    char* p = mem();
    if (p != nullptr && length() > 0) std::memset(p, c, length());
}

void AbstractMemory::fillPattern(const QString& pattern) {
    char* p = mem();
    const std::size_t n = length();
    if (p == nullptr || n == 0 || pattern.isEmpty()) return;
    const QByteArray pat = pattern.toLatin1();
    const std::size_t m = static_cast<std::size_t>(pat.size());
    // Copy the pattern once, then double the filled part: a few memcpy calls for any length.
    std::size_t done = m < n ? m : n;
    std::memcpy(p, pat.constData(), done);
    while (done < n) {
        const std::size_t chunk = (done / m) * m;  // whole repetitions keep the phase
        const std::size_t step = chunk < n - done ? chunk : n - done;
        std::memcpy(p + done, p, step);
        done += step;
    }
}

int AbstractMemory::charAt(unsigned int pos) const {
    const char* p = mem();
    if (p == nullptr) {
        logError("AbstractMemory::charAt, mem() == nullptr");
        return -1;
    }
    if (length() == 0) {
        logError("AbstractMemory::charAt, length() == nullptr");
        return 0;
    }
    if (pos >= length()) {
        logError("AbstractMemory::charAt, rnage problem, valid range 0-$, position to read:$",
                 static_cast<unsigned long long>(length()), pos);
        return 0;
    }
    return static_cast<int>(static_cast<signed char>(p[pos]));
}

MD5 AbstractMemory::createMD5() const {
    const char* p = mem();
    if (p == nullptr) {
        logError("AbstractMemory::createMD5, mem() == nullptr");
        return MD5();
    }
    if (length() == 0) {
        logError("AbstractMemory::createMD5, length() == 0");
        return MD5();
    }
    MD5 md5;
    md5.updateLarge(p, length());
    md5.finalize();
    return md5;
}

bool AbstractMemory::hasSameContents(const AbstractMemory& other) const {
    if (mem() == nullptr) {
        logError("AbstractMemory::hasSameContents, mem() == nullptr");
        return false;
    }
    if (length() == 0) {
        logError("AbstractMemory::hasSameContents, length() == 0");
        return false;
    }
    return createMD5() == other.createMD5();
}

const char* AbstractMemory::memCopy() const {
    const char* p = mem();
    if (p == nullptr) {
        logError("AbstractMemory::memCopy, mem() == nullptr");
        return nullptr;
    }
    if (length() == 0) {
        logError("AbstractMemory::memCopy, length() == 0");
        return nullptr;
    }
    char* copy = static_cast<char*>(::operator new(length(), std::nothrow));
    if (copy == nullptr) {
        logError("AbstractMemory::memCopy, cannot allocate $ bytes", static_cast<unsigned long long>(length()));
        return nullptr;
    }
    std::memcpy(copy, p, length());
    return copy;
}

char* AbstractMemory::memCopy() { return const_cast<char*>(static_cast<const AbstractMemory*>(this)->memCopy()); }

QString AbstractMemory::toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const {
    if (!isOK()) return xformat("AbstractMemory, error:$", errAsString());
    const char* p = mem();
    if (p == nullptr) return QStringLiteral("mem() == nullptr");
    if (length() == 0) return QStringLiteral("length() == 0");
    return ArrayTools::memToString(p, length(), nBegin, nEnd, asc, hex, md5, 0, 0, QStringLiteral(","));
}

std::string AbstractMemory::toStdString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const {
    return toString(nBegin, nEnd, asc, hex, md5).toStdString();
}

QString AbstractMemory::toString_MD5() const { return toString(5, 5, false, false, true); }

QString AbstractMemory::toString_Hex_MD5(std::size_t nBegin, std::size_t nEnd) const {
    return toString(nBegin, nEnd, false, true, true);
}

QString AbstractMemory::toString_ASC_Hex_MD5(std::size_t nBegin, std::size_t nEnd) const {
    return toString(nBegin, nEnd, true, true, true);
}

void AbstractMemory::show(unsigned int space) const {
    if (!Logger::acceptsLevel(DEBUG)) return;
    logDebugSpace(space, "$", toString(5, 5, false, true, false));
}

bool AbstractMemory::writeToQBuffer(QBuffer& buffer) const {
    const char* p = mem();
    if (p == nullptr || length() == 0 || length() > static_cast<std::size_t>(INT_MAX)) return false;
    buffer.setData(p, static_cast<int>(length()));
    return true;
}

}  // namespace zor
