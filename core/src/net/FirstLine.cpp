#include <zor/FirstLine.h>

#include <zor/Logger.h>

namespace zor {

namespace {

// The token as a decimal number, 0 when it is none. A status code is nearly always three digits:
// up to nine digits cannot overflow and are read here; anything else goes through toUInt.
unsigned int statusCode(const QString& token) {
    const int n = token.size();
    if (n > 0 && n <= 9) {
        const QChar* c = token.constData();
        unsigned int v = 0;
        int i = 0;
        for (; i < n; ++i) {
            const ushort d = static_cast<ushort>(c[i].unicode() - '0');
            if (d > 9) break;
            v = v * 10 + d;
        }
        if (i == n) return v;
    }
    bool ok = false;
    const unsigned int code = token.toUInt(&ok);
    return ok ? code : 0;
}

}  // namespace

void FirstLine::setLine(const QString& line) {
    m_line = line;
    m_toks = Tokenizer(line, QStringLiteral(" \t"));
}

bool FirstLine::scanRequestLine() {
    if (m_toks.size() == 3) return true;
    logWarning("FirstLine::scanRequestLine - toks.size() != 3, we have $ token", m_toks.size());
    logWarning("first line '$'", m_line);
    return false;
}

bool FirstLine::scanResponseLine() {
    if (m_toks.size() >= 2) {
        m_code = statusCode(m_toks[1]);
        return true;
    }
    logWarning("FirstLine::scanResponseLine - toks.size() < 2, we have $ token", m_toks.size());
    logWarning("FirstLine::scanResponseLine - strLine '$'", m_line);
    return false;
}

FirstLine::REQUEST_TYPE FirstLine::getRequestType() const {
    if (m_toks.size() != 3) {
        logWarning("FirstLine::getRequestType - toks.size() != 3, we have $ token", m_toks.size());
        return GET;
    }
    const QString& method = m_toks[0];
    if (method.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0) return GET;
    if (method.compare(QLatin1String("POST"), Qt::CaseInsensitive) == 0) return POST;
    if (method.compare(QLatin1String("HEAD"), Qt::CaseInsensitive) == 0) return HEAD;
    logWarning("::requestTypeFromString - type is '$'", method);
    return NOT_SUPPORTED;
}

QString FirstLine::getResource() const {
    if (m_toks.size() == 3) return m_toks[1];
    logWarning("FirstLine::getResource - toks.size() != 3, we have $ token", m_toks.size());
    return QString();
}

bool FirstLine::isVersion(const char* method, const char* version) const {
    if (m_toks.size() != 3) {
        logWarning("FirstLine::$ - toks.size() != 3, we have $ token", method, m_toks.size());
        return false;
    }
    return m_toks[2] == QLatin1String(version);
}

bool FirstLine::isHttp1() const { return isVersion("isHttp1", "HTTP/1.0"); }
bool FirstLine::isHttp11() const { return isVersion("isHttp11", "HTTP/1.1"); }
bool FirstLine::isHttp2() const { return isVersion("isHttp2", "HTTP/2"); }

void FirstLine::setAnswerCode(unsigned int code) {
    m_code = code;
    setLine(QStringLiteral("HTTP/1.0 %1 OK").arg(code));
}

}  // namespace zor
