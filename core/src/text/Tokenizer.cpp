#include <zor/Logger.h>
#include <zor/Tokenizer.h>

#include <QByteArray>
#include <cstring>

namespace zor {

namespace {

const QString& emptyString() {
    static const QString empty;
    return empty;
}

// True when the text holds a UTF-16 surrogate: such texts are split through UTF-8, whose round
// trip may change a lone surrogate, so that every path gives the same tokens.
bool hasSurrogate(const char16_t* s, std::size_t n) {
    unsigned int acc = 0;
    for (std::size_t i = 0; i < n; ++i) acc |= ((s[i] & 0xF800u) == 0xD800u) ? 1u : 0u;
    return acc != 0;
}

// Splits UTF-16 text by ASCII delimiters. Because every byte of a non-ASCII character's UTF-8 form
// is 0x80 or above, an ASCII delimiter byte occurs exactly where the delimiter character occurs,
// so this gives the tokens of the byte rule without converting. The one change the UTF-8 decoding
// of a token makes on such text is kept as well: a leading byte-order mark (U+FEFF) is dropped.
void scanUtf16(const char16_t* s, std::size_t n, const bool (&isDelim)[128], bool returnDelims,
               std::vector<QString>& out) {
    auto emit = [&](std::size_t from, std::size_t to) {
        if (s[from] == 0xFEFF) ++from;
        out.emplace_back(reinterpret_cast<const QChar*>(s + from), static_cast<int>(to - from));
    };
    std::size_t start = 0;
    bool inToken = false;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 128 && isDelim[c]) {
            if (inToken) emit(start, i);
            inToken = false;
            if (returnDelims) out.emplace_back(QChar(c));
        } else if (!inToken) {
            start = i;
            inToken = true;
        }
    }
    if (inToken) emit(start, n);
}

// The general rule: the text and the delimiters as UTF-8 bytes, each delimiter byte a delimiter.
void scanUtf8(const QByteArray& text, const bool (&isDelim)[256], bool returnDelims, std::vector<QString>& out) {
    const char* s = text.constData();
    const std::size_t n = static_cast<std::size_t>(text.size());
    std::size_t start = 0;
    bool inToken = false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (isDelim[c]) {
            if (inToken) out.push_back(QString::fromUtf8(s + start, static_cast<int>(i - start)));
            inToken = false;
            if (returnDelims) out.push_back(QString::fromUtf8(s + i, 1));
        } else if (!inToken) {
            start = i;
            inToken = true;
        }
    }
    if (inToken) out.push_back(QString::fromUtf8(s + start, static_cast<int>(n - start)));
}

}  // namespace

Tokenizer::Tokenizer(const QString& text, const QString& delimiters, bool returnDelims) {
    scan(text, delimiters, returnDelims);
}

void Tokenizer::scan(const QString& text, const QString& delimiters, bool returnDelims) {
    m_index = 0;
    if (text.isEmpty()) return;
    // Most texts split into a few tokens (a request line, a point, a size): room for four up front
    // saves the vector's first regrowths.
    if (m_tokens.capacity() == 0) m_tokens.reserve(4);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const std::size_t n = static_cast<std::size_t>(text.size());
    bool ascii = true;
    for (QChar c : delimiters) ascii = ascii && c.unicode() < 128;
    if (ascii && !hasSurrogate(s, n)) {
        bool isDelim[128] = {};
        for (QChar c : delimiters) isDelim[c.unicode()] = true;
        scanUtf16(s, n, isDelim, returnDelims, m_tokens);
        return;
    }
    bool isDelim[256] = {};
    const QByteArray d = delimiters.toUtf8();
    for (char c : d) isDelim[static_cast<unsigned char>(c)] = true;
    scanUtf8(text.toUtf8(), isDelim, returnDelims, m_tokens);
}

QString Tokenizer::nextToken() {
    if (m_index >= size()) return QString();
    return m_tokens[m_index++];
}

QString Tokenizer::peekNextToken() const { return m_index < size() ? m_tokens[m_index] : QString(); }

bool Tokenizer::isPeekNextToken(const QString& s) const { return m_index < size() && m_tokens[m_index] == s; }

