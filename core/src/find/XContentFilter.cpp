#include "find/Evaluate.h"
#include "find/FindText.h"

#include <zor/Logger.h>
#include <zor/XContentFilter.h>
#include <zor/XDelimiter.h>
#include <zor/XTokenizer.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace zor {
namespace find {

namespace {

const XSymbol& emptySymbol() {
    static const XSymbol empty;
    return empty;
}

bool isDecimal(const QStringRef& tok) {
    if (tok.isEmpty()) return false;
    for (QChar c : tok)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// The quick whole-file test: a term counts as present when its bytes occur often enough anywhere
// in the content. Every unit is a piece of the content, so a term with hits in a unit is present;
// terms under NOT count as absent (they then add a mark and never fail a group), which can only
// make more units non-empty. The answer is therefore never "no" for content that has a result.
class PresencePolicy {
public:
    using Result = bool;

    PresencePolicy(const char* p, std::size_t n, std::size_t maxLineLength) : m_p(p), m_n(n), m_maxLine(maxLineLength) {}

    Result empty() const { return false; }
    bool nonEmpty(const Result& r) const { return r; }
    bool hitsUnderNot(const Result&) const { return false; }
    void merge(Result& into, Result&& t) const { into = into || t; }
    void addNot(Result& into) const { into = true; }
    Result term(const XSymbol& s, bool underNot) const {
        if (underNot) return false;
        return present(s);
    }

private:
    bool present(const XSymbol& s) const {
        const detail::Needle needle(s);
        const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
        if (len == 0) return false;
        const std::size_t need = s.countMinimum > 0 ? s.countMinimum : 1;
        if (s.ignoreCase) {
            if (!needle.asciiOnly) return true;
            if (countPattern(needle, needle.folded, need) >= need) return true;
            // Two non-ASCII letters fold to ASCII ones: the Kelvin sign and the long s.
            const QByteArray lower = needle.utf8.toLower();
            if (lower.contains('k') && detail::findBytes(m_p, m_n, "\xE2\x84\xAA", 3) != nullptr) return true;
            if (lower.contains('s') && detail::findBytes(m_p, m_n, "\xC5\xBF", 2) != nullptr) return true;
            return false;
        }
        if (!needle.bytewise) return true;
        return countPattern(needle, needle.exact, need) >= need;
    }

    // The occurrences of pattern that may count, up to need.
    std::size_t countPattern(const detail::Needle& needle, const detail::BytePattern& pattern, std::size_t need) const {
        const std::size_t len = pattern.size();
        if (len == 0 || len > m_n || needle.neverWord) return 0;
        std::size_t count = 0;
        std::size_t pos = 0;
        while (pos + len <= m_n) {
            const char* hit = pattern.find(m_p + pos, m_n - pos);
            if (hit == nullptr) break;
            const std::size_t off = static_cast<std::size_t>(hit - m_p);
            if (!needle.symbol->wholeWord || mayBeWord(off, len)) {
                if (++count >= need) break;
            }
            pos = off + 1;
        }
        return count;
    }

    static bool lineEdge(unsigned char c) { return c == '\n' || c == '\r'; }

    // Whether [off, off+len) may count as a whole word in some unit: its neighbours are
    // delimiters or line ends, or it sits in a run without delimiters that the reader may have
    // cut anywhere (a wrapped piece then starts or ends next to it).
    bool mayBeWord(std::size_t off, std::size_t len) const {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(m_p);
        const bool before = off == 0 || lineEdge(p[off - 1]) || detail::delimiterBefore(m_p, off);
        const bool after = off + len >= m_n || lineEdge(p[off + len]) || detail::delimiterAfter(m_p, m_n, off + len);
        if (before && after) return true;
        if (m_maxLine == 0) return false;
        const std::size_t reach = m_maxLine;
        std::size_t run = len;
        for (std::size_t i = off; i > 0 && run < reach; --i) {
            const unsigned char c = p[i - 1];
            if (lineEdge(c) || detail::isAsciiDelimiter(c)) break;
            ++run;
        }
        for (std::size_t i = off + len; i < m_n && run < reach; ++i) {
            const unsigned char c = p[i];
            if (lineEdge(c) || detail::isAsciiDelimiter(c)) break;
            ++run;
        }
        return run * 2 >= reach;
    }

    const char* m_p;
    std::size_t m_n;
    std::size_t m_maxLine;
};

bool hasSentenceDelimiter(const QString& text) {
    for (QChar c : XDelimiter::sDelimAll_Sentence)
        if (text.contains(c)) return true;
    return false;
}

// The whole-file answer made certain: each text is counted as find counts it, hit by hit, every
// hit checked against the unit it lies in. That unit is the line around it (without a carriage
// return before the line feed): the index's record of the line in file scope, as long as the line
// fits in one record, and the paragraph per paragraph (a sentence boundary never falls inside a
// text without sentence delimiters, so per sentence too). A text that cannot be decided so (a hit
// in a longer line in file scope, a caseless text beyond ASCII, a text with a sentence delimiter
// per sentence) leaves the answer undecided when the evaluation asks for it. With `bound`, the
// policy gives an upper bound instead, like PresencePolicy: whatever stands under NOT counts as
// absent, undecided terms as present.
class ExactPolicy {
public:
    using Result = bool;

    ExactPolicy(const char* p, std::size_t n, std::size_t maxLineLength, XContentFilter::Scope scope, bool bound)
        : m_p(reinterpret_cast<const unsigned char*>(p)),
          m_n(n),
          m_maxLine(maxLineLength),
          m_fileScope(scope == XContentFilter::File),
          m_sentences(scope == XContentFilter::Sentence),
          m_bound(bound) {}

    Result empty() const { return false; }
    bool nonEmpty(const Result& r) const { return r; }
    // As an upper bound, whatever stands under NOT counts as absent, a bracketed group too.
    bool hitsUnderNot(const Result& r) const { return !m_bound && r; }
    void merge(Result& into, Result&& t) const { into = into || t; }
    void addNot(Result& into) const { into = true; }
    Result term(const XSymbol& s, bool underNot) {
        if (m_bound && underNot) return false;
        bool undecided = false;
        const bool hits = decide(s, undecided);
        if (!undecided) return hits;
        if (m_bound) return true;
        m_undecided = true;
        return false;
    }
    bool undecided() const { return m_undecided; }

private:
    enum Verdict { COUNTS, DOES_NOT_COUNT, UNDECIDED };

    bool decide(const XSymbol& s, bool& undecided) {
        const detail::Needle needle(s);
        const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
        if (len == 0 || len > m_n || needle.neverWord || needle.utf8.contains('\n')) return false;
        const detail::BytePattern* pattern = nullptr;
        if (m_sentences && hasSentenceDelimiter(s.text)) {
            undecided = true;  // an occurrence may end a sentence, or cross the end of one
            return false;
        } else if (needle.bytewise) {
            pattern = &needle.exact;
        } else if (needle.caselessAscii && !(needle.hasFoldTargets && foldTargetsInContent())) {
            pattern = &needle.folded;
        } else {
            undecided = true;
            return false;
        }
        const std::size_t need = s.countMinimum > 0 ? s.countMinimum : 1;
        const bool endsWithCR = needle.utf8.endsWith('\r');
        const char* base = reinterpret_cast<const char*>(m_p);
        std::size_t count = 0;
        std::size_t pos = 0;
        while (pos + len <= m_n) {
            const char* hit = pattern->find(base + pos, m_n - pos);
            if (hit == nullptr) break;
            const std::size_t off = static_cast<std::size_t>(hit - base);
            pos = off + 1;
            const Verdict v = verdict(off, len, s.wholeWord, endsWithCR);
            if (v == UNDECIDED) {
                undecided = true;
            } else if (v == COUNTS && ++count >= need) {
                undecided = false;
                return true;
            }
        }
        return false;
    }

    Verdict verdict(std::size_t off, std::size_t len, bool word, bool endsWithCR) {
        const std::size_t end = off + len;
        const bool lineFeedAfter = end < m_n && m_p[end] == '\n';
        // A carriage return before a line feed belongs to no record.
        if (endsWithCR && lineFeedAfter) return DOES_NOT_COUNT;
        if (m_fileScope && !lineFits(off, end)) return UNDECIDED;
        if (!word) return COUNTS;
        const bool before =
            off == 0 || m_p[off - 1] == '\n' || detail::delimiterBefore(reinterpret_cast<const char*>(m_p), off);
        if (!before) return DOES_NOT_COUNT;
        const bool unitEnd = end == m_n || lineFeedAfter || (m_p[end] == '\r' && end + 1 < m_n && m_p[end + 1] == '\n');
        return unitEnd || detail::delimiterAfter(reinterpret_cast<const char*>(m_p), m_n, end) ? COUNTS
                                                                                               : DOES_NOT_COUNT;
    }

    // Whether the line holding [off, end) (no line feed inside) is one record of the index: its
    // text, without the carriage return before its line feed, is at most maxLineLength bytes.
    bool lineFits(std::size_t off, std::size_t end) {
        if (m_n <= m_maxLine) return true;
        if (off >= m_lineStart && end <= m_lineEnd) return m_lineFits;
        const std::size_t reach = m_maxLine + 2;  // the text, a carriage return and the line feed
        std::size_t start = 0;
        const std::size_t from = off > reach ? off - reach : 0;
        const void* lf = memrchr(m_p + from, '\n', off - from);
        if (lf != nullptr)
            start = static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - m_p) + 1;
        else if (from > 0)
            return false;
        const std::size_t limit = std::min(m_n, start + reach);
        const void* nl = end < limit ? std::memchr(m_p + end, '\n', limit - end) : nullptr;
        std::size_t stop = m_n;
        if (nl != nullptr)
            stop = static_cast<std::size_t>(static_cast<const unsigned char*>(nl) - m_p);
        else if (limit < m_n)
            return false;
        const std::size_t text =
            (nl != nullptr && stop > start && m_p[stop - 1] == '\r') ? stop - start - 1 : stop - start;
        m_lineStart = start;
        m_lineEnd = stop;
        m_lineFits = text <= m_maxLine;
        return m_lineFits;
    }

    bool foldTargetsInContent() {
        if (m_foldTargets < 0) {
            const char* p = reinterpret_cast<const char*>(m_p);
            m_foldTargets = (detail::findBytes(p, m_n, "\xE2\x84\xAA", 3) != nullptr ||
                             detail::findBytes(p, m_n, "\xC5\xBF", 2) != nullptr)
                                ? 1
                                : 0;
        }
        return m_foldTargets == 1;
    }

    const unsigned char* m_p;
    std::size_t m_n;
    std::size_t m_maxLine;
    bool m_fileScope;
    bool m_sentences;
    bool m_bound;
    bool m_undecided = false;
    int m_foldTargets = -1;       // the Kelvin sign or the long s in the content: unknown, no, yes
    std::size_t m_lineStart = 1;  // the last line looked at (empty before the first)
    std::size_t m_lineEnd = 0;
    bool m_lineFits = false;
};

// Whether find's per-unit result is non-empty exactly when one of the texts occurs in the unit,
// so that the first certain hit anywhere decides: texts joined by "|" alone, none with a minimum
// count above one, none made only of blanks (blank units are passed over), and per sentence none
// holding a sentence delimiter (the only way for an occurrence to cross a sentence's end).
bool anyTextDecides(const std::vector<XSymbol>& symbols, XContentFilter::Scope scope) {
    for (const XSymbol& s : symbols) {
        if (s.is_op_OR()) continue;
        if (!s.isFind() || s.countMinimum > 1) return false;
        bool blank = true;
        for (QChar c : s.text)
            if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r')) blank = false;
        if (blank || (scope == XContentFilter::Sentence && hasSentenceDelimiter(s.text))) return false;
    }
    return true;
}

}  // namespace

QString XContentFilter::scope_to_string(std::uint32_t scope) {
    switch (scope) {
        case File: return QStringLiteral("File");
        case Paragraph: return QStringLiteral("Paragraph");
        case Sentence: return QStringLiteral("Sentence");
        default: return QStringLiteral("unknown");
    }
}

XContentFilter::XContentFilter(const QString& query, bool regEx, Scope scope) : m_scope(scope) {
    createSymbols(query, regEx);
}

void XContentFilter::clear() {
    m_symbols.clear();
    m_source.clear();
    m_regEx = QRegularExpression();
    m_position = 0;
    m_regExMode = false;
    m_valid = false;
}

bool XContentFilter::readModifiers(const std::vector<QStringRef>& tokens, std::size_t& i, XSymbol& sym) {
    // tokens[i] is "{": read up to the next "}".
    for (++i; i < tokens.size(); ++i) {
        const QStringRef& t = tokens[i];
        if (t == QLatin1String("}")) return true;
        if (t == QLatin1String(",")) continue;
        if (t == QLatin1String("i")) {
            sym.ignoreCase = true;
        } else if (t == QLatin1String("w")) {
            sym.wholeWord = true;
        } else if (isDecimal(t) && t.size() <= 9) {
            sym.countMinimum = t.toUInt();
        } else {
            logError("XContentFilter::createSymbols, symbol '$' inside { } is forbidden", t.toString());
            return false;
        }
    }
    return true;  // no closing brace: the modifiers run to the end of the query
}

bool XContentFilter::createSymbols(const QString& query, bool regEx) {
    clear();
    m_source = query;
    m_regExMode = regEx;
    if (regEx) {
        m_regEx = QRegularExpression(query);
        m_valid = m_regEx.isValid();
        if (!m_valid)
            logError("XContentFilter::createSymbols, regular expression '$' is not valid: $ (offset $)", query,
                     m_regEx.errorString(), m_regEx.patternErrorOffset());
        return m_valid;
    }
    XTokenizer tok(query, QStringLiteral(" \t,{}+~!&()"), true, true);
    tok.remove_White_Space_Token();
    const std::vector<QStringRef>& tokens = tok.tokens();
    m_symbols.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const QStringRef& t = tokens[i];
        if (t == QLatin1String("(")) {
            m_symbols.emplace_back(XSymbol::BRACKET_OPEN);
        } else if (t == QLatin1String(")")) {
            m_symbols.emplace_back(XSymbol::BRACKET_CLOSE);
        } else if (t == QLatin1String("|")) {
            m_symbols.emplace_back(XSymbol::OR);
        } else if (t == QLatin1String("&")) {
            m_symbols.emplace_back(XSymbol::AND);
        } else if (t == QLatin1String("~")) {
            m_symbols.emplace_back(XSymbol::NOT);
        } else {
            XSymbol sym(t.toString());
            if (i + 1 < tokens.size() && tokens[i + 1] == QLatin1String("{")) {
                ++i;
                if (!readModifiers(tokens, i, sym)) {
                    m_symbols.clear();
                    return false;
                }
            }
            m_symbols.push_back(std::move(sym));
        }
    }
    const bool ok = checkSyntaxExt();
    remove_Char34_from_FindString();
    seekHome();
    m_valid = ok;
    return ok;
}

