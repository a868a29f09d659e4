#include "find/FindText.h"

#include <zor/XDelimiter.h>

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#elif defined(__SSE2__)
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

namespace {

// How common each byte is in text and code, 0 (rare) to 255 (most common). Only the order
// matters: a search compares the two rarest bytes of its text first.
const std::array<unsigned char, 256>& byteRank() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> r{};
        for (int b = 0; b < 256; ++b) r[static_cast<std::size_t>(b)] = b >= 0x80 ? 60 : 10;
        const char* letters = "etaoinsrhldcumfpgwybvkxjqz";  // most common first
        for (int i = 0; letters[i] != '\0'; ++i) {
            const auto c = static_cast<unsigned char>(letters[i]);
            r[c] = static_cast<unsigned char>(250 - 6 * i);
            r[static_cast<unsigned char>(c - 32)] = static_cast<unsigned char>(150 - 4 * i);
        }
        for (int c = '0'; c <= '9'; ++c) r[static_cast<std::size_t>(c)] = 140;
        for (const char* c = "()-_\"'/=*<>{}[]#&|!?+%$@\\`~^;:"; *c != '\0'; ++c)
            r[static_cast<unsigned char>(*c)] = 120;
        r[' '] = 255;
        r['\n'] = 200;
        r['.'] = 190;
        r[','] = 190;
        r['\t'] = 160;
        r['\r'] = 130;
        return r;
    }();
    return table;
}

inline unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool cpuHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

}  // namespace

BytePattern::BytePattern(const QByteArray& text, bool fold)
    : m_text(text.constData(), static_cast<std::size_t>(text.size())), m_fold(fold) {
    if (m_text.empty()) return;
    if (fold)
        for (char& c : m_text) c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    const std::array<unsigned char, 256>& rank = byteRank();
    auto rankAt = [&](std::size_t i) { return rank[static_cast<unsigned char>(m_text[i])]; };
    std::size_t a = 0;
    for (std::size_t i = 1; i < m_text.size(); ++i)
        if (rankAt(i) < rankAt(a)) a = i;
    std::size_t b = a;
    for (std::size_t i = 0; i < m_text.size(); ++i)
        if (i != a && (b == a || rankAt(i) < rankAt(b))) b = i;
    m_at1 = std::min(a, b);
    m_at2 = std::max(a, b);
    m_b1 = static_cast<unsigned char>(m_text[m_at1]);
    m_b2 = static_cast<unsigned char>(m_text[m_at2]);
    auto orFor = [fold](unsigned char c) {
        return static_cast<unsigned char>(fold && c >= 'a' && c <= 'z' ? 0x20 : 0);
    };
    m_or1 = orFor(m_b1);
    m_or2 = orFor(m_b2);
}

bool BytePattern::equalAt(const unsigned char* at) const {
    const auto* t = reinterpret_cast<const unsigned char*>(m_text.data());
    const std::size_t len = m_text.size();
    if (!m_fold) return std::memcmp(at, t, len) == 0;
    for (std::size_t k = 0; k < len; ++k)
        if (foldAscii(at[k]) != t[k]) return false;
    return true;
}

#if defined(__x86_64__) || defined(__i386__)
// Thirty-two positions at a time; returns the occurrence, or null with *next the first position
// not looked at.
__attribute__((target("avx2"))) const char* BytePattern::findAvx2(const unsigned char* s, std::size_t last,
                                                                  std::size_t* next) const {
    const __m256i b1 = _mm256_set1_epi8(static_cast<char>(m_b1));
    const __m256i b2 = _mm256_set1_epi8(static_cast<char>(m_b2));
    const __m256i or1 = _mm256_set1_epi8(static_cast<char>(m_or1));
    const __m256i or2 = _mm256_set1_epi8(static_cast<char>(m_or2));
    std::size_t i = 0;
    for (; i + 32 <= last + 1; i += 32) {
        const __m256i x = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + m_at1)), or1);
        const __m256i y = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + m_at2)), or2);
        auto mask = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(x, b1), _mm256_cmpeq_epi8(y, b2))));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (equalAt(s + at)) return reinterpret_cast<const char*>(s + at);
            mask &= mask - 1;
        }
    }
    *next = i;
    return nullptr;
}
#endif

