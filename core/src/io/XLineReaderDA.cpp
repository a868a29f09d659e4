#include <zor/AbstractMemory.h>
#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/XDelimiter.h>
#include <zor/XLineReaderDA.h>

#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor {

const unsigned char XLineReaderDA::breakSequences[15][3] = {
    {0xE3, 0x80, 0x82},  // U+3002 ideographic full stop
    {0xEF, 0xBC, 0x81},  // U+FF01
    {0xEF, 0xBC, 0x8E},  // U+FF0E
    {0xEF, 0xBC, 0x8C},  // U+FF0C
    {0xEF, 0xBC, 0x9F},  // U+FF1F
    {0xEF, 0xBC, 0x9A},  // U+FF1A
    {0xE2, 0x80, 0xA6},  // U+2026 ellipsis
    {0xEF, 0xBC, 0x88},  // U+FF08
    {0xEF, 0xBC, 0x89},  // U+FF09
    {0xE9, 0xAB, 0x98},  // U+9AD8
    {0xE2, 0x80, 0x9D},  // U+201D
    {0xE3, 0x80, 0x8A},  // U+300A
    {0xE3, 0x80, 0x8B},  // U+300B
    {0xE2, 0x80, 0x9C},  // U+201C
    {0xE3, 0x80, 0x80},  // U+3000 ideographic space
};

namespace {

// How often the index build looks at the file's size (and reports progress).
constexpr std::size_t kCheckEvery = std::size_t(64) << 20;
// Lengths are 32-bit in the records and lines become QStrings: a piece stays well below both.
constexpr std::size_t kMaxLineLength = std::size_t(1) << 30;
// paragraphAt looks this many entries to each side at most.
constexpr std::size_t kParagraphReach = 10000;

// The longest line asked for, brought into 1..kMaxLineLength; one error line when it was outside.
std::size_t validMaxLineLength(std::size_t maxLen) {
    if (maxLen != 0 && maxLen <= kMaxLineLength) return maxLen;
    const std::size_t used = maxLen == 0 ? 1 : kMaxLineLength;
    logError("XLineReaderDA::setMaxLineLength, $ is out of range 1-$, using $", static_cast<unsigned long long>(maxLen),
             static_cast<unsigned long long>(kMaxLineLength), static_cast<unsigned long long>(used));
    return used;
}

struct DelimTable {
    std::array<bool, 256> is{};
    DelimTable() {
        for (const char* p = XDelimiter::pDelimASCII; *p != 0; ++p) is[static_cast<unsigned char>(*p)] = true;
    }
};

const DelimTable& delims() {
    static const DelimTable t;
    return t;
}

bool isBreakSequence(const unsigned char* p) {
    for (const auto& seq : XLineReaderDA::breakSequences) {
        if (p[0] == seq[0] && p[1] == seq[1] && p[2] == seq[2]) return true;
    }
    return false;
}

// An entry that stands for an empty file line (not a piece of a longer one).
bool isEmptyLine(const XLineInfo& li) { return li.lenBytes == 0 && li.pieceIndex <= 0; }

const char kEmpty[1] = {0};

}  // namespace

XLineReaderDA::XLineReaderDA() = default;

XLineReaderDA::XLineReaderDA(const AbstractMemory& mem, std::size_t maxLen, bool createIndex) {
    setMemory(mem, maxLen, createIndex);
}

XLineReaderDA::~XLineReaderDA() = default;

bool XLineReaderDA::isOpen() const {
    if (isFile.load()) return fileMapper.isMapped() && lineReader.getMemory() != nullptr;
    return lineReader.getMemory() != nullptr;
}

bool XLineReaderDA::begin(bool fromFile, const QString& name) {
    if (isOpen()) {
        logError("XLineReaderDA::openFile, <<<$>>> already mapped", sFileName);
        return false;
    }
    isFile = fromFile;
    longest = 0;
    arLines.clear();
    sFileName = name;
    return true;
}

bool XLineReaderDA::openFile(const QString& name, std::size_t maxLen, bool createIndex) {
    if (!begin(true, name)) return false;
    fileMapper.setFileName(name);
    if (!fileMapper.mapReadOnly()) {
        logError("XLineReaderDA::open, problems mapping file <$> !", name);
        return false;
    }
    // mem() is null for an empty file as for one that cannot be mapped; it takes the size once.
    if (fileMapper.mem() == nullptr) {
        logError("XLineReaderDA::open, mem() == nullptr, file <$> !", name);
        if (fileMapper.isMapped()) fileMapper.unMap();
        return false;
    }
    return attach(fileMapper, maxLen, createIndex);
}