bool XContentFilter::checkSyntaxExt() {
    long long depth = 0;
    bool lastWasFind = false;
    for (const XSymbol& s : m_symbols) {
        if (s.isFind()) {
            if (lastWasFind) {
                logError("XContentFilter::checkSyntax - 2 Finder tokens not allowed");
                return false;
            }
            lastWasFind = true;
            continue;
        }
        lastWasFind = false;
        if (s.isBracketOpen()) ++depth;
        else if (s.isBracketClose()) --depth;
    }
    if (depth != 0) {
        logError("Brackets open/close must be symmetric +( -) => 0, but we have:$", depth);
        return false;
    }
    return true;
}

void XContentFilter::remove_Char34_from_FindString() {
    for (XSymbol& s : m_symbols)
        if (s.isFind()) s.text.remove(QLatin1Char('"'));
}

const XSymbol& XContentFilter::current_symbol(int offset) const {
    const long long i = static_cast<long long>(m_position) + offset;
    if (i < 0 || i >= static_cast<long long>(m_symbols.size())) {
        logError("Group::next_symbol, index:$, index+offset: $, must be 0 ... $", m_position, i, m_symbols.size());
        return emptySymbol();
    }
    return m_symbols[static_cast<std::size_t>(i)];
}

const XSymbol& XContentFilter::next_symbol() {
    if (m_position >= m_symbols.size()) {
        logError("Group::next_symbol, index: $, must be 0 ... $", m_position, m_symbols.size());
        return emptySymbol();
    }
    return m_symbols[m_position++];
}

