#include <zor/Logger.h>
#include <zor/TextHelpers.h>
#include <zor/XTokenizer.h>

namespace zor {

namespace {

const QStringRef& emptyRef() {
    static const QStringRef empty;
    return empty;
}

// Delimiter membership: a table for ASCII, a scan of the set for anything else.
class DelimiterSet {
public:
    explicit DelimiterSet(const QString& delimiters) : m_all(delimiters) {
        for (QChar c : delimiters) {
            if (c.unicode() < 128) m_ascii[c.unicode()] = true;
            else m_hasOther = true;
        }
    }
    bool contains(char16_t c) const {
        if (c < 128) return m_ascii[c];
        return m_hasOther && m_all.contains(QChar(c));
    }

private:
    const QString& m_all;
    bool m_ascii[128] = {};
    bool m_hasOther = false;
};

}  // namespace

XTokenizer::XTokenizer(const QString& text, const QString& delimiters, bool returnDelims, bool keepStrings) {
    buildToken(text, delimiters, returnDelims, keepStrings);
}

unsigned int XTokenizer::buildToken(const QString& text, const QString& delimiters, bool returnDelims,
                                    bool keepStrings) {
    m_tokens.clear();
    const DelimiterSet delim(delimiters);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const int n = text.size();
    int start = 0;
    bool inToken = false;
    for (int i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (keepStrings && c == u'"') {
            if (inToken) m_tokens.emplace_back(&text, start, i - start);
            inToken = false;
            int close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) close = n - 1;  // never closed: the string runs to the end
            m_tokens.emplace_back(&text, i, close - i + 1);
            i = close;
        } else if (delim.contains(c)) {
            if (inToken) m_tokens.emplace_back(&text, start, i - start);
            inToken = false;
            if (returnDelims) m_tokens.emplace_back(&text, i, 1);
        } else if (!inToken) {
            start = i;
            inToken = true;
        }
    }
    if (inToken) m_tokens.emplace_back(&text, start, n - start);
    return size();
}

const QStringRef& XTokenizer::tokenAt(unsigned int i) const { return i < size() ? m_tokens[i] : emptyRef(); }

const QStringRef& XTokenizer::relative(int offset) const {
    const long long i = static_cast<long long>(m_index) + offset;
    if (i < 0 || i >= static_cast<long long>(size())) return emptyRef();
    return m_tokens[static_cast<std::size_t>(i)];
}

const QStringRef& XTokenizer::lastToken() const { return m_tokens.empty() ? emptyRef() : m_tokens.back(); }

const QStringRef& XTokenizer::nextToken() const {
    if (m_index >= size()) return emptyRef();
    return m_tokens[m_index++];
}

bool XTokenizer::is_One_of_these_Chars(const QStringRef& tok, const QString& chars) {
    return tok.size() == 1 && chars.contains(tok.at(0));
}

bool XTokenizer::is_Number(const QStringRef& tok) {
    bool ok = false;
    tok.toInt(&ok, 10);
    return ok;
}

bool XTokenizer::is_RealNumber(const QStringRef& tok) {
    bool ok = false;
    tok.toDouble(&ok);
    return ok;
}

bool XTokenizer::is_String(const QStringRef& tok) {
    return tok.size() >= 2 && tok.at(0) == QLatin1Char('"') && tok.at(tok.size() - 1) == QLatin1Char('"');
}

bool XTokenizer::is_WhiteSpace(const QStringRef& tok) {
    for (QChar c : tok)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t')) return false;
    return true;
}

QString XTokenizer::get_String(const QStringRef& tok) {
    if (is_String(tok)) return tok.mid(1, tok.size() - 2).toString();
    return tok.toString();
}

int XTokenizer::nextInt() const {
    const QStringRef& tok = nextToken();
    bool ok = false;
    const int v = tok.toInt(&ok, 10);
    if (ok) return v;
    logError("XTokenizer::nextInt, token '$' is not a number", tok);
    return 0;
}

double XTokenizer::nextDouble() const {
    const QStringRef& tok = nextToken();
    bool ok = false;
    const double v = tok.toDouble(&ok);
    if (ok) return v;
    logError("XTokenizer::nextDouble, token '$' is not a 'real' number", tok);
    return 0.0;
}

void XTokenizer::remove_White_Space_Token() {
    m_index = 0;
    std::vector<QStringRef> kept;
    kept.reserve(m_tokens.size());
    for (const QStringRef& t : m_tokens)
        if (!is_WhiteSpace(t)) kept.push_back(t);
    m_tokens.swap(kept);
}

QString XTokenizer::removeWhitespace(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u != u' ' && u != u'\t' && u != u'\n' && u != u'\r') out.append(c);
    }
    return out;
}

void XTokenizer::fill(std::set<QString>& set) const {
    for (const QStringRef& t : m_tokens) set.insert(t.toString());
}

void XTokenizer::show(unsigned int space, bool withType) const {
    logDebugSpace(space, "Token:$", size());
    for (unsigned int i = 0; i < size(); ++i) {
        const QStringRef& t = m_tokens[i];
        if (!withType) {
            logDebugSpace(space, "[$] = '$'", i, t);
            continue;
        }
        const char* type = "OTHER";
        if (is_String(t)) type = "STRING";
        else if (is_Number(t)) type = "NUMBER";
        else if (is_RealNumber(t)) type = "REAL NUMBER";
        else if (is_One_of_these_Chars(t, QStringLiteral("{(["))) type = "BRACKET OPEN";
        else if (is_One_of_these_Chars(t, QStringLiteral("})]"))) type = "BRACKET CLOSE";
        else if (is_One_of_these_Chars(t, QStringLiteral("+-*/^~"))) type = "OPERATOR";
        logDebugSpace(space, "[$] = '$' -  $", formatFillZero(2, i), t, type);
    }
}

}  // namespace zor
