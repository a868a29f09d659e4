// zor serve: serves the files of a directory over HTTP or HTTPS on the main event loop. GET and
// HEAD with keep-alive; the Content-Type comes from the file's suffix; 400, 404 and 405 answers
// carry a short text body. A path never leaves the directory: it is percent-decoded, cleaned and
// canonicalised (symbolic links resolved), and must still lie inside the directory.
//
// Every connection is bounded: a head must arrive whole within --headTimeout ms of its first byte
// (or of the connection, TLS handshake included) and within HttpHeader::MAX_HEADER_BYTES; an idle
// keep-alive connection is closed after kIdleMs; large files are sent in slices as the peer reads
// them. Each refusal or broken connection logs one line and ends that connection only.
//
// Heads are held to HTTP/1.1's rules for servers where a proxy in front might read them otherwise:
// a field line with a blank before its colon or a folded one gets 400, and so does a request line
// with a control byte, as soon as that byte arrives.
//
// Connections are bare descriptors in one epoll set, which the Qt event loop watches as a single
// descriptor: the loop's work per round does not grow with the number of idle connections, and a
// request costs a read, the file's open, read and close, and one write. TLS runs through OpenSSL
// on the same descriptors (TLS 1.2 or later, no client certificates). The process raises its
// descriptor limit as far as it may and asks for a long queue of connections not yet accepted, so
// that thousands of clients arriving at once get in.
// SIGINT and SIGTERM end the program with exit code 0.
#include "Commands.h"

#include <zor/core.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QTimer>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace zorapp {

using namespace zor;

namespace {

qint64 kHeadDeadlineMs = 10000;  // --headTimeout
constexpr qint64 kIdleMs = 15000;
constexpr qint64 kLingerMs = 2000;
constexpr qint64 kSlice = 64 * 1024;       // bytes queued per step when streaming a file
constexpr qint64 kWholeFile = 256 * 1024;  // files up to this size are sent in one write
// A peer that sends requests but does not read the answers is not read from while this much is
// queued for it; Qt's read buffer is capped too, so TCP flow control holds the peer back.
constexpr qint64 kQueuedLimit = 1024 * 1024;
constexpr qint64 kReadBuffer = 64 * 1024;
constexpr int kBacklog = 8192;
constexpr int kResolveSlowly = -2;

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    if (write(g_signalPipe[1], &c, 1) < 0) {
        // nothing more can be done inside a signal handler
    }
}

// One connection: a descriptor in the server's epoll set, read and written with system calls, or
// through OpenSSL on the same descriptor for TLS (ssl set).
struct Connection {
    int fd = -1;
    SSL* ssl = nullptr;
    bool handshaking = false;     // TLS: the handshake is not done yet
    bool readWantsWrite = false;  // TLS: a read must be tried again once the socket is writable
    QString peer;                 // filled when first needed
    QByteArray out;               // bytes not yet handed to the system (or to TLS), from outDone on
    int outDone = 0;
    unsigned int interest = 0;  // the epoll events asked for
    bool dead = false;          // closed, deleted after the current batch of events
    QByteArray buffer;          // bytes of the next head, not yet complete
    int searched = 0;           // how far headerEnd already looked in buffer
    int lineChecked = 0;        // how far the request line was checked for control bytes (-1: all of it)
    qint64 headStart = 0;       // when the pending head's first byte (or the connection) came
    bool headPending = true;
    qint64 lastActivity = 0;
    qint64 bodyToSkip = 0;  // request body bytes still to be dropped
    std::unique_ptr<QFile> streaming;
    qint64 streamLeft = 0;
    bool closeAfter = false;
    bool closing = false;
    bool halfClosed = false;
    qint64 closingSince = 0;
};

// The listening socket: every new connection is handed over as a bare descriptor, which spares a
// socket object, its buffers and its notifiers per connection (the event loop watches one
// descriptor for all of them).
class Listener : public XServer {
public:
    std::function<void(int)> onConnection;

protected:
    void incomingConnection(qintptr descriptor) override { onConnection(static_cast<int>(descriptor)); }
};

