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

// Field names a browser or server sends in nearly every message, ordered by length. A parsed key
// that matches one (byte for byte, case-sensitive) shares its static text instead of allocating a
// copy per message.
const QString kKnownNames[] = {
    QStringLiteral("DNT"),
    QStringLiteral("Host"),
    QStringLiteral("Date"),
    QStringLiteral("ETag"),
    QStringLiteral("Vary"),
    QStringLiteral("Accept"),
    QStringLiteral("Pragma"),
    QStringLiteral("Origin"),
    QStringLiteral("Cookie"),
    QStringLiteral("Server"),
    QStringLiteral("Referer"),
    QStringLiteral("Expires"),
    QStringLiteral("Location"),
    QStringLiteral("User-Agent"),
    QStringLiteral("Connection"),
    QStringLiteral("Keep-Alive"),
    QStringLiteral("Set-Cookie"),
    QStringLiteral("Content-Type"),
    QStringLiteral("Accept-Ranges"),
    QStringLiteral("Cache-Control"),
    QStringLiteral("Authorization"),
    QStringLiteral("Last-Modified"),
    QStringLiteral("If-None-Match"),
    QStringLiteral("Content-Length"),
    QStringLiteral("Sec-Fetch-Site"),
    QStringLiteral("Sec-Fetch-Mode"),
    QStringLiteral("Sec-Fetch-User"),
    QStringLiteral("Sec-Fetch-Dest"),
    QStringLiteral("Accept-Language"),
    QStringLiteral("Accept-Encoding"),
    QStringLiteral("Content-Encoding"),
    QStringLiteral("Transfer-Encoding"),
    QStringLiteral("If-Modified-Since"),
    QStringLiteral("Upgrade-Insecure-Requests"),
};
constexpr int kKnownCount = static_cast<int>(sizeof(kKnownNames) / sizeof(kKnownNames[0]));
constexpr int kLongestKnown = 25;

// The first eight bytes of s[0, n), big-endian, zero-padded: a difference between two prefixes
// orders the texts as their bytes do, and texts of one length up to eight bytes are equal exactly
// when their prefixes are.
quint64 bytePrefix(const char* s, int n) {
    quint64 v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | (i < n ? static_cast<unsigned char>(s[i]) : 0u);
    return v;
}

// The names of length n are kKnownNames[first[n], first[n + 1]); each one's prefix and bytes.
struct KnownIndex {
    unsigned char first[kLongestKnown + 2] = {};
    quint64 prefix[kKnownCount] = {};
    QByteArray bytes[kKnownCount];
    KnownIndex() {
        for (int i = 0; i < kKnownCount; ++i) {
            bytes[i] = kKnownNames[i].toLatin1();
            prefix[i] = bytePrefix(bytes[i].constData(), bytes[i].size());
        }
        int i = 0;
        for (int n = 0; n <= kLongestKnown + 1; ++n) {
            while (i < kKnownCount && kKnownNames[i].size() < n) ++i;
            first[n] = static_cast<unsigned char>(i);
        }
    }
};
const KnownIndex kKnownIndex;

// The static text for the key s[0, n) (n > 0) with the given prefix, or nullptr when it is no
// common name.
const QString* knownName(const char* s, int n, quint64 prefix) {
    if (n > kLongestKnown) return nullptr;
    for (int i = kKnownIndex.first[n]; i < kKnownIndex.first[n + 1]; ++i) {
        if (kKnownIndex.prefix[i] != prefix) continue;
        if (n <= 8 || std::memcmp(s + 8, kKnownIndex.bytes[i].constData() + 8, static_cast<size_t>(n - 8)) == 0)
            return &kKnownNames[i];
    }
    return nullptr;
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

// Whether s[0, n) equals the lower-case ASCII name in any case.
bool equalsNoCase(const char* s, int n, const char* lower, int lowerLength) {
    if (n != lowerLength) return false;
    for (int i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
        if (c != static_cast<unsigned char>(lower[i])) return false;
    }
    return true;
}

// The characters QString::trimmed drops, among the Latin-1 ones.
bool isLatin1Space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x85 || c == 0xA0; }


