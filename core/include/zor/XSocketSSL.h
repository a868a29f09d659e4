#pragma once
/// \zclass{XSocketSSL,net} A TLS socket (TLS 1.2 or later) that is its own BasicSocket view. As a client it may
/// ignore certificate errors (self-signed servers); XServer gives its server sockets the server's
/// configuration. Owned by its creator or taker; one thread at a time (Qt's socket rule).
#include <zor/BasicSocket.h>
#include <zor/zor_export.h>

#include <QSslSocket>

namespace zor {

class ZOR_EXPORT XSocketSSL : public QSslSocket, public BasicSocket {
public:
    explicit XSocketSSL(bool ignoreSslErrors = false, QObject* parent = nullptr);
    ~XSocketSSL() override;

    bool isSSL() const override { return true; }
    /// Encrypted connect, read-write, any IP protocol.
    void connectToHostEncrypted(const QString& host, unsigned short port) override;
    /// The same to an address, with peerName for the server name the handshake sends.
    void connectToAddressEncrypted(const QString& address, unsigned short port, const QString& peerName);

    using QSslSocket::connectToHost;
    using BasicSocket::close;
    using BasicSocket::isOpen;
    using BasicSocket::state;
    using BasicSocket::errorString;
    using BasicSocket::localAddress;
    using BasicSocket::peerAddress;
    void close() override { QSslSocket::close(); }
    bool waitForConnected(int ms = 30000) override { return QSslSocket::waitForConnected(ms); }
};

}  // namespace zor
