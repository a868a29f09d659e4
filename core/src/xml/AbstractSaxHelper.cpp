#include <zor/AbstractSaxHelper.h>

#include "XmlUtf8.h"

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/XMemFile.h>
#include <zor/xformat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor {

const QChar AbstractSaxHelper::XCHAR = QChar(0xFFFF);

namespace {

constexpr long long kReportEvery = XNode_Parse_Control::BYTES_BETWEEN_TIME_CALLS;

// ASCII characters of an element name: letters, digits, '_', '-' and ':'.
struct NameTable {
    bool ascii[128];
    constexpr NameTable() : ascii() {
        for (int c = 0; c < 128; ++c)
            ascii[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '-' || c == ':';
    }
};
constexpr NameTable kNameTable;

inline bool isNameChar(char16_t c) { return c < 0x80 ? kNameTable.ascii[c] : QChar(c).isLetterOrNumber(); }

// The first c in [p, end), or end. Text is mostly long runs without markup, so this is the loop
// that decides the scanner's speed: eight UTF-16 units per step where SSE2 is there.
inline const QChar* findChar(const QChar* p, const QChar* end, char16_t c) {
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int m = _mm_movemask_epi8(_mm_cmpeq_epi16(v, needle));
        if (m != 0) return p + (__builtin_ctz(static_cast<unsigned>(m)) >> 1);
        p += 8;
    }
#endif
    while (p < end && p->unicode() != c) ++p;
    return p;
}

// Narrows [b, e) to drop white space at both ends, as QString::trimmed does.
inline void trim(const QChar*& b, const QChar*& e) {
    while (b < e && b->isSpace()) ++b;
    while (e > b && e[-1].isSpace()) --e;
}

// The first '"' or '\'' in [p, end), or end.
inline const QChar* findQuote(const QChar* p, const QChar* end) {
#if defined(__SSE2__)
    const __m128i dq = _mm_set1_epi16('"');
    const __m128i sq = _mm_set1_epi16('\'');
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, dq), _mm_cmpeq_epi16(v, sq)));
        if (m != 0) return p + (__builtin_ctz(static_cast<unsigned>(m)) >> 1);
        p += 8;
    }
#endif
    while (p < end && p->unicode() != '"' && p->unicode() != '\'') ++p;
    return p;
}

// The end of an attribute key: the first '=', '"' or '\'' in [p, end), or end.
inline const QChar* findKeyEnd(const QChar* p, const QChar* end) {
#if defined(__SSE2__)
    const __m128i eq = _mm_set1_epi16('=');
    const __m128i dq = _mm_set1_epi16('"');
    const __m128i sq = _mm_set1_epi16('\'');
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit =
            _mm_or_si128(_mm_cmpeq_epi16(v, eq), _mm_or_si128(_mm_cmpeq_epi16(v, dq), _mm_cmpeq_epi16(v, sq)));
        const int m = _mm_movemask_epi8(hit);
        if (m != 0) return p + (__builtin_ctz(static_cast<unsigned>(m)) >> 1);
        p += 8;
    }
#endif
    while (p < end && p->unicode() != '=' && p->unicode() != '"' && p->unicode() != '\'') ++p;
    return p;
}

// Orders UTF-16 ranges by code unit, as QString's operator< orders the map's keys.
inline int compareRanges(const QChar* a, const QChar* ae, const QChar* b, const QChar* be) {
    const std::ptrdiff_t na = ae - a;
    const std::ptrdiff_t nb = be - b;
    const std::ptrdiff_t n = na < nb ? na : nb;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y) return x < y ? -1 : 1;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

}  // namespace

AbstractSaxHelper::AbstractSaxHelper() = default;
AbstractSaxHelper::~AbstractSaxHelper() = default;

void AbstractSaxHelper::setBuffer(const QString& text) {
    m_text = text;
    const QChar* begin = m_text.constData();
    const QChar* end = begin + m_text.size();
    if (m_text.size() >= 3 && begin[0].unicode() == 0xEF && begin[1].unicode() == 0xBB && begin[2].unicode() == 0xBF) {
        Logger::printToCout("abstractSax::BOM_check - found BOM");
        begin += 3;
    }
    // Reading returns XCHAR at the end, and the scanner takes XCHAR as the end: the text
    // effectively stops at its first U+FFFF.
    end = findChar(begin, end, XCHAR.unicode());
    parseBuffer = begin;
    parseBufferLength = static_cast<int>(end - begin);
    m_pos = begin;
    m_end = end;
    m_limit = end;
    consumed = 0;
    mode = 0;
}

