#pragma once
/// \zclass{HttpHeader,net} The head of an HTTP/1.x request or response: its first line (FirstLine) and its
/// fields, kept in the inherited XRecord (keys compared exactly, case-sensitive, iterated in key
/// order; a repeated key overwrites). It parses a head from text or bytes, renders it back with
/// CR LF line ends, and reads one from a socket.
/// \code
///   HttpHeader h;
///   h.fromString("GET /a HTTP/1.1\r\nHost: x:81\r\n\r\n");   // request, resource "/a", port 81
///   HttpHeader ok(200, "OK", 1);  ok.setContenLen(5);         // "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"
/// \endcode
/// Parsing takes CR LF line ends only; it never throws, and a refusal is false plus one log line
/// (fields stored before the failure stay). Because the record keeps one value per key, the parse
/// also notes what a server must not let pass silently: keys that came more than once
/// (repeatedKeys), whether the body length is ambiguous (hasAmbiguousLength: Content-Length
/// together with Transfer-Encoding, two different Content-Lengths, or one that is no plain number,
/// any case of the names), and field lines that proxies may read differently (hasUnsafeFieldLine:
/// blank or tab between a name and its colon, a folded line that begins with blank or tab) - the
/// request-smuggling shapes an HTTP/1.1 server answers with 400. The parse itself is the same with
/// or without them.
///
/// A whole-head parse into a record without fields keeps the head's bytes and the places of its
/// field lines only; the strings and the map are built the first time something needs them
/// (iteration, a setter, a copy, repeatedKeys...). Looking up a field by its exact name
/// (getString, hasKey, the fixed-key getters) or in any case (fieldNoCase) reads it from the bytes
/// without building the map. Every way of reading the record sees the same fields either way.
///
/// A plain value (copyable, movable), used by one thread at a time. The socket readers block the
/// calling thread for at most their deadline; the socket stays the caller's.
#include <zor/FirstLine.h>
#include <zor/XRecord.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

namespace zor {

class BasicSocket;
class Socket;

class ZOR_EXPORT HttpHeader : public XRecord {
public:
    /// The most bytes a head may take on the wire, first line and blank line included. A server or
    /// a socket reader refuses a longer one.
    static constexpr int MAX_HEADER_BYTES = 16 * 1024;

    HttpHeader() = default;
    explicit HttpHeader(bool request) : m_request(request) {}
    /// Stores the first line unparsed.
    explicit HttpHeader(const QString& firstLine) : m_firstLine(firstLine) {}
    /// (Without this a string literal would pick the bool constructor.)
    explicit HttpHeader(const char* firstLine) : m_firstLine(QString::fromLatin1(firstLine)) {}
    /// A response head "HTTP/1.<minor> <code> <text>".
    HttpHeader(int code, const QString& text, int minor);

    // ---- parsing
    /// A whole head: first line, CR LF, field lines each ending in CR LF; empty lines are skipped.
    /// Works on the Latin-1 bytes of s. Sets isRequest() from the first line.
    bool fromString(const QString& s);
    /// The record's own entry parser, reached with all three arguments.
    bool fromString(const QString& text, bool entries, bool lineEnds) override {
        return XRecord::fromString(text, entries, lineEnds);
    }
    /// The same on bytes as they come from the wire (each byte one Latin-1 character).
    bool fromLatin1(const char* data, int length);
    bool fromLatin1(const QByteArray& bytes) { return fromLatin1(bytes.constData(), bytes.size()); }
    /// Field lines only, each ending in CR LF; false for an empty s.
    bool fromStringWithoutFirstLine(const QString& s);
    /// One "Key: value" line; at most one blank after the colon is dropped.
    void addKeyVal(const QString& line);
    /// Reads a head line by line from a socket, then parses it. The whole head must arrive within
    /// timeoutMs (one deadline, not one per line), in at most 29 non-empty lines and
    /// MAX_HEADER_BYTES; with skipLineAfter one more line is read and dropped. A null socket, a
    /// closed one, a late, long or malformed head give false and one log line. The socket must
    /// belong to the calling thread.
    bool fromSocket(BasicSocket* sock, bool skipLineAfter, int timeoutMs = 30000);
    /// The same over a plain socket, line by line through Socket::receiveString (its receive
    /// time-out bounds each line; lines are cut at 4000 bytes), at most 29 non-empty lines. A null
    /// socket is a fatal check.
    bool fromSocketClassic(Socket* socket);
    /// Where the head in data ends: the index just past the first empty line (CR LF CR LF, or
    /// LF LF, which the parser then refuses), or -1 when no head ends in the first length bytes.
    /// from lets a reader that gets the bytes in pieces skip what it already searched.
    static int headerEnd(const char* data, int length, int from = 0);

