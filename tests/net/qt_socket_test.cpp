// The Qt socket family: connectToHost failures with their exact texts, the URL decision, and
// plain and TLS echo through XServer (server on its own thread, blocking calls on both ends).
#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/TlsFiles.h"

#include <zor/BasicSocket.h>
#include <zor/UrlTarget.h>
#include <zor/XServer.h>
#include <zor/XSocket.h>
#include <zor/XSocketSSL.h>

#include <QFile>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace zor;

namespace {

// A loopback port on which nothing listens (bound once, then released).
unsigned short closedPort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0)) return 1;
    const unsigned short p = s.serverPort();
    s.close();
    return p;
}

// Echoes lines ("echo:<line>") from one client until it sends "quit" or goes away.
struct EchoServer {
    std::promise<unsigned short> portPromise;
    std::thread thread;
    std::atomic<bool> sawSSL{false};
    std::atomic<int> lines{0};

    void start(const QSslConfiguration* tls) {
        thread = std::thread([this, tls] {
            XServer server;
            if (tls != nullptr) server.setSslConfig(*tls);
            if (!server.listen(QHostAddress::LocalHost, 0)) {
                portPromise.set_value(0);
                return;
            }
            portPromise.set_value(server.serverPort());
            if (!server.waitForNewConnection(20000)) return;
            std::unique_ptr<BasicSocket> s(server.takeSocket());
            if (!s) return;
            sawSSL = s->isSSL();
            s->setFlushAfterWrite(true);
            for (int i = 0; i < 100; ++i) {
                const QString line = s->receiveString(1000, 20000);
                if (line == QLatin1String("quit") || (line.isEmpty() && !s->isOpen())) break;
                if (line.isEmpty() && s->state() != QAbstractSocket::ConnectedState) break;
                ++lines;
                s->sendStringCRLF(QStringLiteral("echo:") + line);
            }
            s->close(2000);
        });
    }
    ~EchoServer() {
        if (thread.joinable()) thread.join();
    }
};

}  // namespace

TEST(QtSockets, UrlTargetDecidesHostPortAndTls) {
    UrlTarget t = UrlTarget::fromUrl(QUrl(QStringLiteral("https://example.org/a")));
    EXPECT_TRUE(t.isOK());
    EXPECT_EQ(t.port, 443);
    EXPECT_TRUE(t.ssl);
    EXPECT_EQ(t.host, QStringLiteral("example.org"));

    t = UrlTarget::fromUrl(QUrl(QStringLiteral("http://127.0.0.1/x")));
    EXPECT_EQ(t.port, 80);
    EXPECT_FALSE(t.ssl);

    t = UrlTarget::fromUrl(QUrl(QStringLiteral("https://h:8443")));
    EXPECT_EQ(t.port, 8443);
    EXPECT_TRUE(t.ssl);

    t = UrlTarget::fromUrl(QUrl(QStringLiteral("ftp://127.0.0.1:21")));
    EXPECT_TRUE(t.isOK());
    EXPECT_FALSE(t.ssl);

    EXPECT_EQ(UrlTarget::fromUrl(QUrl(QStringLiteral("ftp://127.0.0.1/f"))).result, UrlTarget::NO_PORT);
    EXPECT_EQ(UrlTarget::fromUrl(QUrl(QStringLiteral("HTTPS://h"))).port, 443);  // schemes are lower-cased
    EXPECT_EQ(UrlTarget::fromUrl(QUrl(QStringLiteral("http://[::1"))).result, UrlTarget::INVALID_URL);
    EXPECT_EQ(UrlTarget::fromUrl(QUrl()).result, UrlTarget::INVALID_URL);
}

