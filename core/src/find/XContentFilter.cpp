#include "find/Evaluate.h"
#include "find/FindText.h"

#include <zor/Logger.h>
#include <zor/XContentFilter.h>
#include <zor/XTokenizer.h>

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

inline unsigned char lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

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
            if (countCaseless(needle, need) >= need) return true;
            // Two non-ASCII letters fold to ASCII ones: the Kelvin sign and the long s.
            const QByteArray lower = needle.utf8.toLower();
            if (lower.contains('k') && detail::findBytes(m_p, m_n, "\xE2\x84\xAA", 3) != nullptr) return true;
            if (lower.contains('s') && detail::findBytes(m_p, m_n, "\xC5\xBF", 2) != nullptr) return true;
            return false;
        }
        if (!needle.bytewise) return true;
        if (needle.neverWord) return false;
        std::size_t count = 0;
        std::size_t pos = 0;
        const char* pat = needle.utf8.constData();
        while (pos + len <= m_n) {
            const char* hit = detail::findBytes(m_p + pos, m_n - pos, pat, len);
            if (hit == nullptr) break;
            const std::size_t off = static_cast<std::size_t>(hit - m_p);
            if (!s.wholeWord || mayBeWord(off, len)) {
                if (++count >= need) return true;
            }
            pos = off + 1;
        }
        return false;
    }

    std::size_t countCaseless(const detail::Needle& needle, std::size_t need) const {
        const unsigned char* m = reinterpret_cast<const unsigned char*>(m_p);
        const unsigned char* pat = reinterpret_cast<const unsigned char*>(needle.utf8.constData());
        const std::size_t len = static_cast<std::size_t>(needle.utf8.size());
        if (len > m_n || needle.neverWord) return 0;
        const unsigned char first = lowerAscii(pat[0]);
        std::size_t count = 0;
        for (std::size_t at = 0; at + len <= m_n; ++at) {
            if (lowerAscii(m[at]) != first) continue;
            std::size_t k = 1;
            while (k < len && lowerAscii(m[at + k]) == lowerAscii(pat[k])) ++k;
            if (k != len) continue;
            if (needle.symbol->wholeWord && !mayBeWord(at, len)) continue;
            if (++count >= need) break;
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
