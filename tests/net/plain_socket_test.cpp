// The plain-socket family over loopback: connect and accept, line and header reading with their
// limits, single bytes, whole memory blocks, and the failures with their exact texts.
#include "support/CaptureAppender.h"

#include <zor/HttpHeader.h>
#include <zor/Socket.h>
#include <zor/WinServerSocket.h>
#include <zor/WinSocket.h>
#include <zor/ZorErrorCodes.h>

#include <QTcpServer>
#include <algorithm>
#include <atomic>
#include <vector>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace zor;

namespace {

// A listening loopback server and one client connected to it, accepted on the server side.
struct Pair {
    WinServerSocket server;
    std::unique_ptr<Socket> client;
    std::unique_ptr<Socket> peer;

    bool open() {
        if (!server.bind(0, QStringLiteral("127.0.0.1"))) return false;
        server.listen(5);
        server.setTimeoutOption(5, 0, true);
        client.reset(Socket::createSocket(QStringLiteral("127.0.0.1"), server.getPort()));
        if (!client) return false;
        bool timedOut = true;
        peer.reset(server.accept(&timedOut));
        return peer != nullptr && !timedOut;
    }
    void say(const QByteArray& bytes) { client->send(bytes.constData(), bytes.size(), 0); }
};

}  // namespace

TEST(PlainSockets, LinesBytesAndHeaders) {
    zortest::LogCapture cap;
    Pair p;
    ASSERT_TRUE(p.open()) << cap.lastLines(5);
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinServerSocket::listen, OK")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinServerSocket::~accept")));

    // CR LF and a bare CR inside a line; a 5000-byte line is cut at 4000 and the rest follows.
    p.say("hello\r\n" + QByteArray(5000, 'x') + "\na\rb\n");
    QString line;
    bool timedOut = true;
    EXPECT_EQ(p.peer->receiveString(line, timedOut, 10, false), 5);
    EXPECT_EQ(line, QStringLiteral("hello"));
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(p.peer->receiveString(line, timedOut, 4096, false), 4000);
    EXPECT_EQ(line, QString(4000, QLatin1Char('x')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::receiveString, should not be here, len >= 4000")));
    EXPECT_EQ(p.peer->receiveString(line, timedOut, 4096, false), 1000);
    EXPECT_EQ(p.peer->receiveString(line, timedOut, 4096, false), 2);
    EXPECT_EQ(line, QStringLiteral("ab"));

    // Bytes are sign-extended; a negative time-out counts as 0.
    EXPECT_TRUE(p.client->sendByte(0x180));  // only the low byte goes
    EXPECT_TRUE(p.client->sendByte('A'));
    EXPECT_EQ(p.peer->readByte(-5), -128);
    EXPECT_EQ(p.peer->readByte(1000), 'A');
    EXPECT_EQ(p.peer->readByte(50), -1);  // nothing more: a silent time-out

    // An HTTP header up to its empty line, then the body stays unread.
    p.say("GET / HTTP/1.1\r\nHost: a\r\n\r\nbody\n");
    EXPECT_EQ(p.peer->readHttpHeader(), QStringLiteral("GET / HTTP/1.1\r\nHost: a\r\n"));
    SockString body = p.peer->readSockString();
    EXPECT_TRUE(body.isOK());
    EXPECT_TRUE(body.contains(QStringLiteral("bod")));
    EXPECT_EQ(body.len(), 4);

    // 49 lines without an end are too many; the 50th stays in the socket.
    QByteArray many;
    for (int i = 0; i < 50; ++i) many += "H" + QByteArray::number(i) + ": v\r\n";
    p.say(many + "\r\n");
    EXPECT_EQ(p.peer->readHttpHeader(), QString());
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::readHttpHeader, read 3.... ?")));
    EXPECT_EQ(p.peer->readSockString().text(), QStringLiteral("H49: v"));
    EXPECT_EQ(p.peer->readSockString().text(), QString());

    // Time-outs on the first and on a later line.
    p.peer->setTimeoutMilliSeconds(100, true);
    EXPECT_EQ(p.peer->readHttpHeader(), QString());
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::readHttpHeader, timeout")));
    p.say("GET / HTTP/1.1\r\n");
    EXPECT_EQ(p.peer->readHttpHeader(), QString());
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::readHttpHeader , timeout,2")));
    SockString none = p.peer->readSockString();
    EXPECT_TRUE(none.isZorTimeout());
    EXPECT_FALSE(none.contains(QString()));

    // The peer goes away: the receive fails with its line, it does not hang.
    p.client.reset();
    EXPECT_EQ(p.peer->readByte(2000), -1);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("WinSocket::receive, result == 0, problem,WSAGetLastError, err:")).size(), 1);
    // Sending into a closed connection gives an error, not a signal that ends the process.
    const QByteArray chunk(65536, 'z');
    int r = 0;
    for (int i = 0; i < 64 && r >= 0; ++i) r = p.peer->send(chunk.constData(), chunk.size(), 0);
    EXPECT_EQ(r, -1);

    // What this family does not do.
    EXPECT_FALSE(p.peer->isValid());
    EXPECT_FALSE(p.peer->writeAll(XByteArray(QByteArray("x")), 10));
    EXPECT_TRUE(p.peer->read(10, 10).isEmpty());
    EXPECT_TRUE(p.server.readAll(10).isEmpty());
    XMem m(4);
    EXPECT_FALSE(p.server.receiveMemBlock(m, 10));
    EXPECT_EQ(p.server.receive(m.mem(), 4, 0), 0);
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::receive, overwrite me")));
}

