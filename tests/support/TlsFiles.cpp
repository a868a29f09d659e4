#include "support/TlsFiles.h"

#include <QFileInfo>
#include <QProcess>

namespace zortest {

bool TlsFiles::make(const QString& dir, const QString& commonName) {
    certFile = dir + QStringLiteral("/cert.pem");
    keyFile = dir + QStringLiteral("/key.pem");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile,
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName});
    if (!p.waitForStarted(10000)) {
        error = QStringLiteral("openssl did not start");
        return false;
    }
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = QString::fromLocal8Bit(p.readAll());
        return false;
    }
    return QFileInfo(certFile).size() > 0 && QFileInfo(keyFile).size() > 0;
}

}  // namespace zortest
