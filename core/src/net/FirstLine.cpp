#include <zor/FirstLine.h>

#include <zor/Logger.h>

namespace zor {

namespace {

// A status code is nearly always three digits: 1 to 9 ASCII digits cannot overflow and are read
// here; false for anything else.
bool plainNumber(const QChar* c, int n, unsigned int& v) {
    if (n <= 0 || n > 9) return false;
    v = 0;
    for (int i = 0; i < n; ++i) {
        const unsigned int d = static_cast<unsigned int>(c[i].unicode()) - '0';
        if (d > 9) return false;
        v = v * 10 + d;
    }
    return true;
}

// The token as a decimal number, 0 when it is none.
unsigned int statusCode(const QString& token) {
    unsigned int v = 0;
    if (plainNumber(token.constData(), token.size(), v)) return v;
    bool ok = false;
    const unsigned int code = token.toUInt(&ok);
    return ok ? code : 0;
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Where the token after position from begins and ends in line (begin == size when none is left).
void nextToken(const QString& line, int from, int& begin, int& end) {
    const int n = line.size();
    const QChar* c = line.constData();
    begin = from;
    while (begin < n && isBlank(c[begin])) ++begin;
    end = begin;
    while (end < n && !isBlank(c[end])) ++end;
}

}  // namespace

void FirstLine::setLine(const QString& line) {
    m_line = line;
    m_toks = Tokenizer();
    m_split = false;
    // Tokens are the runs between blanks and tabs (the splitter's rule; its byte form of a text
    // with surrogates keeps the ASCII blanks where they are, so the count is the same).
    m_count = 0;
    int begin = 0;
    int end = 0;
    for (nextToken(m_line, 0, begin, end); begin < end; nextToken(m_line, end, begin, end)) ++m_count;
    m_surrogates = false;
    for (const QChar c : m_line) m_surrogates = m_surrogates || c.isSurrogate();
}

const Tokenizer& FirstLine::tokens() const {
    if (!m_split) {
        m_toks = Tokenizer(m_line, QStringLiteral(" \t"));
        m_split = true;
    }
    return m_toks;
}

bool FirstLine::scanRequestLine() {
    if (m_count == 3) return true;
    logWarning("FirstLine::scanRequestLine - toks.size() != 3, we have $ token", m_count);
    logWarning("first line '$'", m_line);
    return false;
}

bool FirstLine::scanResponseLine() {
    if (m_count >= 2) {
        // A second token of plain digits is the same text as its slice of the line.
        int begin = 0;
        int end = 0;
        nextToken(m_line, 0, begin, end);
        nextToken(m_line, end, begin, end);
        unsigned int v = 0;
        m_code = plainNumber(m_line.constData() + begin, end - begin, v) ? v : statusCode(tokens()[1]);
        return true;
    }
    logWarning("FirstLine::scanResponseLine - toks.size() < 2, we have $ token", m_count);
    logWarning("FirstLine::scanResponseLine - strLine '$'", m_line);
    return false;
}

FirstLine::REQUEST_TYPE FirstLine::getRequestType() const {
    if (m_count != 3) {
        logWarning("FirstLine::getRequestType - toks.size() != 3, we have $ token", m_count);
        return GET;
    }
    const QString& method = tokens()[0];
    if (method.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0) return GET;
    if (method.compare(QLatin1String("POST"), Qt::CaseInsensitive) == 0) return POST;
    if (method.compare(QLatin1String("HEAD"), Qt::CaseInsensitive) == 0) return HEAD;
    logWarning("::requestTypeFromString - type is '$'", method);
    return NOT_SUPPORTED;
}

QString FirstLine::getResource() const {
    if (m_count == 3 && !m_split && !m_surrogates) {
        // Without surrogates a token is exactly its slice of the line: no need to split it all.
        int begin = 0;
        int end = 0;
        nextToken(m_line, 0, begin, end);
        nextToken(m_line, end, begin, end);
        return m_line.mid(begin, end - begin);
    }
    if (m_count == 3) return tokens()[1];
    logWarning("FirstLine::getResource - toks.size() != 3, we have $ token", m_count);
    return QString();
}

bool FirstLine::isVersion(const char* method, const char* version) const {
    if (m_count != 3) {
        logWarning("FirstLine::$ - toks.size() != 3, we have $ token", method, m_count);
        return false;
    }
    return tokens()[2] == QLatin1String(version);
}

bool FirstLine::isHttp1() const { return isVersion("isHttp1", "HTTP/1.0"); }
bool FirstLine::isHttp11() const { return isVersion("isHttp11", "HTTP/1.1"); }
bool FirstLine::isHttp2() const { return isVersion("isHttp2", "HTTP/2"); }

void FirstLine::setAnswerCode(unsigned int code) {
    m_code = code;
    setLine(QStringLiteral("HTTP/1.0 %1 OK").arg(code));
}

}  // namespace zor