TEST(PlainSockets, ConnectAndAcceptFailures) {
    zortest::LogCapture cap;
    unsigned short closed = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost, 0));
        closed = s.serverPort();
    }
    EXPECT_EQ(Socket::createSocket(QStringLiteral("127.0.0.1"), closed), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::createSocket, 127.0.0.1:%1 FD_ISSET failed").arg(closed))) << cap.lastLines(3);
    EXPECT_EQ(Socket::createSocket(QString(), 80), nullptr);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("Socket::createSocket, host_info == NULL, ")).size(), 1);
    EXPECT_EQ(Socket::createSocket(QStringLiteral("127.0.0.1"), 70000), nullptr);
    EXPECT_EQ(Socket::createSocket(QUrl(QStringLiteral("http://[::1"))), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("Socket::createSocket, url is not valid !")));
    EXPECT_EQ(Socket::createSocket(QUrl(QStringLiteral("ftp://127.0.0.1/x"))), nullptr);
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::connectToHost, port '-1'")));

    std::unique_ptr<ServerSocket> server(Socket::createServerSocket());
    auto* win = static_cast<WinServerSocket*>(server.get());
    bool timedOut = false;
    EXPECT_EQ(server->accept(&timedOut), nullptr);  // never bound
    EXPECT_FALSE(timedOut);
    ASSERT_TRUE(win->bind(0, QStringLiteral("127.0.0.1")));
    server->listen(1);
    server->setTimeoutOption(0, 50, true);
    EXPECT_EQ(server->accept(&timedOut), nullptr);
    EXPECT_TRUE(timedOut);
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinServerSocket::accept, timeout 50 ms reached")));

    // A port in use cannot be bound again.
    WinServerSocket second;
    EXPECT_FALSE(second.bind(static_cast<unsigned short>(server->getPort()), QStringLiteral("127.0.0.1")));
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("Bind failed with error code : ")).size(), 1);

    // The URL form connects like the host form.
    std::unique_ptr<Socket> c(Socket::createSocket(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server->getPort()))));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getPort(), server->getPort());
    std::unique_ptr<Socket> accepted(server->accept(&timedOut));
    EXPECT_NE(accepted, nullptr);
}

