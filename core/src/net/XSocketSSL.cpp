#include <zor/XSocketSSL.h>

#include <zor/Logger.h>

#include <QSslConfiguration>
#include <QSslError>

namespace zor {

XSocketSSL::XSocketSSL(bool ignoreSslErrors, QObject* parent) : QSslSocket(parent), BasicSocket(this) {
    logDebug("XSocketSSL::XSocketSSL");
    // TLS 1.0 and SSL 3 are broken and refused by current peers.
    QSslConfiguration conf = sslConfiguration();
    conf.setProtocol(QSsl::TlsV1_2OrLater);
    if (ignoreSslErrors) conf.setPeerVerifyMode(QSslSocket::VerifyNone);
    setSslConfiguration(conf);
    if (ignoreSslErrors) {
        QObject::connect(this, qOverload<const QList<QSslError>&>(&QSslSocket::sslErrors), this,
                         [this](const QList<QSslError>&) { QSslSocket::ignoreSslErrors(); });
    }
}

XSocketSSL::~XSocketSSL() { logDestruct("XSocketSSL::~XSocketSSL"); }

void XSocketSSL::connectToHostEncrypted(const QString& host, unsigned short port) {
    QSslSocket::connectToHostEncrypted(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void XSocketSSL::connectToAddressEncrypted(const QString& address, unsigned short port, const QString& peerName) {
    QSslSocket::connectToHostEncrypted(address, port, peerName, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

}  // namespace zor
