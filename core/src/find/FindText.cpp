#include "find/FindText.h"

#include <zor/XDelimiter.h>

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor {
namespace find {
namespace detail {

namespace {

inline bool cont(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

struct Triples {
    std::vector<std::array<unsigned char, 3>> marks;
};

// The full-width delimiters as UTF-8 triples (every one of them takes three bytes).
const Triples& wideDelimiters() {
    static const Triples t = [] {
        Triples r;
        for (QChar c : XDelimiter::sDelimChinese) {
            const QByteArray b = QString(c).toUtf8();
            if (b.size() == 3)
                r.marks.push_back({static_cast<unsigned char>(b[0]), static_cast<unsigned char>(b[1]),
                                   static_cast<unsigned char>(b[2])});
        }
        return r;
    }();
    return t;
}

const std::array<bool, 128>& asciiDelimiters() {
    static const std::array<bool, 128> table = [] {
        std::array<bool, 128> t{};
        for (const char* d = XDelimiter::pDelimASCII; *d != '\0'; ++d) t[static_cast<unsigned char>(*d) & 0x7F] = true;
        return t;
    }();
    return table;
}

bool wideDelimiterAt(const unsigned char* p, std::size_t n, std::size_t i) {
    if (i + 3 > n) return false;
    for (const auto& m : wideDelimiters().marks)
        if (p[i] == m[0] && p[i + 1] == m[1] && p[i + 2] == m[2]) return true;
    return false;
}

}  // namespace

int sequenceLength(const unsigned char* p, std::size_t n, std::size_t i, int* qchars) {
    *qchars = 1;
    const unsigned char b = p[i];
    if (b < 0x80) return 1;
    const std::size_t left = n - i;
    if (b >= 0xC2 && b <= 0xDF) return (left >= 2 && cont(p[i + 1])) ? 2 : 1;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3) return 1;
        const unsigned char b1 = p[i + 1];
        const bool second = b == 0xE0 ? (b1 >= 0xA0 && b1 <= 0xBF) : b == 0xED ? (b1 >= 0x80 && b1 <= 0x9F) : cont(b1);
        return (second && cont(p[i + 2])) ? 3 : 1;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4) return 1;
        const unsigned char b1 = p[i + 1];
        const bool second = b == 0xF0 ? (b1 >= 0x90 && b1 <= 0xBF) : b == 0xF4 ? (b1 >= 0x80 && b1 <= 0x8F) : cont(b1);
        if (second && cont(p[i + 2]) && cont(p[i + 3])) {
            *qchars = 2;
            return 4;
        }
        return 1;
    }
    return 1;
}

QString decodeUtf8(const char* src, std::size_t n) {
    QString out;
    if (n == 0) return out;
    if (n > static_cast<std::size_t>(INT32_MAX / 2)) return out;  // callers keep units below 2 GiB
    out.resize(static_cast<int>(n));  // never more characters than bytes
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    std::size_t i = 0;
    int k = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            d[k++] = b;
            ++i;
            continue;
        }
        int q = 1;
        const int len = sequenceLength(p, n, i, &q);
        switch (len) {
            case 2: d[k++] = static_cast<char16_t>(((b & 0x1F) << 6) | (p[i + 1] & 0x3F)); break;
            case 3:
                d[k++] = static_cast<char16_t>(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
                break;
            case 4: {
                const char32_t cp = (static_cast<char32_t>(b & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) |
                                    ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
                d[k++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                d[k++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
                break;
            }
            default: d[k++] = 0xFFFD; break;
        }
        i += static_cast<std::size_t>(len);
    }
    out.truncate(k);
    return out;
}

QByteArray dottedCopy(const char* p, std::size_t n) {
    QByteArray out(static_cast<int>(n), '.');
    char* d = out.data();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c >= 32 && c <= 127) d[i] = static_cast<char>(c);
    }
    return out;
}

std::size_t ByteCursor::byteOffset(int charPos) {
    while (m_char < charPos && m_byte < m_n) {
        int q = 1;
        const int len = sequenceLength(m_p, m_n, m_byte, &q);
        if (m_char + q > charPos) break;  // inside a surrogate pair: the pair's first byte
        m_char += q;
        m_byte += static_cast<std::size_t>(len);
    }
    return m_byte;
}

bool isAsciiDelimiter(unsigned char c) { return c < 128 && asciiDelimiters()[c]; }

bool delimiterBefore(const char* src, std::size_t off) {
    if (off == 0) return true;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    const unsigned char b = p[off - 1];
    if (b < 0x80) return asciiDelimiters()[b];
    return off >= 3 && wideDelimiterAt(p, off, off - 3);
}

bool delimiterAfter(const char* src, std::size_t n, std::size_t off) {
    if (off >= n) return true;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    const unsigned char b = p[off];
    if (b < 0x80) return asciiDelimiters()[b];
    return wideDelimiterAt(p, n, off);
}

bool sentenceDelimiterAt(const unsigned char* p, std::size_t n, std::size_t i, int* len) {
    const unsigned char b = p[i];
    if (b == '.' || b == '!' || b == '?') {
        *len = 1;
        return true;
    }
    if (b >= 0xE0 && wideDelimiterAt(p, n, i)) {
        *len = 3;
        return true;
    }
    return false;
}

std::vector<std::pair<std::size_t, std::size_t>> sentenceRanges(const char* src, std::size_t n) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < n) {
        int dl = 0;
        if (sentenceDelimiterAt(p, n, i, &dl)) {
            out.emplace_back(start, i + static_cast<std::size_t>(dl));
            i += static_cast<std::size_t>(dl);
            start = i;
            continue;
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        int q = 1;
        i += static_cast<std::size_t>(sequenceLength(p, n, i, &q));
    }
    if (start < n) out.emplace_back(start, n);
    return out;
}

