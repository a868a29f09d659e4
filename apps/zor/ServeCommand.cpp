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
// SIGINT and SIGTERM end the program with exit code 0.
#include "Commands.h"

#include <zor/core.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

namespace zorapp {

using namespace zor;

namespace {

qint64 kHeadDeadlineMs = 10000;  // --headTimeout
constexpr qint64 kIdleMs = 15000;
constexpr qint64 kLingerMs = 2000;
constexpr qint64 kSlice = 64 * 1024;        // bytes queued per step when streaming a file
constexpr qint64 kWholeFile = 256 * 1024;  // files up to this size are sent in one write
// A peer that sends requests but does not read the answers is not read from while this much is
// queued for it; Qt's read buffer is capped too, so TCP flow control holds the peer back.
constexpr qint64 kQueuedLimit = 1024 * 1024;
constexpr qint64 kReadBuffer = 64 * 1024;

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    if (write(g_signalPipe[1], &c, 1) < 0) {
        // nothing more can be done inside a signal handler
    }
}

struct Connection {
    BasicSocket* basic = nullptr;
    QTcpSocket* sock = nullptr;
    QString peer;
    QByteArray buffer;     // bytes of the next head, not yet complete
    int searched = 0;      // how far headerEnd already looked in buffer
    int lineChecked = 0;   // how far the request line was checked for control bytes (-1: all of it)
    qint64 headStart = 0;  // when the pending head's first byte (or the connection) came
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

class FileServer : public QObject {
public:
    explicit FileServer(const QString& root) : m_root(root) {
        m_clock.start();
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] { acceptAll(); });
        QObject::connect(&m_sweep, &QTimer::timeout, this, [this] { sweep(); });
        m_sweep.start(250);
    }
    ~FileServer() override {
        for (auto& kv : m_conns) {
            kv.first->disconnect(this);
            kv.first->abort();
            kv.first->deleteLater();
            delete kv.second;
        }
    }

    XServer& server() { return m_server; }
    unsigned long long requests() const { return m_requests; }

private:
    qint64 now() const { return m_clock.elapsed(); }

    void acceptAll() {
        while (BasicSocket* b = m_server.takeSocket()) {
            auto* c = new Connection;
            c->basic = b;
            c->sock = b->socket();
            c->peer = b->ipPeer();
            c->headStart = c->lastActivity = now();
            m_conns.emplace(c->sock, c);
            QTcpSocket* s = c->sock;
            s->setReadBufferSize(kReadBuffer);
            QObject::connect(s, &QIODevice::readyRead, this, [this, s] { onReadyRead(s); });
            QObject::connect(s, &QIODevice::bytesWritten, this, [this, s] { onBytesWritten(s); });
            QObject::connect(s, &QAbstractSocket::disconnected, this, [this, s] { onDisconnected(s); });
            if (s->bytesAvailable() > 0) onReadyRead(s);
        }
    }

    Connection* find(QTcpSocket* s) {
        const auto it = m_conns.find(s);
        return it == m_conns.end() ? nullptr : it->second;
    }

    void onDisconnected(QTcpSocket* s) {
        Connection* c = find(s);
        if (c == nullptr) return;
        if (!c->closing) {
            if (c->streaming || s->bytesToWrite() > 0)
                logWarning("serve, peer $ closed the connection in the middle of a response", c->peer);
            else if (!c->buffer.isEmpty() || c->bodyToSkip > 0)
                logWarning("serve, peer $ closed the connection in the middle of a request", c->peer);
        }
        m_conns.erase(s);
        s->disconnect(this);
        s->deleteLater();
        delete c;
    }

    // Ends a connection once what is queued has been written. The sending side is shut first and
    // what the peer still sends is read and dropped for a moment (kLingerMs): closing with unread
    // bytes would reset the connection and could destroy the answer before the peer reads it.
    void closeConnection(Connection* c) {
        if (c->closing) return;
        c->closing = true;
        c->closingSince = now();
        c->streaming.reset();
        c->buffer.clear();
        shutWhenWritten(c);
    }