    // ---- what the last parse noticed
    const QStringList& repeatedKeys() const {
        fillAttributes();
        return m_repeated;
    }
    bool hasAmbiguousLength() const;
    /// A field line began with a blank or tab (a folded continuation), or had one right before its
    /// colon ("Host : x"); such lines are parsed as always (the key keeps its blanks).
    bool hasUnsafeFieldLine() const { return m_unsafeFieldLine; }
    /// The body length a message announces: the Content-Length (any case of the name) when there is
    /// exactly one plain decimal value, 0 when there is none, -1 when it is ambiguous.
    long long bodyLength() const;
    /// The first field whose name equals key in any case; def when none.
    QString fieldNoCase(const QString& key, const QString& def = QString()) const;
    void clearParseNotes();

    // ---- wire form
    /// The first line (when not empty) and CR LF, "Key: value" CR LF per field in key order, CR LF.
    /// indent is accepted for the show family and has no effect.
    QString toStringCRLF(unsigned int indent = 0) const;
    QByteArray toLatin1CRLF() const;

    // ---- first line
    FirstLine& firstLine() { return m_firstLine; }
    const FirstLine& firstLine() const { return m_firstLine; }
    void setFirstLine(const QString& line) { m_firstLine.setLine(line); }
    unsigned int getCode() const { return m_firstLine.getCode(); }
    bool is404() const { return getCode() == 404; }
    bool isRequest() const { return m_request; }
    void setRequest(bool request) { m_request = request; }
    QString getResource() const { return m_firstLine.getResource(); }
    /// Makes this a "GET <path> HTTP/1.1" for an http URL (no scheme means http), the host stored
    /// under "HOST". Another scheme is logged and changes nothing.
    void setGetResource(const QString& url);

