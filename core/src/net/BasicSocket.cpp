#include <zor/BasicSocket.h>

#include <zor/FatalChecks.h>
#include <zor/HttpHeader.h>
#include <zor/Logger.h>
#include <zor/XSocket.h>
#include <zor/XSocketSSL.h>

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QTcpSocket>
#include <QThread>
#include <climits>

namespace zor {

namespace {
const char* const kSource = "libSrc/core/src/tools/io/xsock/BasicSocket";

int clampMs(std::size_t ms) { return ms > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(ms); }
}  // namespace

std::atomic<bool> BasicSocket::netDebug{false};

BasicSocket::BasicSocket(QTcpSocket* s) : sock(s) {
    if (sock == nullptr) nullPointerHandling(kSource, 30, QStringLiteral("sock == NULL"));
    logDebug("BasicSocket::BasicSocket");
}

BasicSocket::BasicSocket(const BasicSocket& other) : sock(other.sock), flushAfterWrite(other.flushAfterWrite.load()) {}

BasicSocket& BasicSocket::operator=(const BasicSocket& other) {
    sock = other.sock;
    flushAfterWrite.store(other.flushAfterWrite.load());
    return *this;
}

BasicSocket::~BasicSocket() { logDestruct("BasicSocket::~BasicSocket"); }

void BasicSocket::connectToHostEncrypted(const QString&, unsigned short) {
    logError("BasicSocket::connectToHostEncrypted - forbidden call !");
}

BasicSocket* BasicSocket::connectToHost(const QString& host, unsigned short port, bool ssl, std::size_t timeoutMs) {
    if (netDebug.load()) logDebug("BasicSocket::connectToHost, try to connect $:$, ssl:$, timeout:$", host, port, ssl, timeoutMs);
    // An address needs no lookup (nor the lookup's threads).
    QHostAddress literal;
    QString address;
    if (literal.setAddress(host)) {
        address = literal.toString();
    } else {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.addresses().isEmpty()) {
            logError("BasicSocket::connectToHost, cannot resolve '$'", host);
            return nullptr;
        }
        address = info.addresses().first().toString();
    }

    BasicSocket* result = nullptr;
    QTcpSocket* qs = nullptr;
    if (ssl) {
        auto* s = new XSocketSSL(true);
        s->connectToAddressEncrypted(address, port, host);
        result = s;
        qs = s;
    } else {
        auto* s = new XSocket();
        s->connectToHost(address, port);
        result = s;
        qs = s;
    }
    logDebug("normal sock, host '$'", host);

    if (!qs->waitForConnected(clampMs(timeoutMs))) {
        if (qs->error() == QAbstractSocket::ConnectionRefusedError) {
            logError("BasicSocket::connectToHost, CONNECTION REFUSED");
        } else {
            logError("BasicSocket::connectToHost, socket $:$ not open - timout: $ ms reached, err:$, '$'", host, port,
                     timeoutMs, static_cast<int>(qs->error()), qs->errorString());
        }
        delete result;
        return nullptr;
    }
    if (qs->isOpen()) {
        logDebug("BasicSocket::connectToHost, socket $:$ open", host, port);
        return result;
    }
    logError("BasicSocket::connectToHost, socket $:$ not open", host, port);
    delete result;
    return nullptr;
}

BasicSocket* BasicSocket::connectToHost(const QUrl& url, std::size_t timeoutMs) {
    const UrlTarget t = UrlTarget::fromUrl(url);
    if (t.result == UrlTarget::INVALID_URL) {
        logError("BasicSocket::connectToHost, url is not valid !");
        return nullptr;
    }
    if (t.result == UrlTarget::NO_PORT) {
        logError("BasicSocket::connectToHost, port '$'", t.urlPort);
        return nullptr;
    }
    return connectToHost(t.host, t.port, t.ssl, timeoutMs);
}

void BasicSocket::connectToTheHost(const QHostAddress& address, unsigned short port) { sock->connectToHost(address, port); }

