#include <zor/HttpHeader.h>

#include <zor/BasicSocket.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/Socket.h>

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
    return parseHead(bytes.constData(), bytes.size(), &bytes);
}

bool HttpHeader::fromLatin1(const char* data, int length) { return parseHead(data, length, nullptr); }

bool HttpHeader::parseHead(const char* data, int length, const QByteArray* owner) {
    fillAttributes();  // what an earlier parse left pending is stored before this one
    clearParseNotes();
    if (data == nullptr || length <= 0) length = 0;
    const char* lf =
        length > 0 ? static_cast<const char*>(std::memchr(data, '\n', static_cast<size_t>(length))) : nullptr;
    const char* cr =
        lf != nullptr ? static_cast<const char*>(std::memchr(data, '\r', static_cast<size_t>(lf - data))) : nullptr;
    if (cr == nullptr) {
        logWarning("Header::from_String_old - strange1");
        return false;
    }
    m_firstLine.setLine(QString::fromLatin1(data, static_cast<int>(cr - data)));
    const bool walked = walkLines(data, length, static_cast<int>(lf - data) + 1, "Header::from_String_old - strange2");
    if (!m_fields.isEmpty()) {
        if (attributeMap().empty()) {
            // Only this head's fields: they stay as byte ranges until someone asks for the record.
            const FieldSpan& last = m_fields.last();
            const int used = last.value + last.valueLength;
            m_bytes = owner != nullptr ? *owner : QByteArray(data, used);
            m_pending = true;
            m_noteRepeated = true;
        } else {
            storeSpans(data, true);
        }
    }
    if (!walked) return false;
    return finishFirstLine();
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
    if (socket == nullptr)
        nullPointerHandling("libSrc/core/src/net/HttpHeader", __LINE__, QStringLiteral("socket == NULL"));
    QString text;
    QString line;
    for (int lines = 0;; ++lines) {
        bool timedOut = false;
        // A peer that closes mid-head gives -1 without a time-out: the head is as incomplete.
        if (socket->receiveString(line, timedOut, 4096, true) < 0 || timedOut) {
            logWarning(lines == 0 ? "HttpHeader::fromSocketClassic , timeout"
                                  : "HttpHeader::fromSocketClassic , timeout,2");
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
    fillAttributes();
    const QByteArray bytes = s.toLatin1();
    const bool walked = walkLines(bytes.constData(), bytes.size(), 0, "Header::from_String_old - strange2");
    storeSpans(bytes.constData(), true);
    return walked;
}

void HttpHeader::addKeyVal(const QString& line) {
    fillAttributes();
    const QByteArray bytes = line.toLatin1();
    m_fields.clear();
    if (splitField(bytes.constData(), 0, bytes.size())) storeSpans(bytes.constData(), true);
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

// Indexes every non-empty CR LF line of data[from, length) as a field (m_fields, emptied first).
// A line ends at its first CR; an LF with no CR before it on its line refuses the whole input (the
// fields before it stay indexed). A last line without its LF is not a field.
bool HttpHeader::walkLines(const char* data, int length, int from, const char* failText) {
    m_fields.clear();
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
        if (lineLength > 0) splitField(data, start, lineLength);
        start = end + 1;
    }
    return true;
}

// Splits the line data[start, start + length) at its first colon into a field span (at most one
// blank after the colon is dropped) and notes what the line says about the body length or an
// unsafe shape; false, with one log line, for a line that is no field.
bool HttpHeader::splitField(const char* data, int start, int length) {
    const char* line = data + start;
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
    m_fields.append(FieldSpan{start, keyLength, start + v, length - v});
    // Both names are longer than any other a message usually carries: the length decides at once.
    if (keyLength == 14 && equalsNoCase(line, keyLength, "content-length", 14))
        noteLength(line + v, length - v);
    else if (keyLength == 17 && equalsNoCase(line, keyLength, "transfer-encoding", 17))
        m_transferEncoding = true;
    return true;
}

namespace {

// A field on its way into the map: its byte ranges and what sorting needs.
struct PendingField {
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
        return prefix == o.prefix && keyLength == o.keyLength &&
               std::memcmp(key, o.key, static_cast<size_t>(keyLength)) == 0;
    }
};

}  // namespace

void HttpHeader::fillAttributes() const {
    if (!m_pending) return;
    m_pending = false;
    storeSpans(m_bytes.constData(), m_noteRepeated);
    m_bytes = QByteArray();
}

// Stores the indexed fields (ranges of data) as if one after the other: a repeated key keeps its
// last value and is noted once per repetition, in line order. Each batch is sorted by key first,
// so that each key goes to the end of the map with one comparison instead of a search from the
// root, and is written once.
void HttpHeader::storeSpans(const char* data, bool noteRepeated) const {
    std::map<QString, QString>& map = attributeMap();
    PendingField fields[kBatchSize];
    unsigned char order[kBatchSize];
    for (int from = 0; from < m_fields.size(); from += kBatchSize) {
        const int count = qMin(kBatchSize, m_fields.size() - from);
        for (int i = 0; i < count; ++i) {
            const FieldSpan& span = m_fields[from + i];
            PendingField& f = fields[i];
            f.key = data + span.key;
            f.keyLength = span.keyLength;
            f.value = data + span.value;
            f.valueLength = span.valueLength;
            f.prefix = bytePrefix(f.key, f.keyLength);
            f.known = knownName(f.key, f.keyLength, f.prefix);
            f.repeated = false;
            // Insertion sort, stable: equal keys keep their line order.
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
            const std::size_t before = map.size();
            // The end is a hint: a key above every stored one is placed with one comparison.
            const auto it =
                map.try_emplace(map.end(), first.keyText(), QString::fromLatin1(last.value, last.valueLength));
            if (map.size() == before) {
                it->second = QString::fromLatin1(last.value, last.valueLength);
                first.repeated = true;
            }
            i = j;
        }
        for (int i = 0; noteRepeated && i < count; ++i)
            if (fields[i].repeated) m_repeated << fields[i].keyText();
    }
    m_fields.clear();
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
    } else if (!plain || n != m_lengthDigitCount ||
               std::memcmp(m_lengthDigits, value + from, static_cast<size_t>(n)) != 0) {
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

bool HttpHeader::hasAmbiguousLength() const { return m_lengthCount > 0 && (m_transferEncoding || m_lengthMismatch); }

long long HttpHeader::bodyLength() const {
    if (hasAmbiguousLength()) return -1;
    if (m_lengthCount == 0) return 0;
    long long v = 0;  // at most 18 digits: no overflow
    for (int i = 0; i < m_lengthDigitCount; ++i) v = v * 10 + (m_lengthDigits[i] - '0');
    return v;
}

QString HttpHeader::fieldNoCase(const QString& key, const QString& def) const {
    if (m_pending) {
        // The map's first match is the smallest matching key, holding that key's last value.
        const char* data = m_bytes.constData();
        int best = -1;
        for (int i = 0; i < m_fields.size(); ++i) {
            const FieldSpan& f = m_fields[i];
            if (f.keyLength != key.size() ||
                key.compare(QLatin1String(data + f.key, f.keyLength), Qt::CaseInsensitive) != 0)
                continue;
            if (best < 0 || std::memcmp(data + f.key, data + m_fields[best].key, static_cast<size_t>(f.keyLength)) <= 0)
                best = i;
        }
        return best < 0 ? def : pendingValue(best);
    }
    for (const auto& kv : getAttributes())
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return kv.second;
    return def;
}

// ---- lookups on a pending head

int HttpHeader::findPending(const QString& key) const {
    const int n = key.size();
    const ushort* k = key.utf16();
    const char* data = m_bytes.constData();
    for (int i = m_fields.size() - 1; i >= 0; --i) {
        const FieldSpan& f = m_fields[i];
        if (f.keyLength != n) continue;
        const char* p = data + f.key;
        int j = 0;
        while (j < n && k[j] == static_cast<unsigned char>(p[j])) ++j;
        if (j == n) return i;
    }
    return -1;
}

QString HttpHeader::pendingValue(int i) const {
    const FieldSpan& f = m_fields[i];
    return QString::fromLatin1(m_bytes.constData() + f.value, f.valueLength);
}

QString HttpHeader::getString(const QString& key, const QString& def) const {
    if (!m_pending) return XRecord::getString(key, def);
    const int i = findPending(key);
    return i < 0 ? def : pendingValue(i);
}

bool HttpHeader::hasAttribute(const QString& key) const {
    return m_pending ? findPending(key) >= 0 : XRecord::hasAttribute(key);
}

bool HttpHeader::isString(const QString& key, const QString& value) const {
    if (!m_pending) return XRecord::isString(key, value);
    const int i = findPending(key);
    if (i < 0) return false;
    const FieldSpan& f = m_fields[i];
    return value == QLatin1String(m_bytes.constData() + f.value, f.valueLength);
}

void HttpHeader::clearParseNotes() {
    m_repeated.clear();
    m_noteRepeated = false;  // a pending head's repetitions belong to the notes just cleared
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