TEST(PlainSockets, MemBlockRoundTripAndFailures) {
    zortest::LogCapture cap;
    Pair p;
    ASSERT_TRUE(p.open());

    // 8 MB: more than one system call carries, on both sides.
    XMem out(8u << 20);
    for (std::size_t i = 0; i < out.size(); ++i) out.mem()[i] = static_cast<char>((i * 7919u) >> 3);
    bool sent = false;
    std::thread sender([&] { sent = p.client->sendMemBlock(out, 10000); });
    XMem in(out.size());
    EXPECT_TRUE(p.peer->receiveMemBlock(in, 10000));
    sender.join();
    EXPECT_TRUE(sent);
    EXPECT_TRUE(in.isOK());
    EXPECT_EQ(in.createMD5(), out.createMD5());
    EXPECT_EQ(in.createMD5().toString(), out.createMD5().toString());

    // A time-out leaves error 110 in the block and still answers true.
    XMem wait(16);
    EXPECT_TRUE(p.peer->receiveMemBlock(wait, 100));
    EXPECT_TRUE(wait.isZorError(ZOR_ERROR_TIMEOUT));
    // A block in an error state is refused.
    EXPECT_FALSE(p.peer->receiveMemBlock(wait, 100));
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("WinSocket::receiveMemBlock, mem:")).size(), 1);

    // The peer closes half-way: what came is kept, error 120 marks the short block.
    XMem half(8);
    half.fill('h');
    XMem part(4);
    part.fill('p');
    EXPECT_TRUE(p.client->sendMemBlock(part, 0));
    p.client.reset();
    EXPECT_TRUE(p.peer->receiveMemBlock(half, 2000));
    EXPECT_TRUE(half.isZorError(ZOR_ERROR_BUFFER_EMPTY));
    EXPECT_EQ(QByteArray(half.mem(), 8), QByteArray("pppphhhh"));
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinSocket::receiveMemBlock, result == 0")));

    // No handle at all.
    WinSocket none(0);
    XMem m(4);
    EXPECT_FALSE(none.receiveMemBlock(m, 10));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_NOT_INITIALIZED));
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinSocket::receiveMemBlock, sock == 0!!!")));
    EXPECT_FALSE(none.sendMemBlock(m, 10));
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinSocket::sendMemBlock, sock == 0!!!")));
}

TEST(PlainSockets, ClientsOnSeveralThreadsEachGetTheirBlock) {
    zortest::LogCapture cap;
    WinServerSocket server;
    ASSERT_TRUE(server.bind(0, QStringLiteral("127.0.0.1")));
    server.listen(8);
    server.setTimeoutOption(10, 0, true);
    constexpr int kClients = 4;
    constexpr std::size_t kSize = 256 * 1024;
    std::atomic<int> sentOk{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            std::unique_ptr<Socket> c(Socket::createSocket(QStringLiteral("127.0.0.1"), server.getPort()));
            if (!c) return;
            XMem block(kSize, 'a' + i);  // the first byte names the client
            if (c->sendMemBlock(block, 10000)) ++sentOk;
            // Wait for the server's one-byte receipt before closing.
            c->readByte(10000);
        });
    }
    QList<char> seen;
    for (int i = 0; i < kClients; ++i) {
        bool timedOut = false;
        std::unique_ptr<Socket> peer(server.accept(&timedOut));
        ASSERT_NE(peer, nullptr) << cap.lastLines(4);
        XMem in(kSize);
        EXPECT_TRUE(peer->receiveMemBlock(in, 10000));
        EXPECT_TRUE(in.isOK());
        const char first = in.mem()[0];
        EXPECT_EQ(QByteArray(in.mem(), static_cast<int>(kSize)), QByteArray(static_cast<int>(kSize), first));
        seen.append(first);
        EXPECT_TRUE(peer->sendByte(1));
    }
    for (std::thread& t : clients) t.join();
    EXPECT_EQ(sentOk.load(), kClients);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (QList<char>{'a', 'b', 'c', 'd'}));
}

TEST(PlainSockets, HttpHeadOverAPlainSocket) {
    zortest::LogCapture cap;
    Pair p;
    ASSERT_TRUE(p.open()) << cap.lastLines(5);
    p.peer->setTimeoutMilliSeconds(300, true);
    p.say("GET /a.html HTTP/1.1\r\nHost: h:81\r\nConnection: keep-alive\r\n\r\n");
    HttpHeader h;
    ASSERT_TRUE(h.fromSocketClassic(p.peer.get())) << cap.lastLines(4);
    EXPECT_TRUE(h.isRequest());
    EXPECT_EQ(h.getResource(), QStringLiteral("/a.html"));
    EXPECT_EQ(h.getPort(), 81u);
    EXPECT_TRUE(h.isKeepAlive());

    // Silence before the first line, and a head that stops after its first line.
    HttpHeader none;
    EXPECT_FALSE(none.fromSocketClassic(p.peer.get()));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocketClassic , timeout")));
    p.say("GET / HTTP/1.1\r\n");
    EXPECT_FALSE(none.fromSocketClassic(p.peer.get()));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocketClassic , timeout,2")));

    // Thirty field lines are more than a head may have.
    QByteArray many = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 30; ++i) many += "K" + QByteArray::number(i) + ": v\r\n";
    p.say(many + "\r\n");
    EXPECT_FALSE(none.fromSocketClassic(p.peer.get()));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocketClassic, read 3.... ?")));
}