// Field lines stored in one go. A longer head is stored in several goes.
constexpr int kBatchSize = 64;

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
    // Each scan logs its own lines when the token count does not fit.
    if (line.startsWith(QLatin1String("HTTP")) || line.startsWith(QLatin1String("http")) ||
        line.startsWith(QLatin1String("Http"))) {
        if (m_firstLine.scanResponseLine()) {
            m_request = false;
            return true;
        }
    } else if (m_firstLine.scanRequestLine()) {
        return true;
    }
    logWarning("HttpHeader::from_String_old - first line is not HTTP");
    return false;
}

struct HttpHeader::PendingField {
    const char* key;
    int keyLength;
    const char* value;
    int valueLength;
    quint64 prefix;        // see bytePrefix
    const QString* known;  // the static text of a common key, or nullptr
    bool repeated;         // an earlier line (or the record) had the same key

    QString keyText() const { return known != nullptr ? *known : QString::fromLatin1(key, keyLength); }

    // Key order, which for Latin-1 text is QString's order (by UTF-16 code units).
    int compare(const PendingField& o) const {
        if (known != nullptr && known == o.known) return 0;
        if (prefix != o.prefix) return prefix < o.prefix ? -1 : 1;
        const int c = std::memcmp(key, o.key, static_cast<size_t>(keyLength < o.keyLength ? keyLength : o.keyLength));
        return c != 0 ? c : keyLength - o.keyLength;
    }
    bool sameKey(const PendingField& o) const {
        if (known != nullptr || o.known != nullptr) return known == o.known;  // a common name is always found
        return prefix == o.prefix && keyLength == o.keyLength && std::memcmp(key, o.key, static_cast<size_t>(keyLength)) == 0;
    }
};

// Hands every non-empty CR LF line of data[from, length) to the field parser. A line ends at its
// first CR; an LF with no CR before it on its line refuses the whole input (the fields before it
// are stored). A last line without its LF is not a field.
bool HttpHeader::walkLines(const char* data, int length, int from, const char* failText) {
    PendingField batch[kBatchSize];
    int pending = 0;
    int start = from;
    while (start < length) {
        const char* lf = static_cast<const char*>(std::memchr(data + start, '\n', static_cast<size_t>(length - start)));
        if (lf == nullptr) break;
        const int end = static_cast<int>(lf - data);
        const char* cr = static_cast<const char*>(std::memchr(data + start, '\r', static_cast<size_t>(end - start)));
        if (cr == nullptr) {
            storeFields(batch, pending);
            logWarning(failText);
            logWarning("<<<$>>>", QString::fromLatin1(data, length));
            return false;
        }
        const int lineLength = static_cast<int>(cr - (data + start));
        if (lineLength > 0 && splitField(data + start, lineLength, batch[pending]) && ++pending == kBatchSize) {
            storeFields(batch, pending);
            pending = 0;
        }
        start = end + 1;
    }
    storeFields(batch, pending);
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
    PendingField field;
    if (splitField(bytes.constData(), bytes.size(), field)) storeFields(&field, 1);
}

// At most one blank after the colon is dropped.
bool HttpHeader::splitField(const char* line, int length, PendingField& out) {
    if (length > 0 && (line[0] == ' ' || line[0] == '\t')) m_unsafeFieldLine = true;
    const char* colon = static_cast<const char*>(std::memchr(line, ':', static_cast<size_t>(length)));
    if (colon != nullptr && colon > line && (colon[-1] == ' ' || colon[-1] == '\t')) m_unsafeFieldLine = true;
    if (colon == nullptr) {
        logWarning("HttpHeader::addKeyVal, *p == 0, keyVal '$'", QString::fromLatin1(line, length));
        return false;
    }
    const int keyLength = static_cast<int>(colon - line);
    if (keyLength == 0) {
        logWarning("HttpHeader::addKeyVal, s.length:$, key.length == 0", length);
        return false;
    }
    int v = keyLength + 1;
    if (v < length && line[v] == ' ') ++v;
    out.key = line;
    out.keyLength = keyLength;
    out.value = line + v;
    out.valueLength = length - v;
    out.prefix = bytePrefix(line, keyLength);
    out.known = knownName(line, keyLength, out.prefix);
    out.repeated = false;
    return true;
}

