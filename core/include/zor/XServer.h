#pragma once
/// \zclass{XServer,net} A TCP server that hands out XSocket objects, or XSocketSSL objects with server-side TLS
/// when a configuration is set (setupSSLConfig builds one from PEM files).
///
/// The server runs in the thread of its event loop (or of the caller of waitForNewConnection).
/// Every socket it hands out is detached from any thread, so that the thread that takes it from
/// nextPendingConnection() adopts it (BasicSocket::adoptToCurrentThread, or takeSocket here). The
/// taker owns the socket; sockets still pending when the server is destroyed go with it. The server
/// owns its copy of the TLS configuration.
#include <zor/BasicSocket.h>
#include <zor/zor_export.h>

#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

namespace zor {

class ZOR_EXPORT XServer : public QTcpServer {
public:
    explicit XServer(QObject* parent = nullptr);
    ~XServer() override;

    /// Certificate and RSA key from PEM files, no peer verification, TLS 1.2 or later.
    static bool setupSSLConfig(QSslConfiguration& config, const QString& certFile, const QString& keyFile);

    void setSslConfig(const QSslConfiguration& config);  ///< from now on connections speak TLS
    void clearSslConfig();
    bool isSSL() const { return sslConfig != nullptr; }

    /// The next pending connection adopted into the calling thread, as a BasicSocket; null when
    /// none is pending. The caller owns it.
    BasicSocket* takeSocket();

    /// Qt listens with a queue of 50 connections not yet accepted; a server that expects bursts of
    /// thousands asks for more (the system caps it, on Linux at net.core.somaxconn). False, logged,
    /// when the server is not listening or the system refuses.
    bool setListenBacklog(int connections);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QSslConfiguration* sslConfig = nullptr;
};

}  // namespace zor
