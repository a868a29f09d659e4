#include <zor/HttpHeader.h>

#include <zor/BasicSocket.h>
#include <zor/FatalChecks.h>
#include <zor/Socket.h>
#include <zor/Logger.h>

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QUrl>
#include <cstring>

namespace zor {

namespace {

// Field names a browser or server sends in nearly every message. A parsed key that matches one
// shares its static text instead of allocating a copy per message.
const QString& internedKey(const char* s, int n, QString& scratch) {
    static const QString names[] = {
        QStringLiteral("Host"),
        QStringLiteral("User-Agent"),
        QStringLiteral("Accept"),
        QStringLiteral("Accept-Language"),
        QStringLiteral("Accept-Encoding"),
        QStringLiteral("Accept-Ranges"),
        QStringLiteral("Connection"),
        QStringLiteral("Keep-Alive"),
        QStringLiteral("Upgrade-Insecure-Requests"),
        QStringLiteral("Cache-Control"),
        QStringLiteral("Pragma"),
        QStringLiteral("Referer"),
        QStringLiteral("Origin"),
        QStringLiteral("Cookie"),
        QStringLiteral("Set-Cookie"),
        QStringLiteral("Authorization"),
        QStringLiteral("Content-Type"),
        QStringLiteral("Content-Length"),
        QStringLiteral("Content-Encoding"),
        QStringLiteral("Transfer-Encoding"),
        QStringLiteral("Date"),
        QStringLiteral("Server"),
        QStringLiteral("Last-Modified"),
        QStringLiteral("ETag"),
        QStringLiteral("Expires"),
        QStringLiteral("Vary"),
        QStringLiteral("Location"),
        QStringLiteral("If-Modified-Since"),
        QStringLiteral("If-None-Match"),
        QStringLiteral("DNT"),
        QStringLiteral("Sec-Fetch-Site"),
        QStringLiteral("Sec-Fetch-Mode"),
        QStringLiteral("Sec-Fetch-User"),
        QStringLiteral("Sec-Fetch-Dest"),
    };
    for (const QString& name : names) {
        if (name.size() != n) continue;
        const QChar* c = name.constData();
        int i = 0;
        while (i < n && c[i].unicode() == static_cast<unsigned char>(s[i])) ++i;
        if (i == n) return name;
    }
    scratch = QString::fromLatin1(s, n);
    return scratch;
}

enum class LineRead { OK, TIMEOUT, TOO_LONG };

// One line (LF-ended, at most maxLength bytes with its end) into line without CR LF, waiting no
// longer than the deadline.
LineRead readLine(QTcpSocket* sock, const QDeadlineTimer& deadline, qint64 maxLength, QByteArray& line) {
    while (!sock->canReadLine()) {
        if (sock->bytesAvailable() >= maxLength) return LineRead::TOO_LONG;
        const qint64 left = deadline.remainingTime();
        if (left == 0 || sock->state() != QAbstractSocket::ConnectedState) return LineRead::TIMEOUT;
        if (!sock->waitForReadyRead(static_cast<int>(left)) && !sock->canReadLine()) {
            if (sock->bytesAvailable() >= maxLength) return LineRead::TOO_LONG;
            return LineRead::TIMEOUT;
        }
    }
    line = sock->readLine(maxLength + 1);
    if (!line.endsWith('\n')) return LineRead::TOO_LONG;
    line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return LineRead::OK;
}

bool equalsNoCase(const QString& key, const char* lower, int n) {
    if (key.size() != n) return false;
    for (int i = 0; i < n; ++i) {
        ushort c = key.at(i).unicode();
        if (c >= 'A' && c <= 'Z') c = static_cast<ushort>(c + ('a' - 'A'));
        if (c != static_cast<unsigned char>(lower[i])) return false;
    }
    return true;
}

bool isPlainDecimal(const QString& s) {
    if (s.isEmpty() || s.size() > 18) return false;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

HttpHeader::HttpHeader(int code, const QString& text, int minor) {
    m_firstLine.setLine(QStringLiteral("HTTP/1.%1 %2 %3").arg(minor).arg(code).arg(text));
    m_firstLine.scanResponseLine();
}

// ---- parsing

bool HttpHeader::fromString(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return fromLatin1(bytes.constData(), bytes.size());
}

bool HttpHeader::fromLatin1(const char* data, int length) {
    clearParseNotes();
    if (data == nullptr || length <= 0) length = 0;
    const char* lf = length > 0 ? static_cast<const char*>(std::memchr(data, '\n', static_cast<size_t>(length))) : nullptr;
    const char* cr = lf != nullptr ? static_cast<const char*>(std::memchr(data, '\r', static_cast<size_t>(lf - data))) : nullptr;
    if (cr == nullptr) {
        logWarning("Header::from_String_old - strange1");
        return false;
    }
    m_firstLine.setLine(QString::fromLatin1(data, static_cast<int>(cr - data)));
    if (!walkLines(data, length, static_cast<int>(lf - data) + 1, "Header::from_String_old - strange2")) return false;
    return finishFirstLine();
}

bool HttpHeader::finishFirstLine() {
    m_request = true;
    const QString& line = m_firstLine.getLine();
    if (line.startsWith(QLatin1String("HTTP")) || line.startsWith(QLatin1String("http")) ||
        line.startsWith(QLatin1String("Http"))) {
        if (m_firstLine.tokens().size() >= 2 && m_firstLine.scanResponseLine()) {
            m_request = false;
            return true;
        }
    } else if (m_firstLine.tokens().size() == 3) {
        return true;
    }
    if (m_firstLine.tokens().size() != 3) m_firstLine.scanRequestLine();  // logs the token count
    logWarning("HttpHeader::from_String_old - first line is not HTTP");
    return false;
}

// Hands every non-empty CR LF line of data[from, length) to the field parser. A line ends at its
// first CR; an LF with no CR before it on its line refuses the whole input. A last line without
// its LF is not a field.
bool HttpHeader::walkLines(const char* data, int length, int from, const char* failText) {
    int start = from;
    while (start < length) {
        const char* lf = static_cast<const char*>(std::memchr(data + start, '\n', static_cast<size_t>(length - start)));
        if (lf == nullptr) break;
        const int end = static_cast<int>(lf - data);
        const char* cr = static_cast<const char*>(std::memchr(data + start, '\r', static_cast<size_t>(end - start)));
        if (cr == nullptr) {
            logWarning(failText);
            logWarning("<<<$>>>", QString::fromLatin1(data, length));
            return false;
        }
        const int lineLength = static_cast<int>(cr - (data + start));
        if (lineLength > 0) addKeyValLatin1(data + start, lineLength);
        start = end + 1;
    }
    return true;
}

bool HttpHeader::fromSocket(BasicSocket* sock, bool skipLineAfter, int timeoutMs) {
    if (sock == nullptr || sock->socket() == nullptr) {
        logWarning("HttpHeader::fromSocket, sock == nullptr");
        return false;
    }
    QTcpSocket* s = sock->socket();
    const QDeadlineTimer deadline(timeoutMs < 0 ? 0 : timeoutMs);
    QByteArray text;
    QByteArray line;
    int lines = 0;
    for (;;) {
        const LineRead r = readLine(s, deadline, MAX_HEADER_BYTES - text.size(), line);
        if (r == LineRead::TOO_LONG) {
            logWarning("HttpHeader::fromSocket, header longer than $ bytes", MAX_HEADER_BYTES);
            return false;
        }
        if (r == LineRead::TIMEOUT) {
            logWarning(lines == 0 ? "HttpHeader::fromSocket, read 1.... ?" : "HttpHeader::fromSocket, read 2.... ?");
            return false;
        }
        if (line.isEmpty()) break;
        if (++lines >= 30) {
            logWarning("HttpHeader::fromSocket, read 3.... ?");
            return false;
        }
        text += line;
        text += "\r\n";
    }
    text += "\r\n";
    if (skipLineAfter && readLine(s, deadline, MAX_HEADER_BYTES, line) != LineRead::OK) {
        logWarning("HttpHeader::fromSocket, read 3.... ?");
        return false;
    }
    return fromLatin1(text);
}

bool HttpHeader::fromSocketClassic(Socket* socket) {
    if (socket == nullptr) nullPointerHandling("libSrc/core/src/net/HttpHeader", __LINE__, QStringLiteral("socket == NULL"));
    QString text;
    QString line;
    for (int lines = 0;; ++lines) {
        bool timedOut = false;
        // A peer that closes mid-head gives -1 without a time-out: the head is as incomplete.
        if (socket->receiveString(line, timedOut, 4096, true) < 0 || timedOut) {
            logWarning(lines == 0 ? "HttpHeader::fromSocketClassic , timeout" : "HttpHeader::fromSocketClassic , timeout,2");
            return false;
        }
        if (line.isEmpty()) break;
        if (lines >= 29) {
            logWarning("HttpHeader::fromSocketClassic, read 3.... ?");
            return false;
        }
        text += line;
        text += QLatin1String("\r\n");
    }
    text += QLatin1String("\r\n");
    return fromString(text);
}

bool HttpHeader::fromStringWithoutFirstLine(const QString& s) {
    if (s.isEmpty()) {
        logWarning("HttpHeader::fromStringWithoutFirstLine, s == '' ");
        return false;
    }
    const QByteArray bytes = s.toLatin1();
    return walkLines(bytes.constData(), bytes.size(), 0, "Header::from_String_old - strange2");
}

void HttpHeader::addKeyVal(const QString& line) {
    const QByteArray bytes = line.toLatin1();
    addKeyValLatin1(bytes.constData(), bytes.size());
}

void HttpHeader::addKeyValLatin1(const char* line, int length) {
    const char* colon = static_cast<const char*>(std::memchr(line, ':', static_cast<size_t>(length)));
    if (colon == nullptr) {
        logWarning("HttpHeader::addKeyVal, *p == 0, keyVal '$'", QString::fromLatin1(line, length));
        return;
    }
    const int keyLength = static_cast<int>(colon - line);
    if (keyLength == 0) {
        logWarning("HttpHeader::addKeyVal, s.length:$, key.length == 0", length);
        return;
    }
    int v = keyLength + 1;
    if (v < length && line[v] == ' ') ++v;
    QString scratch;
    store(internedKey(line, keyLength, scratch), QString::fromLatin1(line + v, length - v));
}

void HttpHeader::store(const QString& key, const QString& value) {
    const unsigned int before = countAttributes();
    setString(key, value);
    if (countAttributes() == before) m_repeated << key;
    if (equalsNoCase(key, "content-length", 14)) m_lengthValues << value.trimmed();
    else if (equalsNoCase(key, "transfer-encoding", 17)) m_transferEncoding = true;
}

int HttpHeader::headerEnd(const char* data, int length, int from) {
    // An end that straddles the previous search's edge is found by starting three bytes earlier.
    int i = from > 3 ? from - 3 : 0;
    while (i < length) {
        const char* lf = static_cast<const char*>(std::memchr(data + i, '\n', static_cast<size_t>(length - i)));
        if (lf == nullptr) return -1;
        const int at = static_cast<int>(lf - data);
        if (at + 1 < length && data[at + 1] == '\n') return at + 2;
        if (at + 2 < length && data[at + 1] == '\r' && data[at + 2] == '\n') return at + 3;
        i = at + 1;
    }
    return -1;
}

// ---- what the parse noticed

bool HttpHeader::hasAmbiguousLength() const {
    if (m_lengthValues.isEmpty()) return false;
    if (m_transferEncoding) return true;
    for (const QString& v : m_lengthValues)
        if (!isPlainDecimal(v) || v != m_lengthValues.front()) return true;
    return false;
}

long long HttpHeader::bodyLength() const {
    if (hasAmbiguousLength()) return -1;
    return m_lengthValues.isEmpty() ? 0 : m_lengthValues.front().toLongLong();
}

QString HttpHeader::fieldNoCase(const QString& key, const QString& def) const {
    for (const auto& kv : getAttributes())
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return kv.second;
    return def;
}

void HttpHeader::clearParseNotes() {
    m_repeated.clear();
    m_lengthValues.clear();
    m_transferEncoding = false;
}

// ---- wire form

QString HttpHeader::toStringCRLF(unsigned int) const {
    QString s;
    const QString& line = m_firstLine.getLine();
    int size = line.size() + 4;
    for (const auto& kv : getAttributes()) size += kv.first.size() + kv.second.size() + 4;
    s.reserve(size);
    if (!line.isEmpty()) s += line + QLatin1String("\r\n");
    for (const auto& kv : getAttributes()) {
        s += kv.first;
        s += QLatin1String(": ");
        s += kv.second;
        s += QLatin1String("\r\n");
    }
    s += QLatin1String("\r\n");
    return s;
}

QByteArray HttpHeader::toLatin1CRLF() const { return toStringCRLF().toLatin1(); }

// ---- host, port and requests

QString HttpHeader::getHost() const {
    const QString value = host();
    const Tokenizer toks(value, QStringLiteral(":"));
    if (toks.size() == 0) {
        logWarning("HttpHeader::getHost, what ????, s '$'", value);
        return QString();
    }
    return toks[0];
}

unsigned int HttpHeader::getPort() const {
    const QString value = host();
    const Tokenizer toks(value, QStringLiteral(":"));
    if (toks.size() == 0) {
        logWarning("HttpHeader::getPort, what ????, s '$'", value);
        return 80;
    }
    if (toks.size() < 2) {
        logDebug("HttpHeader::getPort, standard, return 80");
        return 80;
    }
    return toks[1].toUInt();
}

void HttpHeader::setGetResource(const QString& url) {
    QUrl u(url);
    if (u.scheme().isEmpty()) u = QUrl(QStringLiteral("http://") + url);
    const QString scheme = u.scheme();
    const QString hostName = u.host(QUrl::FullyDecoded);
    const QString path = u.path(QUrl::FullyDecoded);
    logDebug("host: '$'", hostName);
    logDebug("path: '$'", path);
    logDebug("scheme: '$'", scheme);
    if (scheme != QLatin1String("http")) {
        logWarning("HttpHeader::setGetResource - '$' not supported yet!", scheme);
        return;
    }
    setString(QStringLiteral("HOST"), hostName);
    m_firstLine.setLine(QStringLiteral("GET ") + path + QStringLiteral(" HTTP/1.1"));
}

// ---- display

void HttpHeader::showContents(unsigned int indent, unsigned int level, KeyValueFormatter) const {
    detail::logAt(level, indent, "HttpHeader");
    detail::logAt(level, indent, "<<<$>>>", m_firstLine.getLine());
    for (const auto& kv : getAttributes()) detail::logAt(level, indent, "$: '$'", kv.first, kv.second);
    detail::logAt(level, indent, "~Header");
}

void HttpHeader::showContentsOnly(unsigned int indent, unsigned int level) const {
    detail::logAt(level, indent, "Header [$]", countAttributes());
    for (const auto& kv : getAttributes()) detail::logAt(level, indent, "$: '$'", kv.first, kv.second);
    detail::logAt(level, indent, "~Header");
}

}  // namespace zor