bool AbstractSaxHelper::readFile(const QString& path) {
    const QString text = xml_detail::fileText(path);
    if (text.isEmpty()) {
        logDebug("abstractSax::readFile, problems reading <<<$>>>", path);
        return false;
    }
    setBuffer(text);
    return true;
}

int AbstractSaxHelper::remainChars() { return m_pos == nullptr ? 0 : static_cast<int>(m_end - m_pos); }

QChar AbstractSaxHelper::peekNextChar() { return (m_pos != nullptr && m_end - m_pos >= 2) ? m_pos[1] : XCHAR; }

QChar AbstractSaxHelper::nextChar(XNode_Parse_Control& ctl) {
    if (m_pos == nullptr || !more(ctl)) return XCHAR;
    return *m_pos++;
}

QChar AbstractSaxHelper::at(int k) const { return (m_end - m_pos > k) ? m_pos[k] : XCHAR; }

void AbstractSaxHelper::setLimit() {
    // Report points are the characters whose 1-based count is a multiple of kReportEvery.
    const long long index = m_pos - parseBuffer;
    const long long next = ((index + kReportEvery) / kReportEvery) * kReportEvery - 1;
    m_limit = (m_end - parseBuffer > next) ? parseBuffer + next : m_end;
}

bool AbstractSaxHelper::reachLimit(XNode_Parse_Control& ctl) {
    if (m_pos >= m_end) return false;
    // m_pos is a report point: report before the character is consumed.
    if (ctl.cancel.load()) {
        m_end = m_pos;
        m_limit = m_pos;
        return false;
    }
    const long long count = (m_pos - parseBuffer) + 1;
    consumed = count;
    ctl.bytesProceed.store(static_cast<unsigned long long>(count));
    ctl.timeCurrent.store(getMicroseconds());
    const double total = static_cast<double>(ctl.bytesTotal);
    ctl.percent.store(total > 0 ? static_cast<unsigned int>(static_cast<double>(count) / total * 100.0) : 100u);
    ctl.notifyListeners();
    m_limit = (m_end - m_pos > kReportEvery) ? m_pos + kReportEvery : m_end;
    return true;
}

bool AbstractSaxHelper::advance(int k, XNode_Parse_Control& ctl) {
    while (k > 0) {
        if (!more(ctl)) return false;
        const int step = static_cast<int>(std::min<long long>(k, m_limit - m_pos));
        m_pos += step;
        k -= step;
    }
    return true;
}

bool AbstractSaxHelper::skipTo(char16_t c, XNode_Parse_Control& ctl) {
    for (;;) {
        m_pos = findChar(m_pos, m_limit, c);
        if (m_pos < m_limit) return true;
        if (!reachLimit(ctl)) return false;
    }
}

bool AbstractSaxHelper::parse(XNode_Parse_Control& ctl) {
    if (parseBuffer == nullptr) {
        logError("SaxParser::parse, parseBuffer == nullptr");
        return false;
    }
    ctl.bytesTotal = static_cast<unsigned long long>(remainChars());
    setLimit();
    for (;;) {
        if (ctl.cancel.load(std::memory_order_relaxed)) break;
        if (!more(ctl)) break;
        const char16_t c = m_pos->unicode();
        if (c == '<') {
            const QChar n = at(1);
            if (n.isLetterOrNumber()) {
                ++m_pos;
                mode = 3;
                if (!parseTag(1, ctl)) {
                    consumed = m_pos - parseBuffer;
                    logDebug("!parseTag");
                    return false;
                }
                continue;
            }
            if (n.unicode() == '?') {
                advance(2, ctl);
                parseDefinition(ctl);
                mode = 2;
                continue;
            }
            if (m_standard && n.unicode() == '!' && skipSpecial(ctl, nullptr)) continue;
        }
        // At this level any character before "!--" opens a comment, not only '<'.
        if (at(1).unicode() == '!' && at(2).unicode() == '-' && at(3).unicode() == '-') {
            advance(4, ctl);
            parseComment(0, ctl);
            continue;
        }
        ++m_pos;
    }
    consumed = m_pos - parseBuffer;
    ctl.percent.store(100);
    return true;
}