bool XLineReaderDA::openFile(const QFileInfo& fi, std::size_t maxLen, bool createIndex) {
    return openFile(fi.absoluteFilePath(), maxLen, createIndex);
}

bool XLineReaderDA::setMemory(const AbstractMemory& mem, std::size_t maxLen, bool createIndex) {
    if (!begin(false, QString())) return false;
    return attach(mem, maxLen, createIndex);
}

bool XLineReaderDA::attach(const AbstractMemory& mem, std::size_t maxLen, bool createIndex) {
    maxLineLen = validMaxLineLength(maxLen);
    lineReader.setMemory(&mem, 2);
    if (createIndex) create_internal_line_infos();
    return true;
}

void XLineReaderDA::closeFile() {
    lineReader.clear();
    if (fileMapper.isMapped()) fileMapper.unMap();
    arLines.clear();
    arLines.shrink_to_fit();
    longest = 0;
}

bool XLineReaderDA::fileStillCovers(std::uint64_t end) const {
    if (!isFile.load()) return true;
    const long long now = platform::fileSizeByName(sFileName);
    // A removed (or unreadable) name leaves the mapped inode intact: only a smaller size hurts.
    return now < 0 || static_cast<std::uint64_t>(now) >= end;
}

void XLineReaderDA::checkBinary(std::size_t len) {
    const auto* p = reinterpret_cast<const unsigned char*>(lineReader.memBegin());
    const std::size_t n = std::min<std::size_t>(len, 1024);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c < 32 && c != 8 && c != 9 && c != 10 && c != 13) {
            isBinary = true;
            return;
        }
    }
}

// The length of the next piece of an over-long line starting at pos (the line goes on past
// pos + maxLineLen, so the byte at the candidate end exists and is not a line feed).
std::size_t XLineReaderDA::wrapPiece(const char* base, std::size_t pos) {
    const auto* b = reinterpret_cast<const unsigned char*>(base);
    const std::size_t cand = pos + maxLineLen;
    const auto& delim = delims().is;
    for (std::size_t k = cand + 1; k-- > pos;) {
        const unsigned char c = b[k];
        if (delim[c]) return k == cand ? maxLineLen : k - pos + 1;
        if (c >= 0xE2 && k + 3 <= cand && isBreakSequence(b + k)) {
            wrappedUTF8Extended = true;
            return k + 3 - pos;
        }
    }
    // No break: end before the last character that starts inside the candidate, so none is split.
    for (std::size_t k = cand; k > pos; --k) {
        if (XUTF8_Detector::matchFirstByteOfSequences(b[k])) return k - pos;
    }
    return maxLineLen;
}

// The hot loop of the index for lines that fit: line feeds are found 64 bytes at a time with SSE2
// bit masks instead of one memchr call per line. Emits whole lines from pos (a line start) up to
// the last line feed before stop and returns where it stopped: at a line longer than maxLineLen,
// or with fewer than 64 bytes left before stop. The caller's general path takes it from there.
std::size_t XLineReaderDA::fastLines(const char* base, std::size_t pos, std::size_t stop, std::vector<XLineInfo>& out,
                                     bool wrap) {
#if defined(__SSE2__)
    const __m128i nl = _mm_set1_epi8('\n');
    const std::int32_t piece = wrap ? 0 : -1;
    std::size_t lineStart = pos;
    for (std::size_t i = pos; i + 64 <= stop; i += 64) {
        const auto* b = reinterpret_cast<const __m128i*>(base + i);
        const std::uint64_t m0 = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(b), nl)));
        const std::uint64_t m1 =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(b + 1), nl)));
        const std::uint64_t m2 =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(b + 2), nl)));
        const std::uint64_t m3 =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(b + 3), nl)));
        std::uint64_t m = m0 | (m1 << 16) | (m2 << 32) | (m3 << 48);
        while (m != 0) {
            const std::size_t e = i + static_cast<std::size_t>(__builtin_ctzll(m));
            m &= m - 1;
            const std::size_t d = e - lineStart;
            const std::size_t text = (d > 0 && base[e - 1] == '\r') ? d - 1 : d;
            if (text > maxLineLen) return lineStart;
            out.emplace_back(lineStart, static_cast<std::uint32_t>(text), static_cast<std::uint32_t>(d + 1),
                             counterFileLines, piece, true);
            ++counterFileLines;
            lineStart = e + 1;
        }
        if (i + 64 - lineStart > maxLineLen + 1) return lineStart;  // an over-long line: wrapped by the caller
    }
    return lineStart;
#else
    (void)base;
    (void)stop;
    (void)out;
    (void)wrap;
    return pos;
