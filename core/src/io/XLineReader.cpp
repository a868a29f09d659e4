#include <zor/AbstractMemory.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XFileMapper.h>
#include <zor/XLineReader.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zor {

XLineReader::XLineReader() = default;

XLineReader::XLineReader(const AbstractMemory& mem, std::size_t maxLen) { setMemory(&mem, maxLen); }

XLineReader::~XLineReader() { std::free(pLine); }

void XLineReader::setMemory(const AbstractMemory* mem, std::size_t maxLen) {
    if (mem == nullptr) nullPointerHandling("libSrc/core/src/tools/text/XLineReader", 52, QStringLiteral("mem == NULL"));
    if (maxLen < 2) {
        logError("XLineReader::setMaxLineLength, sz == $", static_cast<unsigned long long>(maxLen));
        maxLen = 2;
    }
    if (pLine == nullptr || maxLen != maxLineLength) {
        char* p = static_cast<char*>(std::malloc(maxLen));
        if (p == nullptr) nullPointerHandling("libSrc/core/src/tools/text/XLineReader", 58, QStringLiteral("pLine == NULL"));
        std::free(pLine);
        pLine = p;
        maxLineLength = maxLen;
    }
    pLine[0] = 0;
    memory = mem;
    // The length is taken once: a block that shrinks later (a truncated file) is never read past
    // what it had now, and what it has now is the most that is safe to read.
    const char* p = mem->mem();
    const std::size_t len = p != nullptr ? mem->length() : 0;
    pMemBegin = pCurrent = p;
    pEnd = p != nullptr ? p + len : nullptr;
}

const char* XLineReader::nextLine() {
    if (pCurrent == nullptr || pCurrent >= pEnd) return nullptr;
    const std::size_t rest = static_cast<std::size_t>(pEnd - pCurrent);
    const auto* lf = static_cast<const char*>(std::memchr(pCurrent, '\n', rest));
    if (lf != nullptr) {
        std::size_t d = static_cast<std::size_t>(lf - pCurrent);
        // A carriage return before the line feed is part of the terminator, not of the text: it
        // neither counts towards the buffer nor is copied.
        const std::size_t text = (d > 0 && lf[-1] == '\r') ? d - 1 : d;
        if (text < maxLineLength) {
            std::memcpy(pLine, pCurrent, text);
            pLine[text] = 0;
            pCurrent = lf + 1;
            return pLine;
        }
        const std::size_t n = maxLineLength - 1;
        std::memcpy(pLine, pCurrent, n);
        pLine[n] = 0;
        pCurrent += n;
        return pLine;
    }
    const std::size_t n = std::min(rest, maxLineLength - 1);
    std::memcpy(pLine, pCurrent, n);
    pLine[n] = 0;
    pCurrent += n;
    return pLine;
}

bool XLineReader::setMaxLineLength(std::size_t sz) {
    if (sz < 2) {
        logError("XLineReader::setMaxLineLength, sz == $", static_cast<unsigned long long>(sz));
        return false;
    }
    if (sz == maxLineLength && pLine != nullptr) return true;
    char* p = static_cast<char*>(std::malloc(sz));
    if (p == nullptr) {
        logError("XLineReader::setMaxLineLength, MEMORY PROBLEM, pLine == nullptr");
        return false;
    }
    p[0] = 0;
    std::free(pLine);
    pLine = p;
    maxLineLength = sz;
    return true;
}

void XLineReader::seekHome() {
    if (memory == nullptr) {
        logError("XLineReader::seekHome, memory == nullptr");
        return;
    }
    pCurrent = pMemBegin;
}

void XLineReader::clear() {
    memory = nullptr;
    pMemBegin = pCurrent = pEnd = nullptr;
}

QString XLineReader::midString(std::size_t start, std::size_t end) const {
    if (memory == nullptr) nullPointerHandling("libSrc/core/src/tools/text/XLineReader", 160, QStringLiteral("memory == NULL"));
    if (end <= start) {
        logWarning("XLineReader::midString, posEnd <= posStart, $ <= $", static_cast<unsigned long long>(end),
                   static_cast<unsigned long long>(start));
        return QString();
    }
    const std::size_t len = length();
    if (end > len) end = len;
    if (start >= end) return QString();
    if (end - start > static_cast<std::size_t>(INT_MAX / 2)) {
        logError("XLineReader::midString, $ bytes are too many for a string", static_cast<unsigned long long>(end - start));
        return QString();
    }
    return QString::fromUtf8(pMemBegin + start, static_cast<int>(end - start));
}

XUTF8_Detector XLineReader::detect_UTF8(std::size_t maxBytes) const {
    XUTF8_Detector d;
    if (memory == nullptr) {
        logError("XLineReader::detect_UTF8, memory == nullptr");
        return d;
    }
    const std::size_t n = std::min(maxBytes, length());
    // A length of 0 would make the detector measure a C string: nothing to look at here.
    if (n > 0) d.analyze(pMemBegin, n);
    return d;
}

QStringList XLineReader::all_lines_from_file(const QString& name, unsigned flags, std::size_t maxLen) {
    QStringList lines;
    XFileMapper mapper(name);
    if (!mapper.mapReadOnly()) {
        logDebug("XLineReader::all_lines_from_file, problems with '$'", name);
        return lines;
    }
    if (mapper.length() == 0) return lines;  // an empty file has no lines
    if (mapper.mem() == nullptr) {
        logDebug("XLineReader::all_lines_from_file, problems with '$'", name);
        return lines;
    }
    XLineReader reader(mapper, maxLen);
    while (const char* line = reader.nextLine()) {
        if ((flags & SKIP_EMPTY) != 0 && line[0] == 0) continue;
        if ((flags & SKIP_COMMENTS) != 0 && line[0] == '#') continue;
        lines << QString::fromUtf8(line);
    }
    return lines;
}

QStringList XLineReader::all_lines_from_file(const QFileInfo& fi, unsigned flags, std::size_t maxLen) {
    return all_lines_from_file(fi.absoluteFilePath(), flags, maxLen);
}

}  // namespace zor