// Stores the fields as if one after the other (a repeated key keeps its last value and is noted
// once per repetition, in line order), but sorted by key first: each key then goes to the end of
// the map with one comparison instead of a search from the root, and is written once.
void HttpHeader::storeFields(PendingField* fields, int count) {
    unsigned char order[kBatchSize];
    for (int i = 0; i < count; ++i) {
        // Insertion sort, stable: equal keys keep their line order.
        const PendingField& f = fields[i];
        int j = i;
        while (j > 0) {
            const PendingField& g = fields[order[j - 1]];
            if (g.compare(f) <= 0) break;
            order[j] = order[j - 1];
            --j;
        }
        order[j] = static_cast<unsigned char>(i);
    }
    for (int i = 0; i < count;) {
        PendingField& first = fields[order[i]];
        int j = i + 1;
        while (j < count) {
            PendingField& next = fields[order[j]];
            if (!first.sameKey(next)) break;
            next.repeated = true;
            ++j;
        }
        const PendingField& last = fields[order[j - 1]];
        const unsigned int before = countAttributes();
        appendString(first.keyText(), QString::fromLatin1(last.value, last.valueLength));
        if (countAttributes() == before) first.repeated = true;
        i = j;
    }
    for (int i = 0; i < count; ++i) {
        const PendingField& f = fields[i];
        if (f.repeated) m_repeated << f.keyText();
        if (equalsNoCase(f.key, f.keyLength, "content-length", 14)) noteLength(f.value, f.valueLength);
        else if (equalsNoCase(f.key, f.keyLength, "transfer-encoding", 17)) m_transferEncoding = true;
    }
}

// Notes one Content-Length value: trimmed as QString::trimmed would, it must be a plain decimal
// number of at most 18 digits, and equal (as text) to the first one.
void HttpHeader::noteLength(const char* value, int length) {
    int from = 0;
    int to = length;
    while (from < to && isLatin1Space(static_cast<unsigned char>(value[from]))) ++from;
    while (to > from && isLatin1Space(static_cast<unsigned char>(value[to - 1]))) --to;
    const int n = to - from;
    bool plain = n > 0 && n <= static_cast<int>(sizeof(m_lengthDigits));
    for (int i = from; plain && i < to; ++i) plain = value[i] >= '0' && value[i] <= '9';
    if (m_lengthCount++ == 0) {
        if (plain) {
            std::memcpy(m_lengthDigits, value + from, static_cast<size_t>(n));
            m_lengthDigitCount = static_cast<unsigned char>(n);
        } else {
            m_lengthMismatch = true;
        }
    } else if (!plain || n != m_lengthDigitCount || std::memcmp(m_lengthDigits, value + from, static_cast<size_t>(n)) != 0) {
        m_lengthMismatch = true;
    }
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
    return m_lengthCount > 0 && (m_transferEncoding || m_lengthMismatch);
}

long long HttpHeader::bodyLength() const {
    if (hasAmbiguousLength()) return -1;
    if (m_lengthCount == 0) return 0;
    long long v = 0;  // at most 18 digits: no overflow
    for (int i = 0; i < m_lengthDigitCount; ++i) v = v * 10 + (m_lengthDigits[i] - '0');
    return v;
}

QString HttpHeader::fieldNoCase(const QString& key, const QString& def) const {
    for (const auto& kv : getAttributes())
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return kv.second;
    return def;
}

void HttpHeader::clearParseNotes() {
    m_repeated.clear();
    m_lengthCount = 0;
    m_lengthMismatch = false;
    m_lengthDigitCount = 0;
    m_transferEncoding = false;
    m_unsafeFieldLine = false;
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