void XContentFilter::eat_symbols_to_close_bracket() {
    std::uint32_t depth = 0;
    while (m_position < m_symbols.size()) {
        const XSymbol& s = m_symbols[m_position++];
        if (s.isBracketOpen()) ++depth;
        else if (s.isBracketClose()) {
            if (depth == 0) return;
            --depth;
        }
    }
}

bool XContentFilter::canMatch(const char* data, std::size_t len, std::size_t maxLineLength) const {
    if (m_regExMode || data == nullptr) return true;
    if (len == 0 || m_symbols.empty()) return false;
    if (detail::looksBinary(data, len)) return true;
    PresencePolicy policy(data, len, maxLineLength);
    detail::Evaluator<PresencePolicy> eval(m_symbols, policy);
    std::uint32_t pos = 0;
    return eval.run(pos);
}

XContentFilter::Presence XContentFilter::presence(const char* data, std::size_t len, std::size_t maxLineLength) const {
    if (!isValid() || len == 0) return Presence::No;  // find gives nothing for either
    if (m_regExMode || data == nullptr || len > static_cast<std::size_t>(INT32_MAX)) return Presence::Maybe;
    if (detail::looksBinary(data, len)) return Presence::Maybe;  // searched in its shown form
    // The reader's own limits on the piece length.
    const std::size_t maxLine = std::min<std::size_t>(std::max<std::size_t>(maxLineLength, 1), std::size_t(1) << 30);
    const bool exact = m_scope == File || anyTextDecides(m_symbols, m_scope);
    ExactPolicy policy(data, len, maxLine, m_scope, !exact);
    detail::Evaluator<ExactPolicy> eval(m_symbols, policy);
    std::uint32_t pos = 0;
    const bool result = eval.run(pos);
    if (!exact) return result ? Presence::Maybe : Presence::No;
    if (policy.undecided()) return Presence::Maybe;
    return result ? Presence::Yes : Presence::No;
}

void XContentFilter::show(unsigned int level) const {
    if (m_regExMode) {
        if (m_regEx.isValid()) logDebugSpace(level, "XContentFilter::show, Scope:'$', reg ex:'$'", scope_as_string(), m_source);
        else logDebugSpace(level, "XContentFilter::show, Scope:'$', reg ex:'$' NOT VALID", scope_as_string(), m_source);
        return;
    }
    logDebugSpace(level, "XContentFilter::show, Scope:'$', symbols:$", scope_as_string(), m_symbols.size());
    for (std::size_t i = 0; i < m_symbols.size(); ++i) logDebugSpace(level + 2, "[$] => $", i, m_symbols[i].toString());
}

QString XContentFilter::toString(bool withSymbols) const {
    QString s = m_regExMode ? xformat("scope:$, reg-ex pattern '$'", scope_as_string(), m_source)
                            : xformat("scope:$, pattern '$'", scope_as_string(), m_source);
    if (withSymbols && !m_regExMode) {
        s += QLatin1String(", symbols:");
        for (const XSymbol& sym : m_symbols) s += QLatin1Char(' ') + sym.toString();
    }
    return s;
}

}  // namespace find
}  // namespace zor