bool AbstractSaxHelper::parseTag(int depth, XNode_Parse_Control& ctl) {
    if (m_pos == nullptr) return false;
    // One loop for the whole subtree: d is the depth of the element being read; an element's
    // children raise it, their end tags lower it, and the element of `depth` itself ends the call.
    int d = depth;
    for (;;) {
        bool empty = false;
        if (!parseStartTag(d, empty, ctl)) return false;
        if (empty) {
            if (d == depth) return true;
            --d;
        } else if (m_standard) {
            if (!readTextStandard(d, ctl)) return false;
        } else {
            // Only the text before the first markup of the element counts.
            const QChar* text = m_pos;
            if (!skipTo('<', ctl)) return false;
            emitText(text, m_pos, d);
        }
        // Content of the element at depth d, up to the next child start tag.
        for (;;) {
            if (!skipTo('<', ctl)) return false;
            const QChar n = at(1);
            if (n.isLetterOrNumber()) {
                ++m_pos;
                ++d;
                break;
            }
            if (n.unicode() == '/') {
                advance(2, ctl);
                if (!parseEndTag(ctl)) return false;
                mode = 4;
                if (d == depth) return true;
                --d;
                continue;
            }
            if (n.unicode() == '!' && at(2).unicode() == '-' && at(3).unicode() == '-') {
                advance(4, ctl);
                parseComment(d, ctl);
                continue;
            }
            if (m_standard && (n.unicode() == '!' || n.unicode() == '?') && skipSpecial(ctl, nullptr)) continue;
            ++m_pos;
        }
    }
}

bool AbstractSaxHelper::parseStartTag(int depth, bool& empty, XNode_Parse_Control& ctl) {
    mode = 3;
    const QChar* name = m_pos;
    for (;;) {
        while (m_pos < m_limit && isNameChar(m_pos->unicode())) ++m_pos;
        if (m_pos < m_limit) break;
        if (!reachLimit(ctl)) return false;
    }
    const QChar* nameEnd = m_pos;
    // The attribute text runs to the first '>', quotes or not (in standard mode the first outside
    // quotes); "/>" marks an empty element.
    if (!(m_standard ? findTagEnd(ctl) : skipTo('>', ctl))) return false;
    const QChar* attrEnd = m_pos;
    empty = attrEnd > nameEnd && attrEnd[-1].unicode() == '/';
    if (empty) --attrEnd;
    ++m_pos;
    if (m_standard)
        splitAttributesStandard(nameEnd, attrEnd);
    else
        splitAttributes(nameEnd, attrEnd);
    if (empty) mode = 4;
    return inspectStartTag(name, nameEnd, m_pairs.data(), m_pairs.size(), depth);
}

bool AbstractSaxHelper::inspectStartTag(const QChar* name, const QChar* nameEnd, const AttributeRange* attributes,
                                        std::size_t count, int depth) {
    m_tag.setUnicode(name, static_cast<int>(nameEnd - name));
    mergeAttributes(attributes, count);
    return inspectTypeAttribs(m_tag, m_attributes, depth);
}

void AbstractSaxHelper::inspectTextRange(const QChar* text, const QChar* textEnd, int depth) {
    m_textBuf.setUnicode(text, static_cast<int>(textEnd - text));
    inspectText(m_textBuf, depth);
}

bool AbstractSaxHelper::parseEndTag(XNode_Parse_Control& ctl) {
    // The end tag's name is not compared with the start tag's.
    if (!skipTo('>', ctl)) {
        logDebug("SaxParser::parseTag, '>' missing");
        return false;
    }
    ++m_pos;
    return true;
}

