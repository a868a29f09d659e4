#include <zor/MemSearch.h>

#include <zor/Logger.h>
#include <zor/XDelimiter.h>

#include <QByteArray>
#include <cstring>

namespace zor {

namespace {

inline unsigned char lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// The first occurrence of pat in mem, without argument checks or log lines (len >= 1).
const char* findBytes(const char* mem, std::size_t memSize, const char* pat, std::size_t len, bool ignoreCase) {
    if (len == 0 || memSize < len) return nullptr;
    const std::size_t lastStart = memSize - len;
    if (!ignoreCase) {
        const char first = pat[0];
        std::size_t pos = 0;
        while (pos <= lastStart) {
            const void* hit = std::memchr(mem + pos, first, lastStart - pos + 1);
            if (hit == nullptr) return nullptr;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - mem);
            if (std::memcmp(mem + at + 1, pat + 1, len - 1) == 0) return mem + at;
            pos = at + 1;
        }
        return nullptr;
    }
    const unsigned char* m = reinterpret_cast<const unsigned char*>(mem);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pat);
    const unsigned char first = lowerAscii(p[0]);
    for (std::size_t at = 0; at <= lastStart; ++at) {
        if (lowerAscii(m[at]) != first) continue;
        std::size_t k = 1;
        while (k < len && lowerAscii(m[at + k]) == lowerAscii(p[k])) ++k;
        if (k == len) return mem + at;
    }
    return nullptr;
}

// The argument checks of memSearch, with their log lines.
bool checkSearch(const char* pMem, std::size_t memSize, const char* pSearch, std::size_t lenSearch) {
    if (lenSearch == 0) {
        logError("zor::memSearch, lenSearch == 0");
        return false;
    }
    if (memSize == 0) {
        logError("zor::memSearch, memSize == 0");
        return false;
    }
    if (memSize < lenSearch) {
        logWarning("zor::memSearch, memSize < lenSearch");
        return false;
    }
    if (pMem == nullptr) {
        logError("zor::memSearch, pMem == nullptr");
        return false;
    }
    if (pSearch == nullptr) {
        logError("zor::memSearch, pSearch == nullptr");
        return false;
    }
    return true;
}

}  // namespace

const char* memSearch(const char* pMem, std::size_t memSize, const char* pSearch, std::size_t lenSearch,
                      bool ignoreCase) {
    if (!checkSearch(pMem, memSize, pSearch, lenSearch)) return nullptr;
    return findBytes(pMem, memSize, pSearch, lenSearch, ignoreCase);
}

const char* memSearch(const char* pMem, std::size_t memSize, const QString& search, bool ignoreCase) {
    const QByteArray s = search.toUtf8();
    return memSearch(pMem, memSize, s.constData(), static_cast<std::size_t>(s.size()), ignoreCase);
}

const char* memSearchWord(const char* pMem, std::size_t memSize, const QString& word, bool ignoreCase) {
    const QByteArray w = ignoreCase ? word.toLower().toUtf8() : word.toUtf8();
    const std::size_t len = static_cast<std::size_t>(w.size());
    if (!checkSearch(pMem, memSize, w.constData(), len)) return nullptr;
    std::size_t pos = 0;
    while (pos + len <= memSize) {
        const char* hit = findBytes(pMem + pos, memSize - pos, w.constData(), len, ignoreCase);
        if (hit == nullptr) return nullptr;
        if (XDelimiter::isWord(pMem, memSize, hit, len, XDelimiter::pDelimASCII)) return hit;
        pos = static_cast<std::size_t>(hit - pMem) + 1;
    }
    return nullptr;
}

}  // namespace zor