// Out of line: inlined, the compiler takes a QByteArray's shared empty data for the pattern's
// size and warns about reads that the length check rules out.
//
// Sixteen positions at a time: a position is a candidate when its byte equals the text's first
// byte and the byte len - 1 further on equals its last; only candidates are compared in full. Two
// rare-in-combination bytes make candidates rare in prose, so most of the work is two loads and
// two compares per sixteen bytes.
__attribute__((noinline)) const char* findBytes(const char* p, std::size_t n, const char* pat, std::size_t len) {
    if (len == 0 || len > n) return nullptr;
    if (len == 1) return static_cast<const char*>(std::memchr(p, pat[0], n));
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(pat[0]);
    const __m128i last = _mm_set1_epi8(pat[len - 1]);
    for (; i + len - 1 + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + len - 1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (std::memcmp(p + i + bit + 1, pat + 1, len - 2) == 0) return p + i + bit;
            mask &= mask - 1;
        }
    }
#endif
    if (i + len > n) return nullptr;
    return static_cast<const char*>(memmem(p + i, n - i, pat, len));
}

bool looksBinary(const char* p, std::size_t n) {
    const std::size_t m = n < 1024 ? n : 1024;
    for (std::size_t i = 0; i < m; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c < 32 && c != 8 && c != 9 && c != 10 && c != 13) return true;
    }
    return false;
}

bool isBlank(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != ' ' && p[i] != '\t' && p[i] != '\r') return false;
    return true;
}

Needle::Needle(const XSymbol& s) : symbol(&s), utf8(s.text.toUtf8()) {
    asciiOnly = true;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) asciiOnly = false;
    // A lone surrogate or a replacement character in the text would not match byte for byte.
    bytewise = !s.ignoreCase && s.text.isValidUtf16() && !s.text.contains(QChar(0xFFFD));
    caselessAscii = s.ignoreCase && asciiOnly;
    hasFoldTargets = false;
    for (char c : utf8)
        if (c == 'k' || c == 'K' || c == 's' || c == 'S') hasFoldTargets = true;
    const QString& d = XDelimiter::sDelimAll;
    neverWord = s.wholeWord && !s.text.isEmpty() && (d.contains(s.text.front()) || d.contains(s.text.back()));
}