class FileServer : public QObject {
public:
    FileServer(const QString& root, bool verbose)
        : m_root(root), m_rootBytes(QFile::encodeName(root)), m_verbose(verbose) {
        m_clock.start();
        m_server.onConnection = [this](int fd) { accept(fd); };
        QObject::connect(&m_sweep, &QTimer::timeout, this, [this] { sweep(); });
        m_sweep.start(250);
        m_rootFd = ::open(m_rootBytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_indexType = contentType(QByteArray("index.html"));
        m_epoll = epoll_create1(EPOLL_CLOEXEC);
        if (m_epoll >= 0) {
            m_epollNotifier = std::make_unique<QSocketNotifier>(m_epoll, QSocketNotifier::Read);
            QObject::connect(m_epollNotifier.get(), &QSocketNotifier::activated, this, [this] { onEpoll(); });
        }
    }
    ~FileServer() override {
        for (Connection* c : m_conns) {
            SSL_free(c->ssl);
            ::close(c->fd);
            delete c;
        }
        reap();
        m_epollNotifier.reset();
        if (m_epoll >= 0) ::close(m_epoll);
        if (m_rootFd >= 0) ::close(m_rootFd);
        SSL_CTX_free(m_tls);
    }

    Listener& server() { return m_server; }
    bool ready() const { return m_epoll >= 0; }
    unsigned long long requests() const { return m_requests; }

    // From now on connections speak TLS with this certificate chain and key (PEM files), TLS 1.2 or
    // later, no client certificates. False, logged, when OpenSSL cannot use them.
    bool useTls(const QString& certFile, const QString& keyFile) {
        m_tls = SSL_CTX_new(TLS_server_method());
        if (m_tls == nullptr || SSL_CTX_set_min_proto_version(m_tls, TLS1_2_VERSION) != 1 ||
            SSL_CTX_use_certificate_chain_file(m_tls, QFile::encodeName(certFile).constData()) != 1 ||
            SSL_CTX_use_PrivateKey_file(m_tls, QFile::encodeName(keyFile).constData(), SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_check_private_key(m_tls) != 1) {
            logError("serve, TLS set-up: $", tlsError());
            return false;
        }
        // Partial writes from a queue that may move; idle connections give their buffers back.
        SSL_CTX_set_mode(
            m_tls, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER | SSL_MODE_RELEASE_BUFFERS);
        SSL_CTX_set_options(m_tls, SSL_OP_NO_RENEGOTIATION);
        return true;
    }

private:
    qint64 now() const { return m_clock.elapsed(); }

    static QString tlsError() {
        const unsigned long e = ERR_get_error();
        ERR_clear_error();
        if (e == 0) return QString::fromLocal8Bit(std::strerror(errno));
        char text[256];
        ERR_error_string_n(e, text, sizeof text);
        return QString::fromLatin1(text);
    }

    // ---- connections: accepting, reading, writing, ending

    void accept(int fd) {
        const int flags = fcntl(fd, F_GETFL);
        const int one = 1;
        auto* c = new Connection;
        c->fd = fd;
        c->headStart = c->lastActivity = now();
        c->interest = EPOLLIN;
        epoll_event ev{};
        ev.events = c->interest;
        ev.data.ptr = c;
        if (m_tls != nullptr) {
            c->ssl = SSL_new(m_tls);
            c->handshaking = true;
        }
        if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 ||
            (m_tls != nullptr && (c->ssl == nullptr || SSL_set_fd(c->ssl, fd) != 1)) ||
            epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &ev) != 0) {
            logWarning("serve, cannot take a new connection: $", QString::fromLocal8Bit(std::strerror(errno)));
            SSL_free(c->ssl);
            ::close(fd);
            delete c;
            return;
        }
        if (c->ssl != nullptr) SSL_set_accept_state(c->ssl);
        // Answers go out as one write each: no need to wait for the peer's acknowledgement.
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        m_conns.insert(c);
    }