void AbstractSaxHelper::parseComment(int depth, XNode_Parse_Control& ctl) {
    const QChar* text = m_pos;
    const QChar* textEnd = nullptr;
    while (skipTo('-', ctl)) {
        if (at(1).unicode() == '-' && at(2).unicode() == '>') {
            textEnd = m_pos;
            advance(3, ctl);
            break;
        }
        ++m_pos;
    }
    if (textEnd == nullptr) textEnd = m_pos;  // runs to the end of the text
    m_textBuf.setUnicode(text, static_cast<int>(textEnd - text));
    inspectCommend(m_textBuf, depth);
}

void AbstractSaxHelper::parseDefinition(XNode_Parse_Control& ctl) {
    const QChar* text = m_pos;
    const QChar* textEnd = nullptr;
    while (skipTo('?', ctl)) {
        if (at(1).unicode() == '>') {
            textEnd = m_pos;
            advance(2, ctl);
            break;
        }
        ++m_pos;
    }
    if (textEnd == nullptr) textEnd = m_pos;
    trim(text, textEnd);
    m_textBuf.setUnicode(text, static_cast<int>(textEnd - text));
    inspectDefinition(m_textBuf);
}

void AbstractSaxHelper::emitText(const QChar* b, const QChar* e, int depth) {
    trim(b, e);
    if (b == e) return;
    inspectTextRange(b, e, depth);
}

void AbstractSaxHelper::splitAttributes(const QChar* b, const QChar* e) {
    m_pairs.clear();
    trim(b, e);
    const QChar* p = b;
    while (p < e) {
        // key [= ignored] quote value quote; either quote kind closes the value.
        const QChar* key = p;
        p = findKeyEnd(p, e);
        if (p == e) break;
        const QChar* keyEnd = p;
        if (p->unicode() == '=') {
            p = findQuote(p, e);
            if (p == e) break;
        }
        const QChar* value = ++p;
        p = findQuote(p, e);
        if (p == e) break;  // value never closed: the pair is dropped
        trim(key, keyEnd);
        m_pairs.push_back({key, keyEnd, value, p});
        ++p;
    }
    sortAttributes();
}

bool AbstractSaxHelper::findTagEnd(XNode_Parse_Control& ctl) {
    char16_t quote = 0;
    while (more(ctl)) {
        const char16_t c = m_pos->unicode();
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return true;
        }
        ++m_pos;
    }
    return false;
}

void AbstractSaxHelper::splitAttributesStandard(const QChar* b, const QChar* e) {
    m_pairs.clear();
    m_decoded.clear();
    // Decoded values are never longer than written ones: the pointers below stay valid.
    m_decoded.reserve(static_cast<std::size_t>(e - b));
    struct Raw {
        const QChar* key;
        const QChar* keyEnd;
        std::size_t value;
        std::size_t valueEnd;
    };
    std::vector<Raw> raw;
    trim(b, e);
    const QChar* p = b;
    while (p < e) {
        const QChar* key = p;
        p = findKeyEnd(p, e);
        if (p == e) break;
        const QChar* keyEnd = p;
        if (p->unicode() == '=') {
            p = findQuote(p, e);
            if (p == e) break;
        }
        const char16_t quote = p->unicode();
        const QChar* value = ++p;
        p = findChar(p, e, quote);
        if (p == e) break;  // value never closed: the pair is dropped
        trim(key, keyEnd);
        const std::size_t at = m_decoded.size();
        decodeReferences(value, p, m_decoded);
        raw.push_back({key, keyEnd, at, m_decoded.size()});
        ++p;
    }
    const QChar* base = m_decoded.data();
    for (const Raw& r : raw) m_pairs.push_back({r.key, r.keyEnd, base + r.value, base + r.valueEnd});
    sortAttributes();
}

bool AbstractSaxHelper::startsWith(const char* ascii) const {
    for (int k = 0; ascii[k] != '\0'; ++k)
        if (at(k).unicode() != static_cast<unsigned char>(ascii[k])) return false;
    return true;
}

const QChar* AbstractSaxHelper::skipPast(const char* end, XNode_Parse_Control& ctl) {
    const int n = static_cast<int>(std::strlen(end));
    while (skipTo(static_cast<char16_t>(end[0]), ctl)) {
        if (startsWith(end)) {
            const QChar* found = m_pos;
            advance(n, ctl);
            return found;
        }
        ++m_pos;
    }
    return m_pos;
}

