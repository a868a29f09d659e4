#pragma once
/// \zclass{BasicSocket,net} A thin, blocking-style view of a QTcpSocket for the library's small clients and
/// servers: connect by host or URL with a time-out, send text lines, read lines, wait for bytes.
///
/// XSocket and XSocketSSL are a plain and a TLS socket that carry this view; for them the wrapper
/// and the Qt socket are one object. connectToHost hands out a new socket that the caller owns
/// (delete it through the BasicSocket pointer). The wrapper never deletes the socket it is given.
///
/// Every wait is bounded by its time-out; failures give false, null or an empty string and one log
/// line; nothing throws. A socket belongs to the thread it lives in (Qt's rule): use it from that
/// thread only. Sockets handed out by XServer carry no thread; adoptToCurrentThread() takes them.
#include <zor/UrlTarget.h>
#include <zor/zor_export.h>

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QUrl>
#include <atomic>
#include <cstddef>

class QTcpSocket;

namespace zor {

class HttpHeader;

class ZOR_EXPORT BasicSocket {
public:
    /// Trace lines of connectToHost ("try to connect ...") when set; error lines are always written.
    static std::atomic<bool> netDebug;

    explicit BasicSocket(QTcpSocket* sock);  ///< null is a fatal "sock == NULL" check
    BasicSocket(const BasicSocket& other);   ///< same socket, same flushAfterWrite
    BasicSocket& operator=(const BasicSocket& other);
    virtual ~BasicSocket();

    virtual bool isSSL() const = 0;
    /// Only XSocketSSL can connect encrypted; here it logs "forbidden call".
    virtual void connectToHostEncrypted(const QString& host, unsigned short port);

    /// A new XSocketSSL (SSL errors ignored) or XSocket connected to the first address of host;
    /// null after timeoutMs, on a refused connection or an unresolvable host. The caller owns it.
    static BasicSocket* connectToHost(const QString& host, unsigned short port, bool ssl, std::size_t timeoutMs);
    /// The same for a URL (see UrlTarget for port and TLS).
    static BasicSocket* connectToHost(const QUrl& url, std::size_t timeoutMs);

    void connectToTheHost(const QHostAddress& address, unsigned short port);
    bool waitForConnected(int ms);

    bool canRead(int ms);     ///< waits up to ms for bytes to read
    bool flushRead(int ms);   ///< the same
    bool canWrite(int ms);    ///< false when not open, else waits up to ms for pending bytes to go
    bool flushWrite(int ms);  ///< the same

    bool sendString(const QString& text);      ///< the Latin-1 bytes
    bool sendStringCRLF(const QString& text);  ///< the Latin-1 bytes and CR LF
    bool sendBytes(const QByteArray& bytes);   ///< raw bytes, with the same flush rule
    /// The head's wire form (CR LF line ends); a null head gives false and one log line.
    bool sendHttpHeader(const HttpHeader* httpHeader);
    /// One line of at most maxLength bytes without its CR LF or LF. Waits up to timeoutMs for a
    /// whole line; what has arrived by then (or by the peer closing) is returned as the line.
    QString receiveString(int maxLength, int timeoutMs = 30000);

    void close(int ms);  ///< with ms >= 1 first waits up to ms for pending bytes
    bool isOpen() const;
    static bool valid(const BasicSocket* s);  ///< non-null, has a socket, open

    QAbstractSocket::SocketState state() const;
    QString errorString() const;
    QString ipLocal() const;
    QString ipPeer() const;
    QHostAddress localAddress() const;
    QHostAddress peerAddress() const;

    /// Sockets from XServer carry no thread: the thread that takes one calls this first.
    void adoptToCurrentThread();
    QTcpSocket* socket() const { return sock; }

    bool getFlushAfterWrite() const { return flushAfterWrite.load(); }
    void setFlushAfterWrite(bool on) { flushAfterWrite.store(on); }

protected:
    QTcpSocket* sock = nullptr;
    std::atomic<bool> flushAfterWrite{false};

private:
    bool sendRaw(const QByteArray& bytes, const char* writeFailedText);
};

}  // namespace zor
