#include <zor/XServer.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XSocket.h>
#include <zor/XSocketSSL.h>

#include <sys/socket.h>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <cerrno>
#include <cstring>

namespace zor {

namespace {
const char* const kSource = "libSrc/core/src/tools/io/xsock/XServer";
}

XServer::XServer(QObject* parent) : QTcpServer(parent) { logDebug("XServer::XServer"); }

XServer::~XServer() {
    logDestruct("XServer::~XServer");
    // Sockets nobody took have no parent that would delete them.
    while (hasPendingConnections()) delete nextPendingConnection();
    delete sslConfig;
}

bool XServer::setupSSLConfig(QSslConfiguration& config, const QString& certFile, const QString& keyFile) {
    QFile cf(certFile);
    if (!cf.open(QIODevice::ReadOnly)) {
        logError("XServer::setupSSLConfig cannot open sslCertFile $", certFile);
        return false;
    }
    const QSslCertificate cert(&cf, QSsl::Pem);
    QFile kf(keyFile);
    if (!kf.open(QIODevice::ReadOnly)) {
        logError("XServer::setupSSLConfig cannot open sslKeyFile $", keyFile);
        return false;
    }
    const QSslKey key(&kf, QSsl::Rsa, QSsl::Pem, QSsl::PrivateKey, QByteArray());
    // A file that opens but holds no PEM certificate or RSA key would give a server that fails
    // every handshake: refuse it here.
    if (cert.isNull()) {
        logError("XServer::setupSSLConfig no PEM certificate in $", certFile);
        return false;
    }
    if (key.isNull()) {
        logError("XServer::setupSSLConfig no PEM RSA key in $", keyFile);
        return false;
    }
    config.setLocalCertificate(cert);
    config.setPrivateKey(key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    // TLS 1.0 and SSL 3 are broken and refused by current clients.
    config.setProtocol(QSsl::TlsV1_2OrLater);
    return true;
}

void XServer::setSslConfig(const QSslConfiguration& config) {
    if (sslConfig == nullptr)
        sslConfig = new QSslConfiguration(config);
    else
        *sslConfig = config;
}

void XServer::clearSslConfig() {
    delete sslConfig;
    sslConfig = nullptr;
}

void XServer::incomingConnection(qintptr descriptor) {
    QTcpSocket* qs = nullptr;
    if (sslConfig != nullptr) {
        auto* s = new XSocketSSL(false);
        s->setSslConfiguration(*sslConfig);
        qs = s;
    } else {
        qs = new XSocket();
    }
    if (!qs->setSocketDescriptor(descriptor, QAbstractSocket::ConnectedState, QIODevice::ReadWrite)) {
        logError("XServer::incomingConnection, setSocketDescriptor failed, $", qs->errorString());
        delete qs;
        return;
    }
    auto* basSock = dynamic_cast<BasicSocket*>(qs);
    if (basSock == nullptr) nullPointerHandling(kSource, 60, QStringLiteral("basSock == NULL"));
    if (sslConfig != nullptr) static_cast<XSocketSSL*>(qs)->startServerEncryption();
    // Detached from this thread: whichever thread takes it from the pending list adopts it.
    qs->moveToThread(nullptr);
    logDebug("XServer::incomingConnection, local '$', peer '$', ssl:$", basSock->ipLocal(), basSock->ipPeer(),
             sslConfig != nullptr);
    addPendingConnection(qs);
}

BasicSocket* XServer::takeSocket() {
    QTcpSocket* qs = nextPendingConnection();
    if (qs == nullptr) return nullptr;
    auto* basSock = dynamic_cast<BasicSocket*>(qs);
    if (basSock == nullptr) nullPointerHandling(kSource, 90, QStringLiteral("basSock == NULL"));
    basSock->adoptToCurrentThread();
    return basSock;
}

bool XServer::setListenBacklog(int connections) {
    // Listening again on a listening socket only changes the length of its queue.
    if (!isListening() || ::listen(static_cast<int>(socketDescriptor()), connections) != 0) {
        logError("XServer::setListenBacklog, cannot listen with a queue of $ connections, $", connections,
                 isListening() ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("not listening"));
        return false;
    }
    return true;
}

}  // namespace zor
