#include <zor/Logger.h>
#include <zor/MemSearch.h>
#include <zor/XDelimiter.h>

#include <QByteArray>
#include <cstdint>
#include <cstring>

namespace zor {

const char* const XDelimiter::pDelimASCII = " \t{,;:./}()[]@\\+-*/%^#!?<>|&~=\"'`";
const QString XDelimiter::sDelimAscii = QString::fromLatin1(XDelimiter::pDelimASCII);
const QString XDelimiter::sDelimChinese = QStringLiteral(
    u"\u3002\uFF01\uFF0E\uFF0C\uFF1F\uFF1A\u2026\uFF08\uFF09\u9AD8\u201D\u300A\u300B\u201C\u3000");
const QString XDelimiter::sDelimAll = XDelimiter::sDelimAscii + XDelimiter::sDelimChinese;
const QString XDelimiter::sDelimAll_Sentence = QStringLiteral(".!?") + XDelimiter::sDelimChinese;

bool XDelimiter::isWord(const QString& text, int first, int last, const QString& delimiters) {
    const int n = text.size();
    if (first < 0 || last < first || last >= n || delimiters.isEmpty()) return false;
    if (delimiters.contains(text.at(first)) || delimiters.contains(text.at(last))) return false;
    const QChar before = first > 0 ? text.at(first - 1) : delimiters.at(0);
    const QChar after = last + 1 < n ? text.at(last + 1) : delimiters.at(0);
    return delimiters.contains(before) && delimiters.contains(after);
}

namespace {

// strchr finds the terminating zero as well: a zero byte counts as a delimiter.
inline bool isDelimiterByte(const char* pDelim, char c) { return std::strchr(pDelim, c) != nullptr; }

}  // namespace

bool XDelimiter::isWord(const char* pMem, std::size_t memLen, const char* pWord, std::size_t wordLen,
                        const char* pDelim) {
    if (pMem == nullptr) {
        logError("XDelimiter::isWord, pMem == nullptr");
        return false;
    }
    if (pWord == nullptr) {
        logError("XDelimiter::isWord, pWord == nullptr");
        return false;
    }
    if (pDelim == nullptr) {
        logError("XDelimiter::isWord, pDelim == nullptr");
        return false;
    }
    const std::uintptr_t mem = reinterpret_cast<std::uintptr_t>(pMem);
    const std::uintptr_t word = reinterpret_cast<std::uintptr_t>(pWord);
    if (word < mem || wordLen > memLen || word - mem > memLen - wordLen) {
        logError("XDelimiter::isWord, range !");
        return false;
    }
    if (wordLen == 0) return false;
    const std::size_t offset = word - mem;
    if (isDelimiterByte(pDelim, pWord[0]) || isDelimiterByte(pDelim, pWord[wordLen - 1])) return false;
    const char before = offset > 0 ? pMem[offset - 1] : ' ';
    const char after = offset + wordLen < memLen ? pMem[offset + wordLen] : ' ';
    return isDelimiterByte(pDelim, before) && isDelimiterByte(pDelim, after);
}

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