    void shutWhenWritten(Connection* c) {
        if (c->halfClosed || c->sock->bytesToWrite() > 0) return;
        c->sock->flush();
        if (c->basic->isSSL() || c->sock->socketDescriptor() < 0 || ::shutdown(static_cast<int>(c->sock->socketDescriptor()), SHUT_WR) != 0) {
            c->sock->disconnectFromHost();  // TLS ends with its own close message
        }
        c->halfClosed = true;
    }

    void sweep() {
        const qint64 t = now();
        std::vector<Connection*> late;
        for (auto& kv : m_conns) {
            Connection* c = kv.second;
            if (c->closing) {
                if (c->halfClosed ? t - c->closingSince > kLingerMs : t - c->lastActivity > kIdleMs) late.push_back(c);
                continue;
            }
            if (c->headPending && t - c->headStart > kHeadDeadlineMs) {
                logWarning("serve, peer $: the request head did not arrive within $ ms, closing", c->peer, kHeadDeadlineMs);
                late.push_back(c);
            } else if (t - c->lastActivity > kIdleMs) {
                if (c->streaming || c->sock->bytesToWrite() > 0)
                    logWarning("serve, peer $: no progress for $ ms in the middle of a response, closing", c->peer, kIdleMs);
                late.push_back(c);
            }
        }
        for (Connection* c : late) {
            c->closing = true;
            c->sock->abort();  // emits disconnected, which frees the connection
        }
    }

    void onBytesWritten(QTcpSocket* s) {
        Connection* c = find(s);
        if (c == nullptr) return;
        c->lastActivity = now();
        if (c->closing) {
            shutWhenWritten(c);
            return;
        }
        if (c->streaming) {
            while (c->streamLeft > 0 && s->bytesToWrite() < kSlice) {
                const QByteArray part = c->streaming->read(qMin(kSlice, c->streamLeft));
                if (part.isEmpty()) {
                    logWarning("serve, peer $: the file could not be read to its end, closing", c->peer);
                    closeConnection(c);
                    return;
                }
                c->streamLeft -= part.size();
                s->write(part);
            }
            if (c->streamLeft > 0) return;
            c->streaming.reset();
            if (c->closeAfter) {
                closeConnection(c);
                return;
            }
        }
        if (s->bytesToWrite() < kSlice) {  // room again: go on with what the peer sent meanwhile
            processBuffered(c);
            if (!c->closing && !c->streaming && s->bytesAvailable() > 0) onReadyRead(s);
        }
    }

