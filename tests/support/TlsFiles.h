#pragma once
// A self-signed certificate and its RSA key as PEM files, made with the openssl program in a
// directory the test owns (a QTemporaryDir). make() is false when openssl is missing or fails.
//   QTemporaryDir dir;  zortest::TlsFiles tls;  ASSERT_TRUE(tls.make(dir.path()));
//   XServer::setupSSLConfig(conf, tls.certFile, tls.keyFile);
#include <QString>

namespace zortest {

struct TlsFiles {
    QString certFile;
    QString keyFile;
    QString error;  // openssl's output when make() failed

    bool make(const QString& dir, const QString& commonName = QStringLiteral("localhost"));
};

}  // namespace zortest
