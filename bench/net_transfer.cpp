// One 256 MB block over loopback TCP: WinSocket::sendMemBlock / receiveMemBlock against the loop a
// Qt user writes with QTcpSocket (write in 64 KB pieces with waitForBytesWritten, read with
// waitForReadyRead). In both the receiver is its own thread that stays connected; one iteration
// is one whole block sent and received. Throughput is reported as bytes per second.
#include <zor/Socket.h>
#include <zor/WinServerSocket.h>
#include <zor/XMem.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr std::size_t kBlock = 256u << 20;
constexpr int kTimeoutMs = 60000;

// Counts the blocks the receiver has finished, so the sender can wait for the last one.
struct Done {
    std::mutex m;
    std::condition_variable cv;
    long long count = 0;
    bool failed = false;
    void add(bool ok) {
        std::lock_guard<std::mutex> lock(m);
        ++count;
        failed = failed || !ok;
        cv.notify_all();
    }
    bool waitFor(long long n) {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return count >= n; });
        return !failed;
    }
};

void transfer_zor(benchmark::State& state) {
    zor::WinServerSocket server;
    if (!server.bind(0, QStringLiteral("127.0.0.1"))) {
        state.SkipWithError("bind failed");
        return;
    }
    server.listen(1);
    std::unique_ptr<zor::Socket> client(zor::Socket::createSocket(QStringLiteral("127.0.0.1"), server.getPort()));
    bool timedOut = false;
    std::unique_ptr<zor::Socket> peer(server.accept(&timedOut));
    if (!client || !peer) {
        state.SkipWithError("connect failed");
        return;
    }
    zor::XMem out(kBlock, 0x5A);
    Done done;
    std::atomic<bool> stop{false};
    std::thread receiver([&] {
        zor::XMem in(kBlock);
        while (!stop.load()) {
            const bool ok = peer->receiveMemBlock(in, kTimeoutMs);
            if (stop.load()) break;
            done.add(ok && in.isOK());
            if (!ok || !in.isOK()) break;
        }
    });
    long long sent = 0;
    for (auto _ : state) {
        if (!client->sendMemBlock(out, kTimeoutMs)) state.SkipWithError("send failed");
        ++sent;
        if (!done.waitFor(sent)) {
            state.SkipWithError("receive failed");
            break;
        }
    }
    stop = true;
    client.reset();  // the receiver's wait ends with the connection
    receiver.join();
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(kBlock));
}
BENCHMARK(transfer_zor)->Name("net_transfer/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void transfer_qt(benchmark::State& state) {
    std::promise<quint16> portPromise;
    Done done;
    std::thread receiver([&] {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0)) {
            portPromise.set_value(0);
            return;
        }
        portPromise.set_value(server.serverPort());
        if (!server.waitForNewConnection(kTimeoutMs)) return;
        std::unique_ptr<QTcpSocket> s(server.nextPendingConnection());
        QByteArray in(static_cast<int>(kBlock), Qt::Uninitialized);
        for (;;) {
            qint64 got = 0;
            while (got < static_cast<qint64>(kBlock)) {
                if (s->bytesAvailable() == 0 && !s->waitForReadyRead(kTimeoutMs)) break;
                const qint64 r = s->read(in.data() + got, static_cast<qint64>(kBlock) - got);
                if (r < 0) break;
                got += r;
            }
            if (got < static_cast<qint64>(kBlock)) return;  // closed: the benchmark is over
            done.add(true);
        }
    });
    const quint16 port = portPromise.get_future().get();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    if (port == 0 || !client.waitForConnected(kTimeoutMs)) {
        state.SkipWithError("connect failed");
        client.abort();
        receiver.join();
        return;
    }
    const QByteArray out(static_cast<int>(kBlock), 0x5A);
    constexpr qint64 kPiece = 64 * 1024;
    long long sent = 0;
    for (auto _ : state) {
        for (qint64 pos = 0; pos < static_cast<qint64>(kBlock); pos += kPiece) {
            client.write(out.constData() + pos, kPiece);
            if (client.bytesToWrite() > 4 * kPiece) client.waitForBytesWritten(kTimeoutMs);
        }
        while (client.bytesToWrite() > 0 && client.waitForBytesWritten(kTimeoutMs)) {
        }
        ++sent;
        if (!done.waitFor(sent)) break;
    }
    client.close();
    receiver.join();
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(kBlock));
}
BENCHMARK(transfer_qt)->Name("net_transfer/QTcpSocket")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
