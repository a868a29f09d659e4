// The tour's network section: the machine's addresses, a memory block sent over a loopback
// connection of the plain sockets and checked by its digest on the other side; then HTTP heads: a
// browser's request parsed, a smuggling-shaped one noticed, an answer built, and content types
// taken from file names.
#include "Commands.h"

#include <zor/core.h>

#include <memory>
#include <thread>

namespace zorapp {

using namespace zor;

namespace {

void tourSockets() {
    logInfo("==== sockets");
    AdapterInfos adapters;
    if (adapters.enumAdapters() == 0) logInfo("Tour::net, IPv4 addresses: $", adapters.addresses().join(QStringLiteral(", ")));

    WinServerSocket server;
    if (!server.bind(0, QStringLiteral("127.0.0.1"))) return;
    server.listen(1);
    server.setTimeoutOption(5, 0, true);
    std::unique_ptr<Socket> client(Socket::createSocket(QStringLiteral("127.0.0.1"), server.getPort()));
    bool timedOut = false;
    std::unique_ptr<Socket> peer(server.accept(&timedOut));
    if (!client || !peer) return;

    XMem out(4u << 20);
    out.fillPattern(QStringLiteral("zor sockets "));
    std::thread sender([&] { client->sendMemBlock(out, 5000); });
    XMem in(out.size());
    const bool ok = peer->receiveMemBlock(in, 5000);
    sender.join();
    logInfo("Tour::net, $ bytes over 127.0.0.1:$, received:$, digests equal:$ ($)", static_cast<unsigned long long>(in.size()),
            server.getPort(), ok && in.isOK(), in.createMD5() == out.createMD5(), in.createMD5().toString());
}

void tourHttp() {
    logInfo("==== HTTP heads and content types");
    HttpHeader request;
    request.fromString(QStringLiteral("GET /docs/a.html HTTP/1.1\r\nHost: example.org:8080\r\nConnection: keep-alive\r\n\r\n"));
    logInfo("Tour::net, request for '$' on $ port $, keep-alive:$", request.getResource(), request.getHost(),
            request.getPort(), request.isKeepAlive());
    HttpHeader sneaky;
    sneaky.fromString(QStringLiteral("POST / HTTP/1.1\r\nContent-Length: 4\r\ncontent-length: 40\r\n\r\n"));
    logInfo("Tour::net, two different lengths noticed: $ (a server answers 400)", sneaky.hasAmbiguousLength());
    HttpHeader answer(200, QStringLiteral("OK"), 1);
    answer.setMime(Mime().typeFor(QStringLiteral("html")));
    answer.setContenLen(1024);
    logInfo("Tour::net, answer head: $", answer.toStringCRLF().replace(QLatin1String("\r\n"), QLatin1String(" | ")));
    logInfo("Tour::net, photo.JPG is $, 'text/html; charset=utf-8' has subtype '$'",
            XMimeType::fromFile(QStringLiteral("photo.JPG")).toString(),
            XMimeType::fromString(QStringLiteral("text/html; charset=utf-8")).subType());
}

}  // namespace

void tourNet() {
    tourSockets();
    tourHttp();
}

}  // namespace zorapp
