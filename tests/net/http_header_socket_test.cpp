// HttpHeader::fromSocket on loopback connections: heads that arrive in pieces, and the ways a
// peer can fail to send one (silence, a head cut short, too many lines, too many bytes), each
// ending within the deadline with its log line.
#include "support/CaptureAppender.h"
#include "support/TestApp.h"

#include <zor/BasicSocket.h>
#include <zor/HttpHeader.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

using namespace zor;

namespace {

// A BasicSocket view of a plain QTcpSocket (the server side of a test connection).
struct View : BasicSocket {
    explicit View(QTcpSocket* s) : BasicSocket(s) {}
    bool isSSL() const override { return false; }
};

// A connected pair on loopback: client writes, server reads; both in the test's thread.
struct Pair {
    QTcpServer server;
    QTcpSocket client;
    QTcpSocket* accepted = nullptr;
    std::unique_ptr<View> view;

    bool open() {
        if (!server.listen(QHostAddress::LocalHost, 0)) return false;
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        if (!client.waitForConnected(5000) || !server.waitForNewConnection(5000)) return false;
        accepted = server.nextPendingConnection();
        view = std::make_unique<View>(accepted);
        return accepted != nullptr;
    }
    void send(const QByteArray& bytes) {
        client.write(bytes);
        client.waitForBytesWritten(5000);
    }
};

}  // namespace

TEST(HttpHeaderSocket, HeadsInPiecesAndSkippedLine) {
    zortest::TestApp app;
    zortest::LogCapture cap;
    Pair p;
    ASSERT_TRUE(p.open());
    p.send("GET /x HTTP/1.1\r\nHo");
    p.send("st: a:9\r\nLF-only: y\n\r\nextra line\r\nGET /y HTTP/1.0\r\n\r\n");
    HttpHeader h;
    ASSERT_TRUE(h.fromSocket(p.view.get(), true, 5000)) << cap.lastLines(4);
    EXPECT_EQ(h.getResource(), QStringLiteral("/x"));
    EXPECT_EQ(h.getPort(), 9u);
    EXPECT_EQ(h.getString(QStringLiteral("LF-only"), QString()), QStringLiteral("y"));
    HttpHeader next;  // the skipped line is gone, the next head follows
    ASSERT_TRUE(next.fromSocket(p.view.get(), false, 5000));
    EXPECT_TRUE(next.firstLine().isHttp1());
    EXPECT_FALSE(h.fromSocket(nullptr, false, 10));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, sock == nullptr")));
}

TEST(HttpHeaderSocket, SilenceShortHeadsAndOversizedHeads) {
    zortest::TestApp app;
    zortest::LogCapture cap;
    {
        Pair p;
        ASSERT_TRUE(p.open());
        HttpHeader h;
        EXPECT_FALSE(h.fromSocket(p.view.get(), false, 200));
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, read 1.... ?")));
        // A peer trickling lines slower than the whole-head deadline is cut off at the deadline.
        p.send("GET / HTTP/1.1\r\nA: 1\r\n");
        EXPECT_FALSE(h.fromSocket(p.view.get(), false, 200));
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, read 2.... ?")));
    }
    {
        Pair p;
        ASSERT_TRUE(p.open());
        QByteArray many("GET / HTTP/1.1\r\n");
        for (int i = 0; i < 40; ++i) many += "K" + QByteArray::number(i) + ": v\r\n";
        p.send(many + "\r\n");
        HttpHeader h;
        EXPECT_FALSE(h.fromSocket(p.view.get(), false, 2000));
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, read 3.... ?")));
    }
    {
        Pair p;
        ASSERT_TRUE(p.open());
        p.send("GET / HTTP/1.1\r\nX: " + QByteArray(HttpHeader::MAX_HEADER_BYTES, 'a') + "\r\n\r\n");
        HttpHeader h;
        EXPECT_FALSE(h.fromSocket(p.view.get(), false, 5000));
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, header longer than 16384 bytes")));
    }
    {
        Pair p;  // the peer closes half-way
        ASSERT_TRUE(p.open());
        p.send("GET / HTTP/1.1\r\nA: 1");
        p.client.close();
        HttpHeader h;
        EXPECT_FALSE(h.fromSocket(p.view.get(), false, 2000));
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromSocket, read 2.... ?")));
    }
}

TEST(HttpHeaderSocket, SendsAHeadInItsWireForm) {
    zortest::TestApp app;
    zortest::LogCapture cap;
    Pair p;
    ASSERT_TRUE(p.open());
    HttpHeader answer(404, QStringLiteral("Not Found"), 1);
    answer.setContenLen(0);
    ASSERT_TRUE(p.view->sendHttpHeader(&answer));
    p.accepted->waitForBytesWritten(5000);
    QByteArray got;
    while (!got.endsWith("\r\n\r\n") && p.client.waitForReadyRead(5000)) got += p.client.readAll();
    EXPECT_EQ(got, QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_FALSE(p.view->sendHttpHeader(nullptr));
    EXPECT_TRUE(cap.containsText(QStringLiteral("BasicSocket::sendHttpHeader, httpHeader == nullptr")));
}