const char* BytePattern::find(const char* p, std::size_t n) const {
    const std::size_t len = m_text.size();
    if (len == 0 || len > n || p == nullptr) return nullptr;
    if (len == 1 && m_or1 == 0) return static_cast<const char*>(std::memchr(p, m_b1, n));
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const std::size_t last = n - len;  // the last position where the text fits
    std::size_t i = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (last >= 64 && cpuHasAvx2()) {
        if (const char* hit = findAvx2(s, last, &i)) return hit;
    }
#endif
#if defined(__SSE2__)
    const __m128i b1 = _mm_set1_epi8(static_cast<char>(m_b1));
    const __m128i b2 = _mm_set1_epi8(static_cast<char>(m_b2));
    const __m128i or1 = _mm_set1_epi8(static_cast<char>(m_or1));
    const __m128i or2 = _mm_set1_epi8(static_cast<char>(m_or2));
    for (; i + 16 <= last + 1; i += 16) {
        const __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + m_at1)), or1);
        const __m128i y = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + m_at2)), or2);
        auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, b1), _mm_cmpeq_epi8(y, b2))));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (equalAt(s + at)) return p + at;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if ((s[i + m_at1] | m_or1) == m_b1 && (s[i + m_at2] | m_or2) == m_b2 && equalAt(s + i)) return p + i;
    return nullptr;
}

bool looksBinary(const char* p, std::size_t n) {
    const std::size_t m = n < 1024 ? n : 1024;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a byte below 32 (signed compare after flipping the top bit) that is
    // none of the four allowed ones.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(32 ^ 0x80));
    for (; i + 16 <= m; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i low = _mm_cmplt_epi8(_mm_xor_si128(x, flip), limit);
        const __m128i allowed =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(8)), _mm_cmpeq_epi8(x, _mm_set1_epi8(9))),
                         _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(10)), _mm_cmpeq_epi8(x, _mm_set1_epi8(13))));
        if (_mm_movemask_epi8(_mm_andnot_si128(allowed, low)) != 0) return true;
    }
#endif
    for (; i < m; ++i) {
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

Needle::Needle(const XSymbol& s) : symbol(&s), utf8(s.text.toUtf8()), exact(utf8, false) {
    asciiOnly = true;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) asciiOnly = false;
    // A lone surrogate or a replacement character in the text would not match byte for byte.
    bytewise = !s.ignoreCase && s.text.isValidUtf16() && !s.text.contains(QChar(0xFFFD));
    caselessAscii = s.ignoreCase && asciiOnly;
    if (caselessAscii) folded = BytePattern(utf8, true);
    hasFoldTargets = false;
    for (char c : utf8)
        if (c == 'k' || c == 'K' || c == 's' || c == 'S') hasFoldTargets = true;
    const QString& d = XDelimiter::sDelimAll;
    neverWord = s.wholeWord && !s.text.isEmpty() && (d.contains(s.text.front()) || d.contains(s.text.back()));
}

namespace {

// Every occurrence of pattern in the unit p[0..n) that counts (whole words only with `word`), as
// marks at unitStart + offset, up to limit (0: all).
std::size_t patternHits(const BytePattern& pattern, bool word, const char* p, std::size_t n, std::int64_t unitStart,
                        std::size_t limit, std::vector<XRam>* out) {
    const std::size_t len = pattern.size();
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos + len <= n) {
        const char* hit = pattern.find(p + pos, n - pos);
        if (hit == nullptr) break;
        const std::size_t off = static_cast<std::size_t>(hit - p);
        if (!word || (delimiterBefore(p, off) && delimiterAfter(p, n, off + len))) {
            ++count;
            if (out != nullptr) {
                const std::int64_t a = unitStart + static_cast<std::int64_t>(off);
                out->emplace_back(static_cast<std::int32_t>(a),
                                  static_cast<std::int32_t>(a + static_cast<std::int64_t>(len)));
            }
            if (limit != 0 && count >= limit) break;
        }
        pos = off + 1;
    }
    return count;
}

}  // namespace

std::size_t searchUnit(const Needle& needle, const char* p, std::size_t n, std::int64_t unitStart,
                       std::size_t limit, QString& text, bool& decoded, std::vector<XRam>* out) {
    const XSymbol& s = *needle.symbol;
    const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
    if (len == 0 || n == 0 || needle.neverWord) return 0;
    if (needle.bytewise) return patternHits(needle.exact, s.wholeWord, p, n, unitStart, limit, out);
    if (needle.caselessAscii && !(needle.hasFoldTargets && (findBytes(p, n, "\xE2\x84\xAA", 3) != nullptr ||
                                                            findBytes(p, n, "\xC5\xBF", 2) != nullptr))) {
        return patternHits(needle.folded, s.wholeWord, p, n, unitStart, limit, out);
    }
    std::size_t count = 0;
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