namespace {

const std::array<unsigned char, 256>& foldTable() {
    static const std::array<unsigned char, 256> t = [] {
        std::array<unsigned char, 256> r{};
        for (int i = 0; i < 256; ++i) r[static_cast<std::size_t>(i)] = static_cast<unsigned char>((i >= 'A' && i <= 'Z') ? i + 32 : i);
        return r;
    }();
    return t;
}

// The caseless search of an ASCII text on bytes: the first byte is found with memchr in both
// cases, the rest compared folded.
std::size_t caselessBytes(const Needle& needle, const char* p, std::size_t n, std::int64_t unitStart, std::size_t limit,
                          std::vector<XRam>* out) {
    const std::array<unsigned char, 256>& fold = foldTable();
    const unsigned char* pat = reinterpret_cast<const unsigned char*>(needle.utf8.constData());
    const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
    if (len > n) return 0;
    const unsigned char lo = fold[pat[0]];
    const unsigned char up = (lo >= 'a' && lo <= 'z') ? static_cast<unsigned char>(lo - 32) : lo;
    const unsigned char* m = reinterpret_cast<const unsigned char*>(p);
    const std::size_t last = n - len;
    std::size_t count = 0;
    // The next occurrence of each case of the first byte at or after pos (null once there is none).
    const unsigned char* nextLo = static_cast<const unsigned char*>(std::memchr(m, lo, last + 1));
    const unsigned char* nextUp = up == lo ? nullptr : static_cast<const unsigned char*>(std::memchr(m, up, last + 1));
    while (nextLo != nullptr || nextUp != nullptr) {
        const unsigned char* cand = nextLo;
        if (nextUp != nullptr && (cand == nullptr || nextUp < cand)) cand = nextUp;
        const std::size_t at = static_cast<std::size_t>(cand - m);
        std::size_t k = 1;
        while (k < len && fold[m[at + k]] == fold[pat[k]]) ++k;
        if (k == len && (!needle.symbol->wholeWord || (delimiterBefore(p, at) && delimiterAfter(p, n, at + len)))) {
            ++count;
            if (out != nullptr) {
                const std::int64_t a = unitStart + static_cast<std::int64_t>(at);
                out->emplace_back(static_cast<std::int32_t>(a), static_cast<std::int32_t>(a + static_cast<std::int64_t>(len)));
            }
            if (limit != 0 && count >= limit) break;
        }
        const std::size_t pos = at + 1;
        if (cand == nextLo)
            nextLo = pos <= last ? static_cast<const unsigned char*>(std::memchr(m + pos, lo, last - pos + 1)) : nullptr;
        else
            nextUp = pos <= last ? static_cast<const unsigned char*>(std::memchr(m + pos, up, last - pos + 1)) : nullptr;
    }
    return count;
}

}  // namespace

std::size_t searchUnit(const Needle& needle, const char* p, std::size_t n, std::int64_t unitStart,
                       std::size_t limit, QString& text, bool& decoded, std::vector<XRam>* out) {
    const XSymbol& s = *needle.symbol;
    const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
    if (len == 0 || n == 0 || needle.neverWord) return 0;
    std::size_t count = 0;
    if (needle.bytewise) {
        if (len > n) return 0;
        const char* pat = needle.utf8.constData();
        std::size_t pos = 0;
        while (pos + len <= n) {
            const char* hit = findBytes(p + pos, n - pos, pat, len);
            if (hit == nullptr) break;
            const std::size_t off = static_cast<std::size_t>(hit - p);
            if (!s.wholeWord || (delimiterBefore(p, off) && delimiterAfter(p, n, off + len))) {
                ++count;
                if (out != nullptr) {
                    const std::int64_t a = unitStart + static_cast<std::int64_t>(off);
                    out->emplace_back(static_cast<std::int32_t>(a), static_cast<std::int32_t>(a + static_cast<std::int64_t>(len)));
                }
                if (limit != 0 && count >= limit) break;
            }
            pos = off + 1;
        }
        return count;
    }
    if (needle.caselessAscii && !(needle.hasFoldTargets && (findBytes(p, n, "\xE2\x84\xAA", 3) != nullptr ||
                                                             findBytes(p, n, "\xC5\xBF", 2) != nullptr))) {
        return caselessBytes(needle, p, n, unitStart, limit, out);
    }
    if (!decoded) {
        text = decodeUtf8(p, n);
        decoded = true;
    }
    const Qt::CaseSensitivity cs = s.ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const int tl = s.text.size();
    ByteCursor cursor(p, n);
    int from = 0;
    while (from <= text.size() - tl) {
        const int at = text.indexOf(s.text, from, cs);
        if (at < 0) break;
        if (!s.wholeWord || XDelimiter::isWord(text, at, at + tl - 1, XDelimiter::sDelimAll)) {
            ++count;
            if (out != nullptr) {
                const std::int64_t a = unitStart + static_cast<std::int64_t>(cursor.byteOffset(at));
                out->emplace_back(static_cast<std::int32_t>(a), static_cast<std::int32_t>(a + static_cast<std::int64_t>(len)));
            }
            if (limit != 0 && count >= limit) break;
        }
        from = at + 1;
    }
    return count;
}

}  // namespace detail
}  // namespace find
}  // namespace zor
