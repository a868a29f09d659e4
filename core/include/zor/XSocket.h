#pragma once
/// \zclass{XSocket,net} A plain TCP socket that is its own BasicSocket view. Owned by whoever created it or
/// took it from an XServer; one thread at a time (Qt's socket rule).
#include <zor/BasicSocket.h>
#include <zor/zor_export.h>

#include <QTcpSocket>

namespace zor {

class ZOR_EXPORT XSocket : public QTcpSocket, public BasicSocket {
public:
    explicit XSocket(QObject* parent = nullptr);
    ~XSocket() override;

    bool isSSL() const override { return false; }
    using QTcpSocket::connectToHost;
    using BasicSocket::close;
    using BasicSocket::isOpen;
    using BasicSocket::state;
    using BasicSocket::errorString;
    using BasicSocket::localAddress;
    using BasicSocket::peerAddress;
    void close() override { QTcpSocket::close(); }
    bool waitForConnected(int ms = 30000) override { return QTcpSocket::waitForConnected(ms); }
};

}  // namespace zor
