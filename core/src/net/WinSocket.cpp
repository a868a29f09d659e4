#include <zor/WinSocket.h>

#include <zor/Logger.h>
#include <zor/ZorErrorCodes.h>

#include "platform/PlatformSockets.h"

#include <cerrno>
#include <climits>

namespace zor {

namespace {
// One system call moves at most this much: the counts are ints.
constexpr std::size_t kMaxChunk = 1u << 30;

QString memText(const XMem& mem) { return mem.toString(5, 5, false, true, false); }
}  // namespace

WinSocket::WinSocket(long long h, const QString& n, int p) : Socket(n, h, p) {}

WinSocket::~WinSocket() { close(); }

int WinSocket::receive(void* buffer, int length, int flags) {
    if (length <= 0) return 0;
    const int r = platform::socketRecv(handle, buffer, length, flags);
    if (r > 0) return r;
    const int err = platform::lastSocketError();
    if (r < 0) {
        if (err == platform::kSocketTimedOut) return -1;
        logError("WinSocket::receive, NOT TIMEOUT, result == -1, problem,WSAGetLastError, err:$", err);
        return -1;
    }
    logError("WinSocket::receive, result == 0, problem,WSAGetLastError, err:$", err);
    return -1;
}

int WinSocket::send(const void* buffer, int length, int flags) { return platform::socketSend(handle, buffer, length, flags); }

bool WinSocket::sendMemBlock(XMem& mem, int timeoutMs) {
    if (handle == 0) {
        logError("WinSocket::sendMemBlock, sock == 0!!!");
        return false;
    }
    if (timeoutMs != 0) setTimeoutMilliSeconds(static_cast<unsigned int>(timeoutMs < 0 ? 0 : timeoutMs), false);
    logDebug("WinSocket::sendMemBlock, mem:$", memText(mem));
    const char* p = mem.mem();
    std::size_t left = mem.size();
    while (left > 0) {
        const int chunk = static_cast<int>(left < kMaxChunk ? left : kMaxChunk);
        const int r = platform::socketSend(handle, p, chunk, 0);
        if (r <= 0) {
            const int err = platform::lastSocketError();
            logError("WinSocket::sendMemBlock, send failed, $ bytes left, err:$", static_cast<unsigned long long>(left), err);
            return false;
        }
        p += r;
        left -= static_cast<std::size_t>(r);
    }
    return true;
}

bool WinSocket::receiveMemBlock(XMem& mem, int timeoutMs) {
    if (mem.isError()) {
        logError("WinSocket::receiveMemBlock, mem:$", memText(mem));
        return false;
    }
    if (handle == 0) {
        mem.setZorError(ZOR_ERROR_NOT_INITIALIZED);
        logError("WinSocket::receiveMemBlock, sock == 0!!!");
        return false;
    }
    setTimeoutMilliSeconds(static_cast<unsigned int>(timeoutMs < 0 ? 0 : timeoutMs), true);
    char* p = mem.mem();
    std::size_t left = mem.size();
    while (left > 0) {
        const int chunk = static_cast<int>(left < kMaxChunk ? left : kMaxChunk);
        const int r = platform::socketRecv(handle, p, chunk, 0);
        if (r < 0) {
            mem.setZorError(ZOR_ERROR_TIMEOUT);
            const int err = platform::lastSocketError();
            if (err != platform::kSocketTimedOut) {
                mem.setErrno(err);
                logError("WinSocket::receiveMemBlock, result == -1");
                return false;
            }
            return true;  // timed out: error 110 in the block tells the caller
        }
        if (r == 0) {
            logError("WinSocket::receiveMemBlock, result == 0");
            mem.setZorError(ZOR_ERROR_BUFFER_EMPTY);
            return true;
        }
        p += r;
        left -= static_cast<std::size_t>(r);
    }
    return true;
}

void WinSocket::setTimeoutOption(unsigned int seconds, unsigned int milliseconds, bool receive) {
    const unsigned long long ms = static_cast<unsigned long long>(seconds) * 1000u + milliseconds;
    const unsigned int clamped = ms > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(ms);
    if (!platform::setSocketTimeout(handle, clamped, receive)) {
        logError("WinSocket::setTimeoutOption, sec:$, ms:$ result == -1, problem,WSAGetLastError, err:$", seconds, milliseconds,
                 platform::lastSocketError());
    }
}

void WinSocket::close() {
    if (handle == 0) return;
    if (!platform::closeSocket(handle)) logError("WinSocket::close, problem, err:$", platform::lastSocketError());
    handle = 0;
}

void WinSocket::setNonblocking() {
    if (platform::setBlocking(handle, false)) logDebug("WinSocket::setNonblocking - OK");
    else logError("WinSocket::setNonblocking - problems");
}

QString WinSocket::toString() { return QStringLiteral("WinSocket ") + name; }

}  // namespace zor