    const QString& peerOf(Connection* c) {
        if (!c->peer.isEmpty()) return c->peer;
        sockaddr_storage a{};
        socklen_t n = sizeof a;
        char text[INET6_ADDRSTRLEN] = "?";
        if (getpeername(c->fd, reinterpret_cast<sockaddr*>(&a), &n) == 0) {
            if (a.ss_family == AF_INET)
                inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&a)->sin_addr, text, sizeof text);
            else if (a.ss_family == AF_INET6)
                inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&a)->sin6_addr, text, sizeof text);
        }
        c->peer = QString::fromLatin1(text);
        return c->peer;
    }

    static qint64 queued(const Connection* c) { return c->out.size() - c->outDone; }

    void setInterest(Connection* c, unsigned int events) {
        if (c->dead || c->interest == events) return;
        epoll_event ev{};
        ev.events = events;
        ev.data.ptr = c;
        if (epoll_ctl(m_epoll, EPOLL_CTL_MOD, c->fd, &ev) == 0) c->interest = events;
    }
    void want(Connection* c, unsigned int event, bool on) {
        setInterest(c, on ? c->interest | event : c->interest & ~event);
    }

    // Hands bytes to the system (through TLS on a TLS connection): the count taken, kAgain when
    // nothing can be taken now (the events to wait for are asked), kBroken when the peer broke the
    // connection.
    static constexpr long kAgain = -1;
    static constexpr long kBroken = -2;
    long rawWrite(Connection* c, const char* data, long size) {
        if (c->ssl == nullptr) {
            for (;;) {
                const ssize_t n = ::send(c->fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
                if (n >= 0) return static_cast<long>(n);
                if (errno == EINTR) continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK) return kBroken;
                want(c, EPOLLOUT, true);
                return kAgain;
            }
        }
        ERR_clear_error();
        const int n = SSL_write(c->ssl, data, static_cast<int>(qMin<long>(size, INT_MAX)));
        if (n > 0) return n;
        const int e = SSL_get_error(c->ssl, n);
        if (e == SSL_ERROR_WANT_WRITE) want(c, EPOLLOUT, true);
        if (e == SSL_ERROR_WANT_WRITE || e == SSL_ERROR_WANT_READ) return kAgain;  // reads go on meanwhile
        ERR_clear_error();
        return kBroken;
    }

    // Takes bytes from the system (through TLS): the count, kAgain when none are there now, 0 when
    // the peer ended the connection or broke it.
    long rawRead(Connection* c, char* data, long size) {
        if (c->ssl == nullptr) {
            for (;;) {
                const ssize_t n = ::recv(c->fd, data, static_cast<size_t>(size), 0);
                if (n >= 0) return static_cast<long>(n);
                if (errno == EINTR) continue;
                return errno == EAGAIN || errno == EWOULDBLOCK ? kAgain : 0;
            }
        }
        ERR_clear_error();
        const int n = SSL_read(c->ssl, data, static_cast<int>(size));
        if (n > 0) return n;
        const int e = SSL_get_error(c->ssl, n);
        if (e == SSL_ERROR_WANT_READ) return kAgain;
        if (e == SSL_ERROR_WANT_WRITE) {
            c->readWantsWrite = true;
            want(c, EPOLLOUT, true);
            return kAgain;
        }
        ERR_clear_error();
        return 0;
    }

    // Queues bytes for the peer: what the system takes now goes at once, the rest when the socket
    // is writable again; a write the peer broke ends the connection (the caller sees c->dead).
    void put(Connection* c, const QByteArray& data) {
        if (c->dead) return;
        if (queued(c) > 0) {
            c->out += data;
            return;
        }
        const long n = rawWrite(c, data.constData(), data.size());
        if (n == data.size()) return;
        if (n == kBroken) {
            gone(c);
            return;
        }
        c->out = n > 0 ? data.mid(static_cast<int>(n)) : data;
        c->outDone = 0;
        if (n > 0) want(c, EPOLLOUT, true);
    }

    // Writes what it can of the queue; once it is empty, goes on as after any write.
    void flush(Connection* c) {
        while (queued(c) > 0) {
            const long n = rawWrite(c, c->out.constData() + c->outDone, queued(c));
            if (n == kAgain) return;
            if (n == kBroken) {
                gone(c);
                return;
            }
            c->outDone += static_cast<int>(n);
        }
        c->out.clear();
        c->outDone = 0;
        if (!c->readWantsWrite) want(c, EPOLLOUT, false);
        written(c);
    }

    // Goes on with a TLS handshake; true once it is done.
    bool handshake(Connection* c) {
        ERR_clear_error();
        const int r = SSL_do_handshake(c->ssl);
        if (r == 1) {
            c->handshaking = false;
            want(c, EPOLLOUT, queued(c) > 0);
            return true;
        }
        const int e = SSL_get_error(c->ssl, r);
        if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
            setInterest(c, e == SSL_ERROR_WANT_WRITE ? EPOLLIN | EPOLLOUT : EPOLLIN);
            return false;
        }
        logWarning("serve, peer $: TLS handshake failed ($), closing", peerOf(c), tlsError());
        drop(c);
        return false;
    }

    void onEpoll() {
        epoll_event events[256];
        const int n = epoll_wait(m_epoll, events, 256, 0);
        for (int i = 0; i < n; ++i) {
            auto* c = static_cast<Connection*>(events[i].data.ptr);
            if (c->dead) continue;
            const unsigned int e = events[i].events;
            if (e & (EPOLLERR | EPOLLHUP)) {
                gone(c);
                continue;
            }
            if (c->handshaking && !handshake(c)) continue;
            // TLS may need the peer's bytes before it can write: a queue is retried on either event.
            if (queued(c) > 0 && (e & EPOLLOUT || c->ssl != nullptr)) flush(c);
            if (c->dead) continue;
            if (c->readWantsWrite && (e & EPOLLOUT)) {
                c->readWantsWrite = false;
                if (queued(c) == 0) want(c, EPOLLOUT, false);
                readConn(c);
            } else if (e & EPOLLIN) {
                readConn(c);
            }
        }
        reap();
    }

    void readConn(Connection* c) {
        if (c->closing) {  // a refused or finished connection: drop what still comes until the end
            // A bounded share per round: a peer that keeps sending cannot hold the loop.
            for (int round = 0; round < 16; ++round) {
                const long n = rawRead(c, m_scratch, sizeof m_scratch);
                if (n == kAgain) return;
                if (n == 0) {
                    gone(c);
                    return;
                }
            }
            return;
        }
        // TLS hands out one record per read: read on while it has more, unless the answers wait.
        do {
            if (c->streaming || queued(c) > kQueuedLimit) {  // read once the peer has caught up
                want(c, EPOLLIN, false);
                return;
            }
            const long n = rawRead(c, m_scratch, sizeof m_scratch);
            if (n == kAgain) return;
            if (n == 0) {
                gone(c);
                return;
            }
            received(c, QByteArray(m_scratch, static_cast<int>(n)));
        } while (!c->dead && !c->closing && c->ssl != nullptr && SSL_pending(c->ssl) > 0);
    }

    // The peer ended the connection (or broke it).
    void gone(Connection* c) {
        if (c->dead) return;
        if (!c->closing) {
            if (c->streaming || queued(c) > 0)
                logWarning("serve, peer $ closed the connection in the middle of a response", peerOf(c));
            else if (!c->buffer.isEmpty() || c->bodyToSkip > 0)
                logWarning("serve, peer $ closed the connection in the middle of a request", peerOf(c));
        }
        drop(c);
    }

    // Forgets a connection: closed at once, deleted after the events in hand.
    void drop(Connection* c) {
        if (c->dead) return;
        m_conns.erase(c);
        SSL_free(c->ssl);
        c->ssl = nullptr;
        ::close(c->fd);  // also leaves the epoll set
        c->dead = true;
        m_dead.push_back(c);
    }

    void reap() {
        for (Connection* c : m_dead) delete c;
        m_dead.clear();
    }

    // Ends a connection once what is queued has been written. The sending side is shut first (TLS
    // sends its close message) and what the peer still sends is read and dropped for a moment
    // (kLingerMs): closing with unread bytes would reset the connection and could destroy the
    // answer before the peer reads it.
    void closeConnection(Connection* c) {
        if (c->closing || c->dead) return;
        c->closing = true;
        c->closingSince = now();
        c->streaming.reset();
        c->buffer.clear();
        want(c, EPOLLIN, true);
        shutWhenWritten(c);
    }

    void shutWhenWritten(Connection* c) {
        if (c->halfClosed || c->dead || queued(c) > 0) return;
        if (c->ssl != nullptr && !c->handshaking) {
            ERR_clear_error();
            SSL_shutdown(c->ssl);
            ERR_clear_error();
        }
        ::shutdown(c->fd, SHUT_WR);
        c->halfClosed = true;
    }

    void sweep() {
        const qint64 t = now();
        std::vector<Connection*> late;
        for (Connection* c : m_conns) {
            if (c->closing) {
                if (c->halfClosed ? t - c->closingSince > kLingerMs : t - c->lastActivity > kIdleMs) late.push_back(c);
                continue;
            }
            if (c->headPending && t - c->headStart > kHeadDeadlineMs) {
                logWarning("serve, peer $: the request head did not arrive within $ ms, closing", peerOf(c),
                           kHeadDeadlineMs);
                late.push_back(c);
            } else if (t - c->lastActivity > kIdleMs) {
                if (c->streaming || queued(c) > 0)
                    logWarning("serve, peer $: no progress for $ ms in the middle of a response, closing", peerOf(c),
                               kIdleMs);
                late.push_back(c);
            }
        }
        for (Connection* c : late) drop(c);
        reap();
    }

    // ---- the protocol

    // After bytes went out: go on with a file, finish a close, or answer what the peer sent meanwhile.
    void written(Connection* c) {
        c->lastActivity = now();
        if (c->closing) {
            shutWhenWritten(c);
            return;
        }
        if (c->streaming) {
            while (c->streamLeft > 0 && queued(c) < kSlice) {
                const QByteArray part = c->streaming->read(qMin(kSlice, c->streamLeft));
                if (part.isEmpty()) {
                    logWarning("serve, peer $: the file could not be read to its end, closing", peerOf(c));
                    closeConnection(c);
                    return;
                }
                c->streamLeft -= part.size();
                put(c, part);
                if (c->dead) return;
            }
            if (c->streamLeft > 0) return;
            c->streaming.reset();
            if (c->closeAfter) {
                closeConnection(c);
                return;
            }
        }
        if (queued(c) < kSlice) {  // room again: go on with what the peer sent meanwhile
            processBuffered(c);
            if (c->closing || c->streaming || c->dead) return;
            // Reading was paused, or TLS holds bytes the socket no longer reports.
            if (!(c->interest & EPOLLIN) || (c->ssl != nullptr && SSL_pending(c->ssl) > 0)) {
                want(c, EPOLLIN, true);
                readConn(c);
            }
        }
    }

    void received(Connection* c, QByteArray data) {
        c->lastActivity = now();
        if (c->bodyToSkip > 0) {
            const qint64 n = qMin<qint64>(c->bodyToSkip, data.size());
            c->bodyToSkip -= n;
            data.remove(0, static_cast<int>(n));
        }
        if (data.isEmpty()) return;
        if (c->buffer.isEmpty()) {
            if (!c->headPending) c->headStart = now();
            c->headPending = true;
            c->buffer = std::move(data);
        } else {
            c->buffer += data;
        }
        processBuffered(c);
    }

    // Answers every complete head in the buffer, in order (pipelined requests included).
    void processBuffered(Connection* c) {
        while (!c->closing && !c->dead && !c->streaming && !c->buffer.isEmpty() && queued(c) <= kQueuedLimit) {
            // Blank lines before a request line are tolerated (some clients send one after a body).
            int lead = 0;
            while (lead < c->buffer.size() && (c->buffer[lead] == '\r' || c->buffer[lead] == '\n')) ++lead;
            if (lead > 0) {
                c->buffer.remove(0, lead);
                c->searched = 0;
                c->lineChecked = 0;
                if (c->buffer.isEmpty()) break;
            }
            if (controlInRequestLine(c)) {
                logWarning("serve, peer $: a control byte in the request line, 400", peerOf(c));
                refuse(c, 400, "Bad Request", "control byte in the request line\n");
                return;
            }
            const int end = HttpHeader::headerEnd(c->buffer.constData(), c->buffer.size(), c->searched);
            if (end < 0 || end > HttpHeader::MAX_HEADER_BYTES) {
                if (c->buffer.size() > HttpHeader::MAX_HEADER_BYTES || end > HttpHeader::MAX_HEADER_BYTES) {
                    logWarning("serve, peer $: request head larger than $ bytes, 400", peerOf(c),
                               HttpHeader::MAX_HEADER_BYTES);
                    refuse(c, 400, "Bad Request", "request head too large\n");
                    return;
                }
                c->searched = c->buffer.size();
                return;  // wait for the rest
            }
            HttpHeader head;
            const bool parsed = head.fromLatin1(c->buffer.constData(), end);
            if (end == c->buffer.size())
                c->buffer.clear();
            else
                c->buffer.remove(0, end);
            c->searched = 0;
            c->lineChecked = 0;
            c->headPending = !c->buffer.isEmpty();
            if (c->headPending) c->headStart = now();
            answer(c, head, parsed);
        }
        if (c->buffer.isEmpty() && !c->streaming) c->headPending = false;
    }

    // Whether the request line at the start of the buffer, as far as it has come, holds a byte
    // below 0x20 other than its CR LF end (a CR last in the buffer may still get its LF).
    static bool controlInRequestLine(Connection* c) {
        const QByteArray& b = c->buffer;
        int i = c->lineChecked;
        if (i < 0) return false;
        for (; i < b.size(); ++i) {
            const auto ch = static_cast<unsigned char>(b[i]);
            if (ch == '\n' || (ch == '\r' && i + 1 < b.size() && b[i + 1] == '\n')) {
                c->lineChecked = -1;
                return false;
            }
            if (ch == '\r' && i + 1 == b.size()) break;
            if (ch < 0x20) return true;
        }
        c->lineChecked = i;
        return false;
    }

    void refuse(Connection* c, int code, const char* reason, const char* body) {
        send(c, code, reason, QByteArray("text/plain"), QByteArray(body), false, false);
        closeConnection(c);
    }

    // The answer's head is what HttpHeader(code, reason, 1) with these four fields renders (fields
    // in key order), written straight into the bytes that go out.
    void send(Connection* c, int code, const char* reason, const QByteArray& type, const QByteArray& body,
              bool keepAlive, bool headOnly, qint64 length = -1) {
        QByteArray out;
        out.reserve(160 + type.size() + (headOnly ? 0 : body.size()));
        char digits[24];
        out += "HTTP/1.1 ";
        out.append(digits, static_cast<int>(std::to_chars(digits, digits + sizeof digits, code).ptr - digits));
        out += ' ';
        out += reason;
        out +=
            keepAlive ? "\r\nConnection: keep-alive\r\nContent-Length: " : "\r\nConnection: close\r\nContent-Length: ";
        const qint64 announced = length >= 0 ? length : body.size();
        out.append(digits, static_cast<int>(std::to_chars(digits, digits + sizeof digits, announced).ptr - digits));
        out += "\r\nContent-Type: ";
        out += type;
        out += "\r\nServer: zor\r\n\r\n";
        if (!headOnly) out += body;
        put(c, out);
    }

    void answer(Connection* c, HttpHeader& head, bool parsed) {
        ++m_requests;
        if (!parsed || !head.isRequest()) {
            logWarning("serve, peer $: malformed request head, 400", peerOf(c));
            refuse(c, 400, "Bad Request", "malformed request\n");
            return;
        }
        // The request line has three tokens (the parse checked it) and no tab (a control byte):
        // they are the runs between blanks.
        const QString& line = head.firstLine().getLine();
        const QVector<QStringRef> tokens = line.splitRef(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString method = tokens[0].toString();
        const QString resource = tokens[1].toString();
        const QStringRef version = tokens[2];
        if (head.hasUnsafeFieldLine()) {
            logWarning("serve, peer $: $ $ with a folded field line or a blank before a colon, 400", peerOf(c), method,
                       resource);
            refuse(c, 400, "Bad Request", "folded field line or blank before a colon\n");
            return;
        }
        if (head.hasAmbiguousLength()) {
            logWarning(
                "serve, peer $: $ $ with an ambiguous body length (two lengths or a length with a transfer coding), "
                "400",
                peerOf(c), method, resource);
            refuse(c, 400, "Bad Request", "ambiguous body length\n");
            return;
        }
        if (!head.fieldNoCase(QStringLiteral("Transfer-Encoding")).isEmpty()) {
            logWarning("serve, peer $: $ $ with a transfer-coded body, 400", peerOf(c), method, resource);
            refuse(c, 400, "Bad Request", "transfer-coded request bodies are not accepted\n");
            return;
        }
        const bool http11 = version == QLatin1String("HTTP/1.1");
        if (!http11 && version != QLatin1String("HTTP/1.0")) {
            logWarning("serve, peer $: unsupported version '$', 400", peerOf(c), version.toString());
            refuse(c, 400, "Bad Request", "HTTP/1.0 or HTTP/1.1 only\n");
            return;
        }
        const bool isGet = method == QLatin1String("GET");
        const bool isHead = method == QLatin1String("HEAD");
        if (!isGet && !isHead) {
            logWarning("serve, peer $: method '$' not allowed, 405", peerOf(c), method);
            refuse(c, 405, "Method Not Allowed", "GET and HEAD only\n");
            return;
        }
        c->bodyToSkip = head.bodyLength();
        const qint64 inBuffer = qMin<qint64>(c->bodyToSkip, c->buffer.size());
        c->buffer.remove(0, static_cast<int>(inBuffer));
        c->bodyToSkip -= inBuffer;
        const QString connection = head.fieldNoCase(QStringLiteral("Connection")).toLower();
        const bool keepAlive =
            http11 ? !connection.contains(QLatin1String("close")) : connection.contains(QLatin1String("keep-alive"));
        c->closeAfter = !keepAlive;

        QByteArray file;
        QByteArray type;
        struct stat st {};
        const int fd = resolve(c, resource, file, type, st);
        if (fd < 0) {
            send(c, 404, "Not Found", QByteArray("text/plain"), QByteArray("not found\n"), keepAlive, isHead);
            logLine(c, method, resource, 404, 0);
            if (!keepAlive) closeConnection(c);
            return;
        }
        const qint64 size = st.st_size;
        if (isHead || size <= kWholeFile) {
            QByteArray body;
            if (!isHead) {
                body.resize(static_cast<int>(size));
                qint64 got = 0;
                while (got < size) {
                    const ssize_t n = ::read(fd, body.data() + got, static_cast<size_t>(size - got));
                    if (n < 0 && errno == EINTR) continue;
                    if (n <= 0) break;
                    got += n;
                }
                if (got != size) {
                    ::close(fd);
                    logWarning("serve, cannot read '$'", QFile::decodeName(file));
                    refuse(c, 404, "Not Found", "not found\n");
                    return;
                }
            }
            ::close(fd);
            send(c, 200, "OK", type, body, keepAlive, isHead, size);
            logLine(c, method, resource, 200, isHead ? 0 : size);
            if (!keepAlive) closeConnection(c);
            return;
        }
        auto f = std::make_unique<QFile>();
        if (!f->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            refuse(c, 404, "Not Found", "not found\n");
            return;
        }
        send(c, 200, "OK", type, QByteArray(), keepAlive, true, size);
        logLine(c, method, resource, 200, size);
        c->streaming = std::move(f);
        c->streamLeft = size;
        written(c);  // queues the first slices
    }

    void logLine(Connection* c, const QString& method, const QString& resource, int code, qint64 bytes) {
        // Without --verbose the line would be built and handed to the logger thread only to be
        // dropped there: a wake-up of that thread per request.
        if (m_verbose) logInfo("serve, $ $ $ $ bytes, peer $", method, resource, code, bytes, peerOf(c));
    }

    QByteArray contentType(const QByteArray& file) {
        const int slash = file.lastIndexOf('/');
        const int dot = file.lastIndexOf('.');
        const QString suffix = dot > slash ? QFile::decodeName(file.mid(dot + 1)) : QString();
        const auto cached = m_types.find(suffix);
        if (cached != m_types.end()) return cached->second;
        QByteArray type;
        if (m_mime.knows(suffix))
            type = m_mime.typeFor(suffix).toLatin1();
        else
            type = XMimeType::fromFileExtension(suffix).toString().toLatin1();
        if (m_types.size() < 256) m_types.emplace(suffix, type);
        return type;
    }

    // What a resource names before the file system is asked: the query cut off, percent-decoded,
    // joined to the root and cleaned. A pure function of the text, so it is kept for the resources
    // that come again (a bounded table).
    struct Target {
        QByteArray joined;  // the cleaned path; empty: 404 without a look at the disk
        QByteArray rel;     // the same below the root ("." for the root), empty when it is not below
        QByteArray type;    // the content type of rel's suffix
    };
    const Target& target(const QString& resource) {
        const auto known = m_targets.constFind(resource);
        if (known != m_targets.constEnd()) return *known;
        if (m_targets.size() >= 4096) m_targets.clear();
        Target t;
        if (resource.startsWith(QLatin1Char('/'))) {
            QByteArray path = resource.toLatin1();
            const int cut = path.indexOf('?') >= 0 ? path.indexOf('?') : path.indexOf('#');
            if (cut >= 0) path.truncate(cut);
            const QByteArray decoded = QByteArray::fromPercentEncoding(path);
            if (!decoded.contains('\0')) {
                t.joined = QFile::encodeName(QDir::cleanPath(m_root + QLatin1Char('/') + QString::fromUtf8(decoded)));
                if (t.joined == m_rootBytes)
                    t.rel = ".";
                else if (m_rootBytes != "/" && t.joined.startsWith(m_rootBytes) &&
                         t.joined.size() > m_rootBytes.size() + 1 && t.joined.at(m_rootBytes.size()) == '/')
                    t.rel = t.joined.mid(m_rootBytes.size() + 1);
                if (!t.rel.isEmpty()) t.type = contentType(t.joined);
            }
        }
        return *m_targets.insert(resource, t);
    }

    // The file a resource names inside the root, open for reading (a directory gives its
    // index.html), with its name, content type and status; -1 for a 404.
    int resolve(Connection* c, const QString& resource, QByteArray& name, QByteArray& type, struct stat& st) {
        const Target& t = target(resource);
        if (t.joined.isEmpty()) return -1;
        if (!t.rel.isEmpty()) {
            bool index = false;
            const int fd = openPlain(t.rel, st, index);
            if (fd != kResolveSlowly) {
                if (fd >= 0) {
                    name = t.rel == "." ? m_rootBytes : m_rootBytes + '/' + t.rel;
                    if (index) name += "/index.html";
                    type = index ? m_indexType : t.type;
                }
                return fd;
            }
        }
        name = canonical(t.joined);
        if (name.isEmpty()) return -1;
        if (!inside(name)) {
            logWarning("serve, peer $: '$' lies outside the served directory, 404", peerOf(c), resource);
            return -1;
        }
        if (::stat(name.constData(), &st) != 0) return -1;
        if (S_ISDIR(st.st_mode)) {
            name = canonical(name + "/index.html");
            if (name.isEmpty() || !inside(name) || ::stat(name.constData(), &st) != 0) return -1;
        }
        if (!S_ISREG(st.st_mode)) return -1;
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // the name may have changed since
            ::close(fd);
            return -1;
        }
        type = contentType(name);
        return fd;
    }

    // The common case in one system call: a cleaned path below the root whose every component is
    // a plain directory or file is its own canonical name, and the kernel opens it without
    // following any link or leaving the root. A directory gives its index.html (index set). The
    // regular file open for reading, -1 for a 404, or kResolveSlowly when links (or an old
    // kernel) need the canonical route.
    int openPlain(QByteArray rel, struct stat& st, bool& index) {
        if (m_rootFd < 0) return kResolveSlowly;
        for (int round = 0; round < 2; ++round) {
            open_how how{};
            // Non-blocking and no terminal: a FIFO or device opens without effect and is refused below.
            how.flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
            how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
            const int fd = static_cast<int>(syscall(SYS_openat2, m_rootFd, rel.constData(), &how, sizeof how));
            if (fd < 0) {
                if (errno == ENOENT || errno == ENOTDIR || errno == EACCES) return -1;
                if (errno == ENOSYS) {
                    ::close(m_rootFd);
                    m_rootFd = -1;
                }
                return kResolveSlowly;
            }
            if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
            const bool dir = S_ISDIR(st.st_mode);
            ::close(fd);
            if (!dir || round > 0) return -1;
            rel = rel == "." ? QByteArray("index.html") : rel + "/index.html";
            index = true;
        }
        return -1;
    }

    // The path with every symbolic link resolved, or empty when it does not exist.
    static QByteArray canonical(const QByteArray& path) {
        char resolved[PATH_MAX];
        return realpath(path.constData(), resolved) != nullptr ? QByteArray(resolved) : QByteArray();
    }

    bool inside(const QByteArray& canonical) const {
        return canonical == m_rootBytes ||
               (canonical.startsWith(m_rootBytes) && canonical.size() > m_rootBytes.size() &&
                canonical.at(m_rootBytes.size()) == '/') ||
               m_rootBytes == "/";
    }

    QString m_root;
    QByteArray m_rootBytes;
    bool m_verbose;
    Mime m_mime;
    std::unordered_map<QString, QByteArray> m_types;  // content types by suffix
    QHash<QString, Target> m_targets;
    QByteArray m_indexType;
    Listener m_server;
    QTimer m_sweep;
    QElapsedTimer m_clock;
    int m_epoll = -1;
    int m_rootFd = -1;  // the served directory, where plain paths are opened
    std::unique_ptr<QSocketNotifier> m_epollNotifier;
    std::unordered_set<Connection*> m_conns;
    SSL_CTX* m_tls = nullptr;  // set: every connection speaks TLS
    std::vector<Connection*> m_dead;
    char m_scratch[kReadBuffer] = {};
    unsigned long long m_requests = 0;
};

}  // namespace

