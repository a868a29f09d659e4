#include "platform/PlatformSockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace zor {
namespace platform {

namespace {
thread_local int t_lastError = 0;

int remember(int err) {
    t_lastError = (err == EAGAIN || err == EWOULDBLOCK) ? kSocketTimedOut : err;
    return t_lastError;
}
}  // namespace

bool socketLibraryStartup() {
    static std::once_flag once;
    std::call_once(once, [] {});
    return true;
}

SocketHandle tcpSocket() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        remember(errno);
        return 0;
    }
    if (fd == 0) {
        // 0 means "no socket" to the callers: move it off descriptor 0.
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        ::close(fd);
        if (moved < 0) {
            remember(errno);
            return 0;
        }
        fd = moved;
    }
    return fd;
}

bool closeSocket(SocketHandle h) {
    if (::close(static_cast<int>(h)) == 0) return true;
    remember(errno);
    return false;
}

bool setBlocking(SocketHandle h, bool blocking) {
    const int fd = static_cast<int>(h);
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) {
        remember(errno);
        return false;
    }
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    if (::fcntl(fd, F_SETFL, wanted) != 0) {
        remember(errno);
        return false;
    }
    return true;
}

bool resolveIPv4(const QString& host, std::uint32_t& address, QString& errorText) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const QByteArray name = host.toUtf8();
    const int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &list);
    if (rc != 0 || list == nullptr) {
        errorText = QString::fromLocal8Bit(::gai_strerror(rc != 0 ? rc : EAI_NONAME));
        if (list != nullptr) ::freeaddrinfo(list);
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(list);
    return true;
}

bool connectStart(SocketHandle h, std::uint32_t address, unsigned short port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address;
    if (::connect(static_cast<int>(h), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return true;
    if (errno == EINPROGRESS || errno == EINTR) return true;
    remember(errno);
    return false;
}

bool waitConnected(SocketHandle h, int ms) {
    pollfd p{static_cast<int>(h), POLLOUT, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, ms < 0 ? 0 : ms);
    } while (rc < 0 && errno == EINTR);
    if (rc <= 0) {
        remember(rc == 0 ? ETIMEDOUT : errno);
        return false;
    }
    // Writable also means "the connect failed": ask for the pending error.
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(static_cast<int>(h), SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    if (err != 0) {
        remember(err);
        return false;
    }
    return true;
}

bool setSocketTimeout(SocketHandle h, unsigned int ms, bool receive) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(ms / 1000);
    tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    if (::setsockopt(static_cast<int>(h), SOL_SOCKET, receive ? SO_RCVTIMEO : SO_SNDTIMEO, &tv, sizeof tv) == 0) return true;
    remember(errno);
    return false;
}

int socketRecv(SocketHandle h, void* buffer, int length, int flags) {
    ssize_t r;
    do {
        r = ::recv(static_cast<int>(h), buffer, static_cast<size_t>(length), flags);
    } while (r < 0 && errno == EINTR);
    if (r < 0) remember(errno);
    return static_cast<int>(r);
}

int socketSend(SocketHandle h, const void* buffer, int length, int flags) {
    ssize_t r;
    do {
        r = ::send(static_cast<int>(h), buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
    } while (r < 0 && errno == EINTR);
    if (r < 0) remember(errno);
    return static_cast<int>(r);
}

int lastSocketError() { return t_lastError; }

QString socketErrorText(int err) {
    if (err == kSocketTimedOut) err = EAGAIN;
    return QString::fromLocal8Bit(std::strerror(err));
}

bool bindTcp(SocketHandle h, const QString& address, unsigned short port) {
    const int fd = static_cast<int>(h);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (address.isEmpty()) {
        sa.sin_addr.s_addr = htonl(INADDR_ANY);
    } else if (::inet_pton(AF_INET, address.toLatin1().constData(), &sa.sin_addr) != 1) {
        remember(EINVAL);
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return true;
    remember(errno);
    return false;
}

bool listenSocket(SocketHandle h, int backlog) {
    if (::listen(static_cast<int>(h), backlog) == 0) return true;
    remember(errno);
    return false;
}

int waitReadable(SocketHandle h, int ms) {
    pollfd p{static_cast<int>(h), POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, ms < 0 ? 0 : ms);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        remember(errno);
        return -1;
    }
    if (rc > 0 && (p.revents & (POLLERR | POLLNVAL)) != 0) {
        remember(EBADF);
        return -1;
    }
    return rc > 0 ? 1 : 0;
}

SocketHandle acceptSocket(SocketHandle h) {
    int fd;
    do {
        fd = ::accept4(static_cast<int>(h), nullptr, nullptr, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        remember(errno);
        return 0;
    }
    return fd;
}

int localPort(SocketHandle h) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(static_cast<int>(h), reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        remember(errno);
        return -1;
    }
    return ntohs(sa.sin_port);
}

int listIPv4Addresses(QStringList& out) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return errno != 0 ? errno : -1;
    for (ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
        const auto* sin = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        // The adapter listing this stands in for never names the loopback interface.
        if ((ntohl(sin->sin_addr.s_addr) >> 24) == 127) continue;
        char text[INET_ADDRSTRLEN] = {0};
        if (::inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text) != nullptr) out.append(QString::fromLatin1(text));
    }
    ::freeifaddrs(list);
    return 0;
}

}  // namespace platform
}  // namespace zor