const QString& Tokenizer::tokenAt(unsigned int i) const { return i < size() ? m_tokens[i] : emptyString(); }

int Tokenizer::nextInt(int def) {
    if (m_index >= size()) return def;
    bool ok = false;
    const int v = m_tokens[m_index++].toInt(&ok, 10);
    return ok ? v : def;
}

unsigned int Tokenizer::nextUInt(unsigned int def) {
    if (m_index >= size()) return def;
    bool ok = false;
    const unsigned int v = m_tokens[m_index++].toUInt(&ok, 10);
    return ok ? v : def;
}

long long Tokenizer::nextLong(long long def) {
    if (m_index >= size()) return def;
    bool ok = false;
    const long long v = m_tokens[m_index++].toLongLong(&ok, 10);
    return ok ? v : def;
}

unsigned long long Tokenizer::nextULong(unsigned long long def) {
    if (m_index >= size()) return def;
    bool ok = false;
    const unsigned long long v = m_tokens[m_index++].toULongLong(&ok, 10);
    return ok ? v : def;
}

float Tokenizer::nextFloat(float def) {
    if (m_index >= size()) return def;
    bool ok = false;
    const float v = m_tokens[m_index++].toFloat(&ok);
    return ok ? v : def;
}

int Tokenizer::intAt(unsigned int i, int def) const {
    if (i >= size() || m_tokens[i].isEmpty()) return def;
    return m_tokens[i].toInt(nullptr, 10);
}

unsigned int Tokenizer::uintAt(unsigned int i, unsigned int def) const {
    if (i >= size() || m_tokens[i].isEmpty()) return def;
    return m_tokens[i].toUInt(nullptr, 10);
}

long long Tokenizer::LONG_at(unsigned int i, long long def) const {
    if (i >= size() || m_tokens[i].isEmpty()) return def;
    return m_tokens[i].toLongLong(nullptr, 10);
}

unsigned long long Tokenizer::ULONG_at(unsigned int i, unsigned long long def) const {
    if (i >= size() || m_tokens[i].isEmpty()) return def;
    return m_tokens[i].toULongLong(nullptr, 10);
}

bool Tokenizer::isNextToken_a_Number() const {
    if (m_index >= size()) return false;
    const QString& t = m_tokens[m_index];
    if (t.isEmpty() || t.at(0).isLetter()) return false;
    bool ok = false;
    t.toDouble(&ok);
    return ok;
}

std::queue<QString> Tokenizer::getQueue() const {
    std::queue<QString> q;
    for (const QString& t : m_tokens) q.push(t);
    return q;
}

std::vector<TokenString> Tokenizer::get_token_strings(const QString& text, const QString& delimiters) {
    const Tokenizer tok(text, delimiters, true);
    const QString quote(QLatin1Char('"'));
    std::vector<TokenString> out;
    bool inside = false;
    std::size_t openAt = 0;  // index of the opening quote
    for (std::size_t i = 0; i < tok.m_tokens.size(); ++i) {
        const QString& t = tok.m_tokens[i];
        if (t == quote) {
            if (inside) {
                // The piece is the token before the closing quote; none when the pair is empty.
                TokenString ts;
                ts.quoted = true;
                if (i > openAt + 1) ts.text = tok.m_tokens[i - 1];
                out.push_back(std::move(ts));
            } else {
                openAt = i;
            }
            inside = !inside;
        } else if (!inside) {
            out.push_back(TokenString{t.trimmed(), false});
        }
    }
    if (inside && openAt + 1 < tok.m_tokens.size()) {
        // A quote that is never closed: everything after it is one quoted piece, nothing is lost.
        TokenString ts;
        ts.quoted = true;
        for (std::size_t i = openAt + 1; i < tok.m_tokens.size(); ++i) ts.text += tok.m_tokens[i];
        out.push_back(std::move(ts));
    }
    return out;
}

void Tokenizer::show(unsigned int space) const {
    detail::logAt(TEST, space, "Tokenizer, size:$", size());
    for (unsigned int i = 0; i < size(); ++i) detail::logAt(TEST, space, "[$] = '$'", i, m_tokens[i]);
}

}  // namespace zor
