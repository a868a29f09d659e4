// zor get: fetches one URL over HTTP or HTTPS (certificates are not checked: the tool is meant
// for one's own servers). The status line and the header fields go to standard error, the body to
// standard output or to --out. Bodies framed by Content-Length, by the server closing, or chunked.
//
// Exit codes: 0 a 2xx answer; 1 any other status (the body is still written); 5 no connection,
// a broken or late transfer, or --out not writable; 6 a bad URL or argument; 9 a malformed answer.
#include "Commands.h"

#include <zor/core.h>

#include <QCoreApplication>
#include <QFile>
#include <QTcpSocket>
#include <cstdio>
#include <memory>

namespace zorapp {

using namespace zor;

namespace {

constexpr int kConnectMs = 10000;
constexpr int kReadMs = 30000;  // the longest silence while a head or body is due

// Where the body goes: a file or standard output.
class Sink {
public:
    bool open(const QString& name) {
        if (name.isEmpty()) return m_file.open(stdout, QIODevice::WriteOnly);
        m_file.setFileName(name);
        return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    bool write(const QByteArray& bytes) { return m_file.write(bytes) == bytes.size(); }
    qint64 written() const { return m_written; }
    void count(qint64 n) { m_written += n; }
    void close() { m_file.close(); }

private:
    QFile m_file;
    qint64 m_written = 0;
};

// Up to max bytes, waiting at most kReadMs for the first; empty at the end or on silence.
QByteArray readSome(QTcpSocket* s, qint64 max, bool& closed) {
    closed = false;
    if (s->bytesAvailable() == 0 && !s->waitForReadyRead(kReadMs)) {
        closed = s->state() != QAbstractSocket::ConnectedState;
        return QByteArray();
    }
    return s->read(max);
}

// One line (without CR LF) of at most 1024 bytes, for the chunk sizes.
bool readLine(QTcpSocket* s, QByteArray& line) {
    while (!s->canReadLine()) {
        if (s->bytesAvailable() > 1024 || !s->waitForReadyRead(kReadMs)) return false;
    }
    line = s->readLine(1026).trimmed();
    return true;
}

int copyBody(const CommandLine&, QTcpSocket* s, const HttpHeader& head, Sink& sink) {
    const QString coding = head.fieldNoCase(QStringLiteral("Transfer-Encoding")).toLower();
    if (coding.contains(QLatin1String("chunked"))) {
        for (;;) {
            QByteArray line;
            if (!readLine(s, line)) {
                logError("get, the chunked body broke off after $ bytes", sink.written());
                return EXIT_ZOR_IO;
            }
            const int semi = line.indexOf(';');
            bool ok = false;
            const qint64 size = (semi >= 0 ? line.left(semi) : line).trimmed().toLongLong(&ok, 16);
            if (!ok || size < 0) {
                logError("get, bad chunk size line '$'", QString::fromLatin1(line.left(40)));
                return EXIT_ZOR_PARSING;
            }
            if (size == 0) return EXIT_ZOR_OK;  // trailer fields are not read
            qint64 left = size;
            while (left > 0) {
                bool closed = false;
                const QByteArray part = readSome(s, qMin<qint64>(left, 64 * 1024), closed);
                if (part.isEmpty()) {
                    logError("get, the chunked body broke off after $ bytes", sink.written());
                    return EXIT_ZOR_IO;
                }
                if (!sink.write(part)) return EXIT_ZOR_IO;
                sink.count(part.size());
                left -= part.size();
            }
            QByteArray crlf;
            if (!readLine(s, crlf) || !crlf.isEmpty()) {
                logError("get, a chunk does not end with CR LF");
                return EXIT_ZOR_PARSING;
            }
        }
    }
    const bool hasLength = !head.fieldNoCase(QStringLiteral("Content-Length")).isEmpty();
    const long long length = head.bodyLength();
    if (hasLength && length < 0) {
        logError("get, the answer announces an ambiguous body length");
        return EXIT_ZOR_PARSING;
    }
    qint64 left = hasLength ? length : -1;  // -1: until the server closes
    while (left != 0) {
        bool closed = false;
        const QByteArray part = readSome(s, left > 0 ? qMin<qint64>(left, 64 * 1024) : 64 * 1024, closed);
        if (part.isEmpty()) {
            if (left < 0 && closed) return EXIT_ZOR_OK;
            logError("get, the body broke off after $ of $ bytes", sink.written(), left < 0 ? QString("?") : QString::number(sink.written() + left));
            return EXIT_ZOR_IO;
        }
        if (!sink.write(part)) {
            logError("get, cannot write the body");
            return EXIT_ZOR_IO;
        }
        sink.count(part.size());
        if (left > 0) left -= part.size();
    }
    return EXIT_ZOR_OK;
}

QString firstUrlWord() {
    for (const QString& w : commandWords()) {
        if (w.startsWith(QLatin1String("--"))) return QString();  // a key's value is no URL
        return w;
    }
    return QString();
}

}  // namespace

int runGet(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString text = cmd.getString(QStringLiteral("url"));
    if (text.isEmpty()) text = firstUrlWord();
    if (text.isEmpty()) {
        logError("get, missing URL (zor get URL [--out F])");
        return finish(EXIT_ZOR_ARGUMENT);
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        logError("get, bad URL '$' (http://host[:port]/path or https://...)", text);
        return finish(EXIT_ZOR_ARGUMENT);
    }
    // Qt's name lookup and TLS want an application object; the waits below need no running loop.
    const std::unique_ptr<KernelTerminal> app = ensureApplication();
    std::unique_ptr<BasicSocket> sock(BasicSocket::connectToHost(url, kConnectMs));
    if (!sock) {
        logError("get, cannot connect to $:$", url.host(), url.port(scheme == QLatin1String("https") ? 443 : 80));
        return finish(EXIT_ZOR_IO);
    }
    QString resource = url.path(QUrl::FullyEncoded);
    if (resource.isEmpty()) resource = QStringLiteral("/");
    if (url.hasQuery()) resource += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    HttpHeader request(QStringLiteral("GET ") + resource + QStringLiteral(" HTTP/1.1"));
    request.setRequest(true);
    const int port = url.port();
    request.setHost(port > 0 ? url.host() + QLatin1Char(':') + QString::number(port) : url.host());
    request.setUserAgent(QStringLiteral("zor/") + ZorVersion::getVersion());
    request.setAccept(QStringLiteral("*/*"));
    request.setConnection(QStringLiteral("close"));
    if (!sock->sendBytes(request.toLatin1CRLF()) || !sock->flushWrite(kReadMs)) {
        logError("get, cannot send the request to $", url.host());
        return finish(EXIT_ZOR_IO);
    }
    HttpHeader answer;
    if (!answer.fromSocket(sock.get(), false, kReadMs) || answer.isRequest()) {
        logError("get, no valid answer head from $", url.host());
        return finish(EXIT_ZOR_PARSING);
    }
    std::fputs(answer.toLatin1CRLF().constData(), stderr);
    std::fflush(stderr);
    Sink sink;
    const QString out = cmd.getString(QStringLiteral("out"));
    if (!sink.open(out)) {
        logError("get, cannot write '$'", out);
        return finish(EXIT_ZOR_IO);
    }
    int rc = copyBody(cmd, sock->socket(), answer, sink);
    sink.close();
    sock->close(0);
    const unsigned int code = answer.getCode();
    if (rc == EXIT_ZOR_OK && (code < 200 || code > 299)) {
        logError("get, the server answered '$'", answer.firstLine().getLine());
        rc = EXIT_ZOR_GENERAL_FAILURE;
    }
    return finish(rc);
}

}  // namespace zorapp