    // ---- fields with fixed keys (three are written in capitals, see the keys)
    QString accept() const { return getString(QStringLiteral("Accept"), QString()); }
    void setAccept(const QString& v) { setString(QStringLiteral("Accept"), v); }
    QString acceptEncoding() const { return getString(QStringLiteral("Accept-Encoding"), QString()); }
    void setAcceptEncoding(const QString& v) { setString(QStringLiteral("Accept-Encoding"), v); }
    QString acceptLanguage() const { return getString(QStringLiteral("Accept-Language"), QString()); }
    void setAcceptLanguage(const QString& v) { setString(QStringLiteral("Accept-Language"), v); }
    QString cacheControl() const { return getString(QStringLiteral("CACHE-CONTROL"), QString()); }
    void setCacheControl(const QString& v) { setString(QStringLiteral("CACHE-CONTROL"), v); }
    QString connection() const { return getString(QStringLiteral("Connection"), QString()); }
    void setConnection(const QString& v) { setString(QStringLiteral("Connection"), v); }
    void setConnectionKeepAlive() { setConnection(QStringLiteral("keep-alive")); }
    bool isKeepAlive() const { return connection().contains(QLatin1String("keep-alive")); }
    QString contentType() const { return getString(QStringLiteral("Content-Type"), QString()); }
    void setMime(const QString& v) { setString(QStringLiteral("Content-Type"), v); }
    unsigned long long getContentLength() const { return getULong(QStringLiteral("Content-Length"), 0); }
    void setContenLen(long long len) { setLong(QStringLiteral("Content-Length"), len); }
    QString getContenLanguage() const { return getString(QStringLiteral("Content-Language"), QString()); }
    void setContenLanguage(const QString& v) { setString(QStringLiteral("Content-Language"), v); }
    QString copyright() const { return getString(QStringLiteral("Copyright"), QString()); }
    void setCopyright(const QString& v) { setString(QStringLiteral("Copyright"), v); }
    QString description() const { return getString(QStringLiteral("Description"), QString()); }
    void setDecription(const QString& v) { setString(QStringLiteral("Description"), v); }
    QString expires() const { return getString(QStringLiteral("EXPIRES"), QString()); }
    void setExpires(const QString& v) { setString(QStringLiteral("EXPIRES"), v); }
    QString lastModified() const { return getString(QStringLiteral("LAST-MODIFIED"), QString()); }
    void setLastModified(const QString& v) { setString(QStringLiteral("LAST-MODIFIED"), v); }
    QString userAgent() const { return getString(QStringLiteral("User-Agent"), QString()); }
    void setUserAgent(const QString& v) { setString(QStringLiteral("User-Agent"), v); }
    QString host() const { return getString(QStringLiteral("Host"), QString()); }
    void setHost(const QString& v) { setString(QStringLiteral("Host"), v); }
    int upgradeInsecureRequest() const { return getInt(QStringLiteral("Upgrade-Insecure-Requests"), 0); }
    bool isUpgradeInsecureRequest() const { return upgradeInsecureRequest() != 0; }
    void setUpgradeInsecureRequest(int v) { setInt(QStringLiteral("Upgrade-Insecure-Requests"), v); }

    /// The "Host" value before ':' and the number after it (80, logged, when there is none).
    QString getHost() const;
    unsigned int getPort() const;

    // ---- record lookups that read a parsed head's fields without building the map
    QString getString(const QString& key, const QString& def) const override;
    bool hasAttribute(const QString& key) const override;
    bool hasKey(const QString& key) const override { return hasAttribute(key); }
    bool isString(const QString& key, const QString& value) const override;
    bool hasAttributes() const override { return m_pending || XRecord::hasAttributes(); }
    bool isEmpty() const override { return !hasAttributes(); }

    // ---- display
    void showContents(unsigned int indent = 0, unsigned int level = DEBUG,
                      KeyValueFormatter f = AbstractXRecord::kvAsString) const override;
    void showContentsOnly(unsigned int indent, unsigned int level) const;

protected:
    void fillAttributes() const override;

private:
    // A field line as byte offsets: its key and its value.
    struct FieldSpan {
        int key;
        int keyLength;
        int value;
        int valueLength;
    };

    bool parseHead(const char* data, int length, const QByteArray* owner);
    bool finishFirstLine();
    bool splitField(const char* data, int start, int length);
    void storeSpans(const char* data, bool noteRepeated) const;
    void noteLength(const char* value, int length);
    bool walkLines(const char* data, int length, int from, const char* failText);
    // The last pending field whose key is key, or -1.
    int findPending(const QString& key) const;
    QString pendingValue(int i) const;

    FirstLine m_firstLine;
    bool m_request = false;
    // A parsed head not yet in the map: its bytes and its fields in line order (m_fields holds the
    // fields between the walk and the store in the other parses too).
    mutable bool m_pending = false;
    mutable QByteArray m_bytes;
    mutable QVarLengthArray<FieldSpan, 16> m_fields;
    mutable bool m_noteRepeated = false;  // whether storing the pending fields notes repeated keys
    // What the parse noticed about repeated and length fields: the keys that came again, how many
    // Content-Length values came, the first one's digits (when it is a plain number), and whether
    // any value was no plain number or differed from the first.
    mutable QStringList m_repeated;
    int m_lengthCount = 0;
    bool m_lengthMismatch = false;
    bool m_transferEncoding = false;
    bool m_unsafeFieldLine = false;
    unsigned char m_lengthDigitCount = 0;
    char m_lengthDigits[18] = {};
};

}  // namespace zor
