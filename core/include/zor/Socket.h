#pragma once
/// \zclass{Socket,net} The plain-socket family on the operating system's socket interface: a byte receiver and
/// sender with time-outs, line and HTTP-header reading, whole memory blocks. WinSocket is the client
/// (a connected handle), WinServerSocket the listening side; createSocket and createServerSocket
/// make them.
///
/// Receive and send time-outs are those of the system socket (0 = no limit). Failures give -1,
/// false, null or an empty text and one log line; nothing throws. A Socket belongs to one thread at
/// a time. The factories hand out new objects that the caller owns; a Socket owns its handle.
#include <zor/AbstractReceiver.h>
#include <zor/SockString.h>
#include <zor/XByteArray.h>
#include <zor/XMem.h>
#include <zor/zor_export.h>

#include <QString>
#include <QUrl>
#include <cstddef>

namespace zor {

class ServerSocket;

class ZOR_EXPORT Socket : public AbstractReceiver {
public:
    Socket() = default;
    Socket(const QString& name, long long handle, int port) : name(name), handle(handle), port(port) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int receive(void* buffer, int length, int flags) override;  ///< the base only logs: 0
    int closeReceiver() override;                                ///< close(); 0
    ~Socket() override;

    virtual bool receiveMemBlock(XMem& mem, int timeoutMs);
    virtual bool sendMemBlock(XMem& mem, int timeoutMs);
    /// One line without CR and LF into line, cut at 4000 bytes; the line's length, or the failed
    /// receive's result (timedOut set when nothing came at all). maxLength is not used.
    virtual int receiveString(QString& line, bool& timedOut, std::size_t maxLength, bool flag);
    /// Header lines, each followed by CR LF, up to the empty line; empty on a time-out or after
    /// 49 lines without an end.
    virtual QString readHttpHeader();
    virtual SockString readSockString();      ///< error state set when the line failed
    virtual SockString readSockHttpHeader();  ///< error state set when the header failed
    virtual XByteArray read(unsigned int length, int timeoutMs);  ///< empty in this family
    virtual XByteArray readAll(int timeoutMs);                    ///< empty in this family
    virtual bool writeAll(const XByteArray& bytes, int timeoutMs);  ///< false in this family
    virtual int send(const void* buffer, int length, int flags);    ///< the base only logs: 0
    virtual bool sendByte(unsigned int value);
    /// One byte (sign-extended from a signed char) or -1; a negative time-out counts as 0, which
    /// is the system's "no limit".
    virtual int readByte(int timeoutMs);
    virtual void setTimeoutOption(unsigned int seconds, unsigned int milliseconds, bool receive);
    virtual bool isValid() const;  ///< false in this family
    virtual void close();
    virtual void setNonblocking();
    virtual QString toString();

    static Socket* createSocket(const QString& host, int port);
    static Socket* createSocket(const QUrl& url);
    static ServerSocket* createServerSocket();

    void setTimeoutMilliSeconds(unsigned int ms, bool receive);
    int sendString(const QString& text, int flags);  ///< the Latin-1 bytes; send's result
    int getPort() const { return port; }
    long long getHandle() const { return handle; }
    const QString& getName() const { return name; }

protected:
    QString name;
    long long handle = 0;  ///< the system socket; 0 when none
    int port = 0;
};

}  // namespace zor