    void onReadyRead(QTcpSocket* s) {
        Connection* c = find(s);
        if (c == nullptr) return;
        if (c->closing) {  // a refused connection: drop what still comes
            s->readAll();
            return;
        }
        if (c->streaming || s->bytesToWrite() > kQueuedLimit) return;  // read once the peer has caught up
        QByteArray data = s->readAll();
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
        while (!c->closing && !c->streaming && !c->buffer.isEmpty() && c->sock->bytesToWrite() <= kQueuedLimit) {
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
                logWarning("serve, peer $: a control byte in the request line, 400", c->peer);
                refuse(c, 400, "Bad Request", "control byte in the request line\n");
                return;
            }
            const int end = HttpHeader::headerEnd(c->buffer.constData(), c->buffer.size(), c->searched);
            if (end < 0 || end > HttpHeader::MAX_HEADER_BYTES) {
                if (c->buffer.size() > HttpHeader::MAX_HEADER_BYTES || end > HttpHeader::MAX_HEADER_BYTES) {
                    logWarning("serve, peer $: request head larger than $ bytes, 400", c->peer, HttpHeader::MAX_HEADER_BYTES);
                    refuse(c, 400, "Bad Request", "request head too large\n");
                    return;
                }
                c->searched = c->buffer.size();
                return;  // wait for the rest
            }
            HttpHeader head;
            const bool parsed = head.fromLatin1(c->buffer.constData(), end);
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

    void send(Connection* c, int code, const char* reason, const QByteArray& type, const QByteArray& body, bool keepAlive,
              bool headOnly, qint64 length = -1) {
        HttpHeader h(code, QLatin1String(reason), 1);
        h.setMime(QString::fromLatin1(type));
        h.setContenLen(length >= 0 ? length : body.size());
        h.setConnection(keepAlive ? QStringLiteral("keep-alive") : QStringLiteral("close"));
        h.setString(QStringLiteral("Server"), QStringLiteral("zor"));
        QByteArray out = h.toLatin1CRLF();
        if (!headOnly) out += body;
        c->sock->write(out);
    }

    void answer(Connection* c, HttpHeader& head, bool parsed) {
        ++m_requests;
        if (!parsed || !head.isRequest()) {
            logWarning("serve, peer $: malformed request head, 400", c->peer);
            refuse(c, 400, "Bad Request", "malformed request\n");
            return;
        }
        const FirstLine& line = head.firstLine();
        const QString method = line.tokens()[0];
        const QString resource = line.tokens()[1];
        if (head.hasUnsafeFieldLine()) {
            logWarning("serve, peer $: $ $ with a folded field line or a blank before a colon, 400", c->peer, method,
                       resource);
            refuse(c, 400, "Bad Request", "folded field line or blank before a colon\n");
            return;
        }
        if (head.hasAmbiguousLength()) {
            logWarning("serve, peer $: $ $ with an ambiguous body length (two lengths or a length with a transfer coding), 400",
                       c->peer, method, resource);
            refuse(c, 400, "Bad Request", "ambiguous body length\n");
            return;
        }
        if (!head.fieldNoCase(QStringLiteral("Transfer-Encoding")).isEmpty()) {
            logWarning("serve, peer $: $ $ with a transfer-coded body, 400", c->peer, method, resource);
            refuse(c, 400, "Bad Request", "transfer-coded request bodies are not accepted\n");
            return;
        }
        const bool http11 = line.tokens()[2] == QLatin1String("HTTP/1.1");
        if (!http11 && line.tokens()[2] != QLatin1String("HTTP/1.0")) {
            logWarning("serve, peer $: unsupported version '$', 400", c->peer, line.tokens()[2]);
            refuse(c, 400, "Bad Request", "HTTP/1.0 or HTTP/1.1 only\n");
            return;
        }
        const bool isGet = method == QLatin1String("GET");
        const bool isHead = method == QLatin1String("HEAD");
        if (!isGet && !isHead) {
            logWarning("serve, peer $: method '$' not allowed, 405", c->peer, method);
            refuse(c, 405, "Method Not Allowed", "GET and HEAD only\n");
            return;
        }
        c->bodyToSkip = head.bodyLength();
        const qint64 inBuffer = qMin<qint64>(c->bodyToSkip, c->buffer.size());
        c->buffer.remove(0, static_cast<int>(inBuffer));
        c->bodyToSkip -= inBuffer;
        const QString connection = head.fieldNoCase(QStringLiteral("Connection")).toLower();
        const bool keepAlive = http11 ? !connection.contains(QLatin1String("close")) : connection.contains(QLatin1String("keep-alive"));
        c->closeAfter = !keepAlive;

        const QString file = resolve(c, resource);
        if (file.isEmpty()) {
            send(c, 404, "Not Found", QByteArray("text/plain"), QByteArray("not found\n"), keepAlive, isHead);
            logLine(c, method, resource, 404, 0);
            if (!keepAlive) closeConnection(c);
            return;
        }
        auto f = std::make_unique<QFile>(file);
        if (!f->open(QIODevice::ReadOnly)) {
            send(c, 404, "Not Found", QByteArray("text/plain"), QByteArray("not found\n"), keepAlive, isHead);
            logLine(c, method, resource, 404, 0);
            if (!keepAlive) closeConnection(c);
            return;
        }
        const qint64 size = f->size();
        const QByteArray type = contentType(file);
        if (isHead || size <= kWholeFile) {
            const QByteArray body = isHead ? QByteArray() : f->readAll();
            if (!isHead && body.size() != size) {
                logWarning("serve, cannot read '$'", file);
                refuse(c, 404, "Not Found", "not found\n");
                return;
            }
            send(c, 200, "OK", type, body, keepAlive, isHead, size);
            logLine(c, method, resource, 200, isHead ? 0 : size);
            if (!keepAlive) closeConnection(c);
            return;
        }
        send(c, 200, "OK", type, QByteArray(), keepAlive, true, size);
        logLine(c, method, resource, 200, size);
        c->streaming = std::move(f);
        c->streamLeft = size;
        onBytesWritten(c->sock);  // queues the first slices
    }

    void logLine(Connection* c, const QString& method, const QString& resource, int code, qint64 bytes) {
        logInfo("serve, $ $ $ $ bytes, peer $", method, resource, code, bytes, c->peer);
    }

    QByteArray contentType(const QString& file) const {
        const QString suffix = QFileInfo(file).suffix();
        if (m_mime.knows(suffix)) return m_mime.typeFor(suffix).toLatin1();
        return XMimeType::fromFileExtension(suffix).toString().toLatin1();
    }

    // The file a resource names inside the root, or empty (404).
    QString resolve(Connection* c, const QString& resource) {
        if (!resource.startsWith(QLatin1Char('/'))) return QString();
        QByteArray path = resource.toLatin1();
        const int cut = path.indexOf('?') >= 0 ? path.indexOf('?') : path.indexOf('#');
        if (cut >= 0) path.truncate(cut);
        const QByteArray decoded = QByteArray::fromPercentEncoding(path);
        if (decoded.contains('\0')) return QString();
        const QString joined = QDir::cleanPath(m_root + QLatin1Char('/') + QString::fromUtf8(decoded));
        QString canonical = QFileInfo(joined).canonicalFilePath();
        if (canonical.isEmpty()) return QString();
        if (!inside(canonical)) {
            logWarning("serve, peer $: '$' lies outside the served directory, 404", c->peer, resource);
            return QString();
        }
        QFileInfo fi(canonical);
        if (fi.isDir()) {
            canonical = QFileInfo(canonical + QStringLiteral("/index.html")).canonicalFilePath();
            if (canonical.isEmpty() || !inside(canonical)) return QString();
            fi = QFileInfo(canonical);
        }
        return fi.isFile() && fi.isReadable() ? canonical : QString();
    }

    bool inside(const QString& canonical) const {
        return canonical == m_root || (canonical.startsWith(m_root) && canonical.at(m_root.size()) == QLatin1Char('/')) ||
               m_root == QLatin1String("/");
    }

    QString m_root;
    Mime m_mime;
    XServer m_server;
    QTimer m_sweep;
    QElapsedTimer m_clock;
    std::unordered_map<QTcpSocket*, Connection*> m_conns;
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

    const std::unique_ptr<KernelTerminal> app = ensureApplication();

    int rc = EXIT_ZOR_OK;
    {
        FileServer files(root);
        if (!cert.isEmpty()) {
            QSslConfiguration conf;
            if (!XServer::setupSSLConfig(conf, cert, key)) {
                logError("serve, cannot use the certificate '$' and key '$'", cert, key);
                return finish(EXIT_ZOR_CONFIGURATION);
            }
            files.server().setSslConfig(conf);
        }
        if (!files.server().listen(address, static_cast<quint16>(port))) {
            logError("serve, cannot listen on $:$: $", hostText, port, files.server().errorString());
            return finish(EXIT_ZOR_IO);
        }
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

        std::printf("zor serve: listening on %s://%s:%u/ for '%s'\n", cert.isEmpty() ? "http" : "https", qPrintable(hostText),
                    files.server().serverPort(), qPrintable(root));
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