int runServe(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString dir;
    if (!requireKey(cmd, "dir", dir)) return finish(EXIT_ZOR_ARGUMENT);
    const QString root = QFileInfo(dir).canonicalFilePath();
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        logError("serve, no such directory '$'", dir);
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    bool portOk = true;
    const QString portText = cmd.getString(QStringLiteral("port"), QStringLiteral("8080"));
    const unsigned int port = portText.toUInt(&portOk);
    if (!portOk || port > 65535) {
        logError("serve, bad port '$'", portText);
        return finish(EXIT_ZOR_ARGUMENT);
    }
    const QString cert = cmd.getString(QStringLiteral("cert"));
    const QString key = cmd.getString(QStringLiteral("key"));
    if (cert.isEmpty() != key.isEmpty()) {
        logError("serve, --cert and --key go together");
        return finish(EXIT_ZOR_ARGUMENT);
    }
    const int headTimeout = cmd.getInt(QStringLiteral("headTimeout"), 10000);
    if (headTimeout < 100) {
        logError("serve, --headTimeout must be at least 100 (milliseconds)");
        return finish(EXIT_ZOR_ARGUMENT);
    }
    kHeadDeadlineMs = headTimeout;
    const QString hostText = cmd.getString(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QHostAddress address(hostText);
    if (address.isNull()) {
        logError("serve, bad listening address '$' (an IP address such as 127.0.0.1 or 0.0.0.0)", hostText);
        return finish(EXIT_ZOR_ARGUMENT);
    }

    // Every connection is a descriptor: take as many as this process may.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    const std::unique_ptr<KernelTerminal> app = ensureApplication();

    int rc = EXIT_ZOR_OK;
    {
        FileServer files(root, cmd.isBool(QStringLiteral("verbose"), false));
        if (!cert.isEmpty()) {
            // Checked as Qt reads them first (each problem has its own line), then given to OpenSSL.
            QSslConfiguration conf;
            if (!XServer::setupSSLConfig(conf, cert, key) || !files.useTls(cert, key)) {
                logError("serve, cannot use the certificate '$' and key '$'", cert, key);
                return finish(EXIT_ZOR_CONFIGURATION);
            }
        }
        if (!files.ready()) {
            logError("serve, cannot set up the connection watcher: $", QString::fromLocal8Bit(std::strerror(errno)));
            return finish(EXIT_ZOR_GENERAL_FAILURE);
        }
        if (!files.server().listen(address, static_cast<quint16>(port))) {
            logError("serve, cannot listen on $:$: $", hostText, port, files.server().errorString());
            return finish(EXIT_ZOR_IO);
        }
        // Bursts of thousands of new connections wait in the system's queue, not in retries.
        files.server().setListenBacklog(kBacklog);
        if (pipe(g_signalPipe) != 0) {
            logError("serve, cannot set up the signal handling");
            return finish(EXIT_ZOR_GENERAL_FAILURE);
        }
        QSocketNotifier stop(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&stop, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
        struct sigaction sa {};
        sa.sa_handler = &onSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
        std::signal(SIGPIPE, SIG_IGN);

        std::printf("zor serve: listening on %s://%s:%u/ for '%s'\n", cert.isEmpty() ? "http" : "https",
                    qPrintable(hostText), files.server().serverPort(), qPrintable(root));
        std::fflush(stdout);
        QCoreApplication::exec();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::printf("zor serve: stopped after %llu requests\n", files.requests());
        close(g_signalPipe[0]);
        close(g_signalPipe[1]);
    }
    return finish(rc);
}

}  // namespace zorapp