#endif
}

namespace {

// The line feeds in p[0..n), sixteen bytes at a time: each byte lane adds up its matches over at
// most 255 blocks (what a byte can hold), then the lanes are summed.
std::size_t countLineFeeds(const char* p, std::size_t n) {
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i nl = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i lanes = zero;
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16)
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), nl));
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count +=
            static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < n; ++i) count += p[i] == '\n' ? 1 : 0;
    return count;
}

}  // namespace

// Reserves the index from the line density of the first 4 MiB, so that a big file is indexed
// without the copies of a growing vector. Bounded by what the bytes can hold (one record per two
// bytes at most is assumed; more lines than that still fit by growing), and a reservation that
// does not fit is simply not made.
void XLineReaderDA::reserveFor(std::vector<XLineInfo>& out, const char* base, std::size_t len) const {
    const std::size_t sample = std::min<std::size_t>(len, std::size_t(4) << 20);
    const std::size_t lines = 1 + countLineFeeds(base, sample);
    const double perByte = static_cast<double>(lines) / static_cast<double>(sample);
    const double estimate = perByte * static_cast<double>(len) * 1.02 + 64.0;
    const std::size_t n = static_cast<std::size_t>(std::min(estimate, static_cast<double>(len / 2 + 64)));
    try {
        out.reserve(n);
        if (out.capacity() * sizeof(XLineInfo) >= (std::size_t(8) << 20))
            platform::adviseHugePages(out.data(), out.capacity() * sizeof(XLineInfo));
    } catch (const std::bad_alloc&) {
        // Grown on demand instead.
    }
}

std::vector<XLineInfo> XLineReaderDA::createLineInfos(bool wrap) {
    std::vector<XLineInfo> out;
    isBinary = false;
    counterFileLines = 0;
    counterPieces = 0;
    wrappedUTF8Extended = false;
    const char* base = lineReader.memBegin();
    std::size_t len = lineReader.length();
    if (base == nullptr || len == 0) return out;

    std::size_t pos = 0;
    std::size_t nextCheck = kCheckEvery;
    bool shrinkLogged = false;
    // Called at every record once pos passed the next check mark: a file that shrank cuts the
    // index at its new end instead of faulting on pages that are gone.
    auto checkpoint = [&]() {
        nextCheck = pos + kCheckEvery;
        if (progress != nullptr) progress(pos, len, progressUser);
        if (!fileStillCovers(len)) {
            const long long now = platform::fileSizeByName(sFileName);
            const std::size_t newLen = now < 0 ? len : std::min(len, static_cast<std::size_t>(now));
            if (!shrinkLogged) {
                shrinkLogged = true;
                logError("XLineReaderDA::createLineInfos, '$' shrank while indexing, $ -> $ bytes, index cut",
                         sFileName, static_cast<unsigned long long>(len), static_cast<unsigned long long>(newLen));
            }
            len = newLen;
        }
    };

    checkpoint();  // a re-index after the file shrank must not touch the pages that are gone
    checkBinary(std::min(len, lineReader.length()));
    reserveFor(out, base, len);
    // The index may not fit in memory (a huge file of empty lines): it is cut where memory ended.
    try {
        while (pos < len) {
            if (pos >= nextCheck) {
                checkpoint();
                if (pos >= len) break;
            }
            pos = fastLines(base, pos, std::min(len, nextCheck), out, wrap);
            if (pos >= len) break;
            const auto* lf = static_cast<const char*>(std::memchr(base + pos, '\n', len - pos));
            std::size_t lineEnd = lf != nullptr ? static_cast<std::size_t>(lf - base) : len;
            bool hasLF = lf != nullptr;
            // The pieces of one file line; a line that fits is a single full record.
            for (;;) {
                if (pos >= nextCheck) {
                    checkpoint();
                    if (lineEnd > len) {
                        lineEnd = len;
                        hasLF = false;
                    }
                    if (pos >= len) break;
                }
                const std::size_t d = lineEnd - pos;
                const std::size_t text = (hasLF && d > 0 && base[lineEnd - 1] == '\r') ? d - 1 : d;
                if (text <= maxLineLen) {
                    out.emplace_back(pos, static_cast<std::uint32_t>(text),
                                     static_cast<std::uint32_t>(d + (hasLF ? 1 : 0)), counterFileLines,
                                     wrap ? counterPieces : -1, hasLF);
                    counterPieces = 0;
                    ++counterFileLines;
                    pos = lineEnd + (hasLF ? 1 : 0);
                    break;
                }
                const std::size_t piece = wrap ? wrapPiece(base, pos) : maxLineLen;
                out.emplace_back(pos, static_cast<std::uint32_t>(piece), static_cast<std::uint32_t>(piece),
                                 counterFileLines, wrap ? counterPieces : -1, false);
                if (wrap) ++counterPieces;
                pos += piece;
            }
        }
    } catch (const std::bad_alloc&) {
        logError("XLineReaderDA::createLineInfos, out of memory after $ lines at byte $, index cut",
                 static_cast<unsigned long long>(out.size()), static_cast<unsigned long long>(pos));
    }
    if (progress != nullptr) progress(len, len, progressUser);
    return out;
}