TEST(QtSockets, ConnectToHostFailuresGiveNullAndTheirTexts) {
    zortest::LogCapture cap;
    const unsigned short port = closedPort();
    EXPECT_EQ(BasicSocket::connectToHost(QStringLiteral("127.0.0.1"), port, false, 3000), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, CONNECTION REFUSED"))) << cap.lastLines(4);

    EXPECT_EQ(BasicSocket::connectToHost(QString(), 80, false, 1000), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, cannot resolve ''"))) << cap.lastLines(4);

    EXPECT_EQ(BasicSocket::connectToHost(QUrl(QStringLiteral("http://[::1")), 1000), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, url is not valid !")));

    EXPECT_EQ(BasicSocket::connectToHost(QUrl(QStringLiteral("ftp://127.0.0.1/file")), 1000), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, port '-1'"))) << cap.lastLines(4);

    // https without a port goes to 443 with TLS (on loopback; nothing is expected to answer).
    BasicSocket::netDebug = true;
    std::unique_ptr<BasicSocket> s(BasicSocket::connectToHost(QUrl(QStringLiteral("https://127.0.0.1/")), 300));
    BasicSocket::netDebug = false;
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, try to connect 127.0.0.1:443, ssl:true, timeout:300")))
        << cap.lastLines(6);

    // The plain socket refuses an encrypted connect.
    XSocket plain;
    static_cast<BasicSocket&>(plain).connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHostEncrypted - forbidden call !")));
    EXPECT_FALSE(plain.flushWrite(10));  // not open
    EXPECT_FALSE(plain.sendString(QStringLiteral("x")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::sendString, sock->write failed !")));
    EXPECT_FALSE(plain.sendStringCRLF(QStringLiteral("x")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::sendStringCRLF, sock->write failed !")));
    EXPECT_EQ(plain.receiveString(10, 10), QString());
    EXPECT_FALSE(BasicSocket::valid(nullptr));
    EXPECT_FALSE(BasicSocket::valid(&plain));
}

TEST(QtSockets, PlainEchoThroughXServer) {
    zortest::TestApp app;
    zortest::LogCapture cap;
    EchoServer server;
    server.start(nullptr);
    const unsigned short port = server.portPromise.get_future().get();
    ASSERT_NE(port, 0);

    std::unique_ptr<BasicSocket> c(BasicSocket::connectToHost(QStringLiteral("localhost"), port, false, 5000));
    ASSERT_NE(c, nullptr) << cap.lastLines(5);
    EXPECT_FALSE(c->isSSL());
    EXPECT_EQ(c->ipPeer(), QStringLiteral("127.0.0.1"));
    c->setFlushAfterWrite(true);
    EXPECT_TRUE(c->sendStringCRLF(QStringLiteral("first line")));
    EXPECT_EQ(c->receiveString(1000, 10000), QStringLiteral("echo:first line"));
    // Latin-1 on the wire both ways; a bare LF also ends a line.
    EXPECT_TRUE(c->sendString(QString::fromLatin1("caf\xE9\n")));
    EXPECT_EQ(c->receiveString(1000, 10000), QString::fromLatin1("echo:caf\xE9"));
    // maxLength cuts the line; the rest is the next line.
    EXPECT_TRUE(c->sendStringCRLF(QStringLiteral("0123456789")));
    EXPECT_EQ(c->receiveString(6, 10000), QStringLiteral("echo:0"));
    EXPECT_EQ(c->receiveString(100, 10000), QStringLiteral("123456789"));
    EXPECT_TRUE(c->sendStringCRLF(QStringLiteral("quit")));
    // The server closes: the read ends without a line instead of hanging.
    EXPECT_EQ(c->receiveString(100, 5000), QString());
    c->close(1000);
    server.thread.join();
    EXPECT_EQ(server.lines.load(), 3);
    EXPECT_FALSE(server.sawSSL.load());
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XServer::incomingConnection, local '127.0.0.1', peer '127.0.0.1', ssl:false")).size(), 1)
        << cap.lastLines(10);
}

TEST(QtSockets, TlsEchoThroughXServer) {
    zortest::TestApp app;
    zortest::LogCapture cap;
    QTemporaryDir dir;
    zortest::TlsFiles tls;
    ASSERT_TRUE(tls.make(dir.path())) << tls.error.toStdString();

    QSslConfiguration conf;
    EXPECT_FALSE(XServer::setupSSLConfig(conf, dir.path() + "/none.pem", tls.keyFile));
    EXPECT_TRUE(cap.containsText("XServer::setupSSLConfig cannot open sslCertFile " + dir.path() + "/none.pem"));
    EXPECT_FALSE(XServer::setupSSLConfig(conf, tls.certFile, dir.path() + "/none.pem"));
    EXPECT_TRUE(cap.containsText("XServer::setupSSLConfig cannot open sslKeyFile " + dir.path() + "/none.pem"));
    // A key file in place of the certificate is refused, not half-configured.
    EXPECT_FALSE(XServer::setupSSLConfig(conf, tls.keyFile, tls.keyFile));
    ASSERT_TRUE(XServer::setupSSLConfig(conf, tls.certFile, tls.keyFile));
    EXPECT_EQ(conf.protocol(), QSsl::TlsV1_2OrLater);

    EchoServer server;
    server.start(&conf);
    const unsigned short port = server.portPromise.get_future().get();
    ASSERT_NE(port, 0);

    // Self-signed: the client ignores the certificate errors.
    std::unique_ptr<BasicSocket> c(BasicSocket::connectToHost(QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(port)), 5000));
    ASSERT_NE(c, nullptr) << cap.lastLines(5);
    EXPECT_TRUE(c->isSSL());
    c->setFlushAfterWrite(true);
    EXPECT_TRUE(c->sendStringCRLF(QStringLiteral("secret")));
    EXPECT_EQ(c->receiveString(1000, 10000), QStringLiteral("echo:secret"));
    EXPECT_TRUE(static_cast<XSocketSSL*>(c->socket())->isEncrypted());
    EXPECT_TRUE(c->sendStringCRLF(QStringLiteral("quit")));
    c->close(1000);
    server.thread.join();
    EXPECT_TRUE(server.sawSSL.load());
    EXPECT_EQ(server.lines.load(), 1);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XServer::incomingConnection, local '127.0.0.1', peer '127.0.0.1', ssl:true")).size(), 1);
}
