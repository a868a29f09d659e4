#include <zor/WinServerSocket.h>

#include <zor/Logger.h>
#include <zor/WinSocket.h>

#include "platform/PlatformSockets.h"

#include <QElapsedTimer>
#include <QThread>

namespace zor {

namespace {
constexpr int kSliceMs = 5;
constexpr unsigned int kPauseMs = 100;
}  // namespace

WinServerSocket::WinServerSocket() : ServerSocket(QStringLiteral("server"), 0, 0) {}

WinServerSocket::~WinServerSocket() { close(); }

bool WinServerSocket::bind(unsigned short p) { return bind(p, QString()); }

bool WinServerSocket::bind(unsigned short p, const QString& address) {
    platform::socketLibraryStartup();
    close();
    handle = platform::tcpSocket();
    if (handle == 0 || !platform::bindTcp(handle, address, p)) {
        logError(QString::asprintf("Bind failed with error code : %d", platform::lastSocketError()).toLatin1().constData());
        close();
        return false;
    }
    port = platform::localPort(handle);
    return true;
}

void WinServerSocket::listen(int connections) {
    if (handle == 0 || !platform::listenSocket(handle, connections)) {
        logError("WinServerSocket::listen == -1, connections:$", connections);
        return;
    }
    logDebug("WinServerSocket::listen, OK");
}

void WinServerSocket::setTimeoutOption(unsigned int seconds, unsigned int milliseconds, bool) {
    logDebug("WinServerSocket::setTimeoutOption, sec:$", seconds);
    const unsigned long long ms = static_cast<unsigned long long>(seconds) * 1000u + milliseconds;
    acceptTimeoutMs = ms > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<unsigned int>(ms);
}

Socket* WinServerSocket::accept(bool* timedOut) {
    logDebug("WinServerSocket::accept");
    if (timedOut != nullptr) *timedOut = false;
    QElapsedTimer clock;
    clock.start();
    bool first = true;
    if (handle == 0) {
        logError("WinServerSocket::accept,A,  select function returned with error $", 9);  // EBADF: not bound
        return nullptr;
    }
    for (;;) {
        const int r = platform::waitReadable(handle, kSliceMs);
        if (r < 0) {
            if (first) logError("WinServerSocket::accept,A,  select function returned with error $", platform::lastSocketError());
            else logError("WinServerSocket::accept,B,  select function returned with error $", platform::lastSocketError());
            return nullptr;
        }
        if (r > 0) break;
        first = false;
        const qint64 elapsed = clock.elapsed();
        if (elapsed >= static_cast<qint64>(acceptTimeoutMs)) {
            if (timedOut != nullptr) *timedOut = true;
            logWarning("WinServerSocket::accept, timeout $ ms reached", acceptTimeoutMs);
            return nullptr;
        }
        // Pause between the looks, but never past the time-out.
        const qint64 left = static_cast<qint64>(acceptTimeoutMs) - elapsed;
        QThread::msleep(static_cast<unsigned long>(left < kPauseMs ? left : kPauseMs));
    }
    const platform::SocketHandle h = platform::acceptSocket(handle);
    if (h == 0) {
        logError("WinServerSocket::accept - invalid");
        return nullptr;
    }
    logDebug("WinServerSocket::~accept");
    return new WinSocket(h, QStringLiteral("accepted:") + QString::number(port), port);
}

void WinServerSocket::close() {
    if (handle == 0) return;
    platform::closeSocket(handle);
    handle = 0;
}

void WinServerSocket::setNonblocking() {
    logDebug("WinServerSocket::setNonblocking");
    if (platform::setBlocking(handle, false)) logDebug("WinServerSocket::~setNonblocking - OK");
    else logError("WinServerSocket::setNonblocking - problems");
}

QString WinServerSocket::toString() { return QStringLiteral("WinServerSocket ") + QString::number(port); }

}  // namespace zor