std::size_t XLineReaderDA::create_internal_line_infos() {
    arLines = createLineInfos(true);
    longest = 0;
    return arLines.size();
}

bool XLineReaderDA::re_load(std::size_t maxLen) {
    if (isFile.load() && !fileMapper.isMapped()) {
        logError("XLineReaderDA::re_load, !fileMapper.isMapped()");
        return false;
    }
    if (lineReader.getMemory() == nullptr) {
        logError("XLineReaderDA::re_load, nothing open");
        return false;
    }
    lineReader.seekHome();
    maxLineLen = validMaxLineLength(maxLen);
    longest = 0;
    create_internal_line_infos();
    return true;
}

bool XLineReaderDA::recordInside(const XLineInfo& li, const char* who, const char* whoB) const {
    if (!lineReader.isValidPos(li.posMemory)) {
        logError(who, static_cast<unsigned long long>(li.posMemory));
        return false;
    }
    if (li.posEnd() > lineReader.length()) {
        logError(whoB, static_cast<unsigned long long>(li.posEnd()),
                 static_cast<unsigned long long>(lineReader.length()));
        return false;
    }
    if (!fileStillCovers(li.posEnd())) {
        logError("XLineReaderDA::lineAt, '$' no longer reaches the line's end $", sFileName,
                 static_cast<unsigned long long>(li.posEnd()));
        return false;
    }
    return true;
}

QString XLineReaderDA::decode(const char* p, std::size_t n) const {
    if (!isBinary.load()) return QString::fromUtf8(p, static_cast<int>(n));
    QString s(static_cast<int>(n), Qt::Uninitialized);
    QChar* d = s.data();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        d[i] = (c < 32 || c > 127) ? QLatin1Char('.') : QLatin1Char(static_cast<char>(c));
    }
    return s;
}

QString XLineReaderDA::lineAt(std::size_t index) const {
    if (index >= arLines.size()) {
        logError("XLineReaderDA::lineAt, index:$, allowed range:0-$", static_cast<unsigned long long>(index),
                 static_cast<long long>(arLines.size()) - 1);
        return QString();
    }
    return lineAt(arLines[index]);
}

QString XLineReaderDA::lineAt(const XLineInfo& li) const {
    if (!recordInside(li, "XLineReaderDA::lineAt, !lineReader.isValidPos(li.posMemory), pos:$",
                      "XLineReaderDA::lineAt,B, !lineReader.isValidPos(li.posMemory), pos:$, get_max pos:$"))
        return QString();
    if (li.lenBytes == 0) return QString();
    return decode(lineReader.memBegin() + li.posMemory, li.lenBytes);
}

const char* XLineReaderDA::cStringAt(const XLineInfo& li) {
    if (!recordInside(li, "XLineReaderDA::cStringAt, !lineReader.isValidPos(li.posMemory), pos:$",
                      "XLineReaderDA::cStringAt,C, !lineReader.isValidPos(li.posMemory), pos:$, get_max pos:$"))
        return kEmpty;
    if (lineReader.getMaxLineLength() < std::size_t(li.lenBytes) + 1 &&
        !lineReader.setMaxLineLength(std::size_t(li.lenBytes) + 1))
        return kEmpty;
    std::memcpy(lineReader.pLine, lineReader.memBegin() + li.posMemory, li.lenBytes);
    lineReader.pLine[li.lenBytes] = 0;
    return lineReader.pLine;
}

XLineInfo XLineReaderDA::lineInfoAt(std::size_t index) const {
    return index < arLines.size() ? arLines[index] : XLineInfo();
}

XLineInfo XLineReaderDA::lineInfoAtRamPos(std::uint64_t pos) const {
    // Records are sorted by position and overlap at most in one shared end point, so the first
    // record containing pos is the last one starting at or before it, or the one just before that.
    auto it = std::upper_bound(arLines.begin(), arLines.end(), pos,
                               [](std::uint64_t p, const XLineInfo& li) { return p < li.posMemory; });
    if (it == arLines.begin()) return XLineInfo();
    auto j = it - 1;
    if (j != arLines.begin() && (j - 1)->isInRange(pos)) return *(j - 1);
    if (j->isInRange(pos)) return *j;
    return XLineInfo();
}