bool AbstractSaxHelper::skipSpecial(XNode_Parse_Control& ctl, std::vector<QChar>* cdata) {
    if (startsWith("<![CDATA[")) {
        advance(9, ctl);
        const QChar* text = m_pos;
        const QChar* textEnd = skipPast("]]>", ctl);
        if (cdata != nullptr) cdata->insert(cdata->end(), text, textEnd);
        return true;
    }
    if (startsWith("<?")) {
        advance(2, ctl);
        skipPast("?>", ctl);
        return true;
    }
    if (!startsWith("<!DOCTYPE")) return false;
    // Up to the '>' outside quotes and outside the internal subset's brackets; comments in the
    // subset may hold quotes and brackets of their own.
    advance(9, ctl);
    char16_t quote = 0;
    int brackets = 0;
    while (more(ctl)) {
        const char16_t c = m_pos->unicode();
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '<' && startsWith("<!--")) {
            advance(4, ctl);
            skipPast("-->", ctl);
            continue;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            if (brackets > 0) --brackets;
        } else if (c == '>' && brackets == 0) {
            ++m_pos;
            return true;
        }
        ++m_pos;
    }
    return true;
}

bool AbstractSaxHelper::readTextStandard(int depth, XNode_Parse_Control& ctl) {
    // Character data up to the first child or end tag: CDATA taken as it is, references decoded,
    // comments and processing instructions left out.
    m_decodedText.clear();
    for (;;) {
        const QChar* text = m_pos;
        if (!skipTo('<', ctl)) return false;
        decodeReferences(text, m_pos, m_decodedText);
        const char16_t n = at(1).unicode();
        if (n == '!' && at(2).unicode() == '-' && at(3).unicode() == '-') {
            advance(4, ctl);
            parseComment(depth, ctl);
            continue;
        }
        if ((n == '!' || n == '?') && skipSpecial(ctl, &m_decodedText)) continue;
        break;
    }
    const QChar* b = m_decodedText.data();
    const QChar* e = b + m_decodedText.size();
    trim(b, e);
    if (b != e) inspectTextRange(b, e, depth);
    return true;
}

void AbstractSaxHelper::decodeReferences(const QChar* b, const QChar* e, std::vector<QChar>& out) {
    while (b < e) {
        const QChar* amp = findChar(b, e, '&');
        out.insert(out.end(), b, amp);
        if (amp == e) return;
        // The reference runs to the next ';' within a short distance; anything else is kept.
        const QChar* semi = amp + 1;
        while (semi < e && semi - amp <= 12 && semi->unicode() != ';') ++semi;
        b = amp + 1;
        if (semi >= e || semi->unicode() != ';') {
            out.push_back(*amp);
            continue;
        }
        const QString name = QString::fromRawData(amp + 1, static_cast<int>(semi - amp - 1));
        char16_t single = 0;
        uint code = 0;
        if (name == QLatin1String("lt"))
            single = '<';
        else if (name == QLatin1String("gt"))
            single = '>';
        else if (name == QLatin1String("amp"))
            single = '&';
        else if (name == QLatin1String("quot"))
            single = '"';
        else if (name == QLatin1String("apos"))
            single = '\'';
        else if (name.size() >= 2 && name.at(0) == QLatin1Char('#')) {
            bool ok = false;
            const bool hex = name.at(1) == QLatin1Char('x');
            const QStringRef digits = name.midRef(hex ? 2 : 1);
            // Digits only (no sign, no blank), at most eight of them.
            bool plain = !digits.isEmpty() && digits.size() <= 8;
            for (const QChar c : digits)
                plain = plain && (hex ? std::isxdigit(c.unicode() < 0x80 ? c.unicode() : 0) != 0
                                      : (c.unicode() >= '0' && c.unicode() <= '9'));
            if (plain) code = digits.toUInt(&ok, hex ? 16 : 10);
            const bool xmlChar = ok && (code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                                        (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF));
            if (!xmlChar) code = 0;
        }
        if (single != 0) {
            out.push_back(QChar(single));
        } else if (code != 0) {
            if (QChar::requiresSurrogates(code)) {
                out.push_back(QChar(QChar::highSurrogate(code)));
                out.push_back(QChar(QChar::lowSurrogate(code)));
            } else {
                out.push_back(QChar(static_cast<char16_t>(code)));
            }
        } else {
            if (!m_warnedReference) {
                m_warnedReference = true;
                logWarning("AbstractSaxHelper::parse, reference '&$;' is not decoded (kept as written)", name);
            }
            out.insert(out.end(), amp, semi + 1);
        }
        b = semi + 1;
    }
}