bool BasicSocket::waitForConnected(int ms) { return sock->waitForConnected(ms); }

bool BasicSocket::canRead(int ms) { return flushRead(ms); }

bool BasicSocket::flushRead(int ms) {
    if (sock->bytesAvailable() > 0) return true;
    return sock->waitForReadyRead(ms);
}

bool BasicSocket::canWrite(int ms) { return flushWrite(ms); }

bool BasicSocket::flushWrite(int ms) {
    if (!sock->isOpen()) return false;
    QDeadlineTimer deadline(ms < 0 ? 0 : ms);
    while (sock->bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) return false;
        if (!sock->waitForBytesWritten(static_cast<int>(left))) return sock->bytesToWrite() == 0;
    }
    return true;
}

bool BasicSocket::sendRaw(const QByteArray& bytes, const char* writeFailedText) {
    if (sock->write(bytes) != bytes.size()) {
        logError(writeFailedText);
        return false;
    }
    if (flushAfterWrite.load() && !flushWrite(30000)) {
        logError("BasicSocket::sendString, flushWrite timeout or socket closed !");
        return false;
    }
    return true;
}

bool BasicSocket::sendString(const QString& text) {
    return sendRaw(text.toLatin1(), "BasicSocket::sendString, sock->write failed !");
}

bool BasicSocket::sendStringCRLF(const QString& text) {
    QByteArray bytes = text.toLatin1();
    bytes.append("\r\n", 2);
    return sendRaw(bytes, "BasicSocket::sendStringCRLF, sock->write failed !");
}

bool BasicSocket::sendBytes(const QByteArray& bytes) { return sendRaw(bytes, "BasicSocket::sendBytes, sock->write failed !"); }

bool BasicSocket::sendHttpHeader(const HttpHeader* httpHeader) {
    if (httpHeader == nullptr) {
        logError("BasicSocket::sendHttpHeader, httpHeader == nullptr");
        return false;
    }
    return sendRaw(httpHeader->toLatin1CRLF(), "BasicSocket::sendHttpHeader, sock->write failed !");
}

QString BasicSocket::receiveString(int maxLength, int timeoutMs) {
    if (maxLength <= 0) return QString();
    QDeadlineTimer deadline(timeoutMs < 0 ? 0 : timeoutMs);
    // Wait for a whole line, maxLength bytes, the peer closing or the time-out, then take one line.
    while (!sock->canReadLine() && sock->bytesAvailable() < maxLength && sock->state() == QAbstractSocket::ConnectedState) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) break;
        if (!sock->waitForReadyRead(static_cast<int>(left))) break;
    }
    QByteArray line = sock->readLine(maxLength + 1LL);
    if (line.endsWith('\n')) {
        line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
    }
    return QString::fromLatin1(line);
}

void BasicSocket::close(int ms) {
    if (sock->isOpen() && ms >= 1) flushWrite(ms);
    sock->close();
}

bool BasicSocket::isOpen() const {
    if (sock == nullptr) {
        logError("BasicSocket::isOpen, sock == nullptr");
        return false;
    }
    return sock->isOpen();
}

bool BasicSocket::valid(const BasicSocket* s) { return s != nullptr && s->sock != nullptr && s->sock->isOpen(); }

QAbstractSocket::SocketState BasicSocket::state() const { return sock->state(); }
QString BasicSocket::errorString() const { return sock->errorString(); }
QString BasicSocket::ipLocal() const { return sock->localAddress().toString(); }
QString BasicSocket::ipPeer() const { return sock->peerAddress().toString(); }
QHostAddress BasicSocket::localAddress() const { return sock->localAddress(); }
QHostAddress BasicSocket::peerAddress() const { return sock->peerAddress(); }

void BasicSocket::adoptToCurrentThread() {
    QThread* here = QThread::currentThread();
    if (sock->thread() != here) sock->moveToThread(here);
}

}  // namespace zor