QString XLineReaderDA::lineAtRamPos(std::uint64_t pos) const {
    const XLineInfo li = lineInfoAtRamPos(pos);
    if (li.lenTotal == 0) return QString();
    return lineAt(li);
}

QString XLineReaderDA::paragraphAt(std::size_t index) const {
    if (index >= arLines.size()) {
        logError("XLineReaderDA::paragraphAt, index:$, allowed range:0-$", static_cast<unsigned long long>(index),
                 static_cast<long long>(arLines.size()) - 1);
        return QString();
    }
    if (isEmptyLine(arLines[index])) return QString();
    std::size_t first = index;
    while (first > 0 && index - first < kParagraphReach && !isEmptyLine(arLines[first - 1])) --first;
    std::size_t last = index;
    while (last + 1 < arLines.size() && last - index < kParagraphReach && !isEmptyLine(arLines[last + 1])) ++last;
    QString s;
    for (std::size_t i = first; i <= last; ++i) {
        if (i > first && arLines[i].lineIndex != arLines[i - 1].lineIndex) s += QLatin1Char('\n');
        s += lineAt(arLines[i]);
    }
    return s;
}

QString XLineReaderDA::midString(std::size_t start, std::size_t end) const {
    if (lineReader.getMemory() == nullptr) {
        logError("XLineReaderDA::midString, not open");
        return QString();
    }
    if (end > start && !fileStillCovers(std::min(end, lineReader.length()))) {
        logError("XLineReaderDA::midString, '$' no longer reaches $", sFileName, static_cast<unsigned long long>(end));
        return QString();
    }
    return lineReader.midString(start, end);
}

XUTF8_Detector XLineReaderDA::detect_UTF8(std::size_t maxBytes) const {
    if (lineReader.getMemory() != nullptr && !fileStillCovers(std::min(maxBytes, lineReader.length()))) {
        logError("XLineReaderDA::detect_UTF8, '$' no longer reaches $", sFileName,
                 static_cast<unsigned long long>(maxBytes));
        return XUTF8_Detector();
    }
    return lineReader.detect_UTF8(maxBytes);
}

std::uint64_t XLineReaderDA::countAllBytes() const {
    std::uint64_t n = 0;
    for (const XLineInfo& li : arLines) n += li.lenTotal;
    return n;
}

std::uint64_t XLineReaderDA::longestLine() const {
    std::uint64_t v = longest.load();
    if (v != 0) return v;
    for (const XLineInfo& li : arLines) v = std::max<std::uint64_t>(v, li.lenBytes);
    longest = v;
    return v;
}

long long XLineReaderDA::file_to_screen(std::size_t line) const {
    if (line >= arLines.size()) {
        logError("XLineReaderDA::file_to_screen, range problem, index >= arLines.size(), $ >=$",
                 static_cast<unsigned long long>(line), static_cast<unsigned long long>(arLines.size()));
        return -1;
    }
    auto it = std::lower_bound(arLines.begin(), arLines.end(), line,
                               [](const XLineInfo& li, std::size_t l) { return li.lineIndex < l; });
    if (it == arLines.end() || it->lineIndex != line) return -1;
    return static_cast<long long>(it - arLines.begin());
}

std::size_t XLineReaderDA::countParagraphs() const {
    std::size_t n = 0;
    bool inside = false;
    for (const XLineInfo& li : arLines) {
        const bool empty = isEmptyLine(li);
        if (!empty && !inside) ++n;
        inside = !empty;
    }
    return n;
}

QString XLineReaderDA::toString(bool withStats) const {
    if (isFile.load() && !fileMapper.isMapped()) return QStringLiteral("not open (XLineReaderDA)");
    if (sFileName.isEmpty()) return QStringLiteral("file ???");  // over a memory block, or never opened
    if (!withStats) return xformat("lines:$", static_cast<unsigned long long>(arLines.size()));
    std::uint64_t total = 0, inLines = 0;
    for (const XLineInfo& li : arLines) {
        total += li.lenTotal;
        inLines += li.lenBytes;
    }
    return xformat("lines:$, bytesTotal:$, bytesInLines:$, longestLine:$",
                   static_cast<unsigned long long>(arLines.size()), format1000(static_cast<long long>(total)),
                   format1000(static_cast<long long>(inLines)), static_cast<unsigned long long>(longestLine()));
}

}  // namespace zor