void AbstractSaxHelper::sortAttributes() {
    // Sorted by key, a later pair of an equal key after the earlier one. Start tags hold a handful
    // of pairs, where insertion sort is quickest; a start tag of outside input may hold hundreds of
    // thousands, where it would be quadratic.
    const std::size_t n = m_pairs.size();
    if (n < 2) return;
    const auto less = [](const AttributeRange& a, const AttributeRange& b) {
        return compareRanges(a.key, a.keyEnd, b.key, b.keyEnd) < 0;
    };
    if (n > 32) {
        std::stable_sort(m_pairs.begin(), m_pairs.end(), less);
    } else {
        for (std::size_t i = 1; i < n; ++i) {
            if (!less(m_pairs[i], m_pairs[i - 1])) continue;
            const AttributeRange x = m_pairs[i];
            std::size_t j = i;
            for (; j > 0 && less(x, m_pairs[j - 1]); --j) m_pairs[j] = m_pairs[j - 1];
            m_pairs[j] = x;
        }
    }
    // One pair per key: the later of equal keys wins.
    std::size_t out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 1 < n &&
            compareRanges(m_pairs[i].key, m_pairs[i].keyEnd, m_pairs[i + 1].key, m_pairs[i + 1].keyEnd) == 0)
            continue;
        m_pairs[out++] = m_pairs[i];
    }
    m_pairs.resize(out);
}

void AbstractSaxHelper::mergeAttributes(const AttributeRange* attributes, std::size_t count) {
    // Walk the previous element's map beside the sorted pairs: equal keys only get their value
    // rewritten, missing keys get a node (a spare one where there is one), keys no longer present
    // go to the spare list. Repeated start tags of one kind so cost no tree operation at all.
    auto it = m_attributes.begin();
    for (std::size_t i = 0; i < count; ++i) {
        const AttributeRange& pr = attributes[i];
        const int keyLen = static_cast<int>(pr.keyEnd - pr.key);
        const int valueLen = static_cast<int>(pr.valueEnd - pr.value);
        int c = 1;
        while (it != m_attributes.end()) {
            c = compareRanges(it->first.constData(), it->first.constData() + it->first.size(), pr.key, pr.keyEnd);
            if (c >= 0) break;
            m_spareNodes.push_back(m_attributes.extract(it++));
        }
        if (c == 0) {
            // The buffer is reused as it is unless someone shares it: resize keeps its room.
            it->second.resize(valueLen);
            std::memcpy(static_cast<void*>(it->second.data()), pr.value,
                        static_cast<std::size_t>(valueLen) * sizeof(QChar));
            ++it;
            continue;
        }
        if (m_spareNodes.empty()) {
            m_attributes.emplace_hint(it, QString(pr.key, keyLen), QString(pr.value, valueLen));
            continue;
        }
        auto node = std::move(m_spareNodes.back());
        m_spareNodes.pop_back();
        node.key().setUnicode(pr.key, keyLen);
        node.mapped().setUnicode(pr.value, valueLen);
        m_attributes.insert(it, std::move(node));
    }
    while (it != m_attributes.end()) m_spareNodes.push_back(m_attributes.extract(it++));
}

AbstractSaxHelper::TextPosition AbstractSaxHelper::textPosition() const {
    TextPosition pos;
    if (m_pos == nullptr) return pos;
    const QChar* begin = m_text.constData();
    const QChar* lineStart = begin;
    for (const QChar* p = begin; p < m_pos; ++p) {
        if (p->unicode() == '\n') {
            ++pos.line;
            lineStart = p + 1;
        }
    }
    pos.column = static_cast<int>(m_pos - lineStart) + 1;
    return pos;
}

QString AbstractSaxHelper::textPositionString() const {
    const TextPosition pos = textPosition();
    return xformat("line $, column $", pos.line, pos.column);
}

}  // namespace zor
