// The tour's network section: the machine's addresses, and a memory block sent over a loopback
// connection of the plain sockets, checked by its digest on the other side.
#include "Commands.h"

#include <zor/core.h>

#include <memory>
#include <thread>

namespace zorapp {

using namespace zor;

void tourNet() {
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

}  // namespace zorapp
