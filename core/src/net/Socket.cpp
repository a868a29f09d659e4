#include <zor/Socket.h>

#include <zor/Logger.h>
#include <zor/UrlTarget.h>
#include <zor/WinServerSocket.h>
#include <zor/WinSocket.h>

#include "platform/PlatformSockets.h"

#include <cstring>

namespace zor {

namespace {
constexpr int kLineBuffer = 4096;
constexpr int kLineCut = 4000;
constexpr int kHeaderLines = 49;
constexpr int kConnectWaitMs = 2000;
}  // namespace

Socket::~Socket() = default;

int Socket::receive(void*, int, int) {
    logError("Socket::receive, overwrite me");
    return 0;
}

int Socket::send(const void*, int, int) {
    logError("Socket::send, overwrite me");
    return 0;
}

int Socket::closeReceiver() {
    close();
    return 0;
}

bool Socket::receiveMemBlock(XMem&, int) { return false; }
bool Socket::sendMemBlock(XMem&, int) { return false; }
XByteArray Socket::read(unsigned int, int) { return XByteArray(); }
XByteArray Socket::readAll(int) { return XByteArray(); }
bool Socket::writeAll(const XByteArray&, int) { return false; }
bool Socket::isValid() const { return false; }
void Socket::setTimeoutOption(unsigned int, unsigned int, bool) {}
void Socket::close() {}
void Socket::setNonblocking() {}
QString Socket::toString() { return QStringLiteral("Socket"); }

void Socket::setTimeoutMilliSeconds(unsigned int ms, bool receive) { setTimeoutOption(ms / 1000, ms % 1000, receive); }

int Socket::sendString(const QString& text, int flags) {
    const QByteArray bytes = text.toLatin1();
    return send(bytes.constData(), bytes.size(), flags);
}

bool Socket::sendByte(unsigned int value) {
    const char c = static_cast<char>(value & 0xFFu);
    return send(&c, 1, 0) == 1;
}

int Socket::readByte(int timeoutMs) {
    setTimeoutMilliSeconds(static_cast<unsigned int>(timeoutMs < 0 ? 0 : timeoutMs), true);
    char c = 0;
    if (receive(&c, 1, 0) != 1) return -1;
    return static_cast<signed char>(c);
}

int Socket::receiveString(QString& line, bool& timedOut, std::size_t, bool) {
    timedOut = false;
    char c = 0;
    int r = receive(&c, 1, 0);
    if (r <= 0) {
        timedOut = true;
        return r;
    }
    char buf[kLineBuffer];
    std::memset(buf, 0, sizeof buf);
    int len = 0;
    for (;;) {
        if (c == '\n') break;
        if (c != '\r') {
            buf[len++] = c;
            if (len >= kLineCut) {
                logWarning("Socket::receiveString, should not be here, len >= 4000");
                break;
            }
        }
        r = receive(&c, 1, 0);
        if (r == -1) {
            logError("Socket::receiveString, r == -1");
            return -1;
        }
        if (r <= 0) break;  // a receiver at its end: the line ends here
    }
    line = QString::fromLatin1(buf, len);
    return len;
}

QString Socket::readHttpHeader() {
    QString header;
    for (int n = 0; n < kHeaderLines; ++n) {
        QString line;
        bool timedOut = false;
        const int r = receiveString(line, timedOut, kLineBuffer, true);
        if (r < 0 || timedOut) {
            if (n == 0) logWarning("Socket::readHttpHeader, timeout");
            else logWarning("Socket::readHttpHeader , timeout,2");
            return QString();
        }
        if (line.isEmpty()) return header;
        header += line;
        header += QLatin1String("\r\n");
    }
    logWarning("Socket::readHttpHeader, read 3.... ?");
    return QString();
}

SockString Socket::readSockString() {
    QString line;
    bool timedOut = false;
    const int r = receiveString(line, timedOut, kLineBuffer, false);
    SockString s(line);
    if (timedOut) s.setZorErrorTimeout();
    else if (r < 0) s.setZorEOF();
    return s;
}

SockString Socket::readSockHttpHeader() {
    SockString s(readHttpHeader());
    if (s.isEmpty()) s.setZorErrorTimeout();
    return s;
}

Socket* Socket::createSocket(const QString& host, int port) {
    if (!platform::socketLibraryStartup()) {
        logError("winsock_Socket_ini - problems");
        return nullptr;
    }
    if (port < 0 || port > 0xFFFF) {
        logError("Socket::createSocket, $:$ port out of range", host, port);
        return nullptr;
    }
    const platform::SocketHandle h = platform::tcpSocket();
    if (h == 0) {
        logError("Socket::createSocket,0, cannot receive, r == 0, $", platform::socketErrorText(platform::lastSocketError()));
        return nullptr;
    }
    if (!platform::setBlocking(h, false)) {
        logError("ioctlsocket failed with error: $", platform::lastSocketError());
        platform::closeSocket(h);
        return nullptr;
    }
    std::uint32_t address = 0;
    QString resolveError;
    if (!platform::resolveIPv4(host, address, resolveError)) {
        logError("Socket::createSocket, host_info == NULL, $", resolveError);
        platform::closeSocket(h);
        return nullptr;
    }
    logDebug("Socket::createSocket, $:$", host, port);
    const bool started = platform::connectStart(h, address, static_cast<unsigned short>(port));
    if (!platform::setBlocking(h, true)) {
        logError("Socket::createSocket, $:$ ioctlsocket failed with error: $", host, port, platform::lastSocketError());
        platform::closeSocket(h);
        return nullptr;
    }
    if (!started || !platform::waitConnected(h, kConnectWaitMs)) {
        logError("Socket::createSocket, $:$ FD_ISSET failed", host, port);
        platform::closeSocket(h);
        return nullptr;
    }
    return new WinSocket(h, host + QLatin1Char(':') + QString::number(port), port);
}

Socket* Socket::createSocket(const QUrl& url) {
    const UrlTarget t = UrlTarget::fromUrl(url);
    if (t.result == UrlTarget::INVALID_URL) {
        logError("Socket::createSocket, url is not valid !");
        return nullptr;
    }
    if (t.result == UrlTarget::NO_PORT) {
        logError("BasicSocket::connectToHost, port '$'", t.urlPort);
        return nullptr;
    }
    return createSocket(t.host, t.port);
}

ServerSocket* Socket::createServerSocket() { return new WinServerSocket(); }

}  // namespace zor
