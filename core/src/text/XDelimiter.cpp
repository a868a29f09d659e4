#include <zor/Logger.h>
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

}  // namespace zor
