// zor adapters: lists the machine's IPv4 addresses, "127.0.0.1" last.
// zor connect: opens a TCP or TLS connection by URL, optionally sends one line and prints the
// reply line.
//
//   zor adapters
//   zor connect --url https://127.0.0.1:8443/ [--timeout 3000] [--send "hello"]
//
// A URL that is not valid or names no port (other than http and https) ends with the exit code
// for bad arguments, a connection that does not open within the time-out with the one for input
// and output.
#include "Commands.h"

#include <zor/core.h>

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace zorapp {

using namespace zor;

int runAdapters(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    AdapterInfos infos;
    if (infos.enumAdapters() != 0) return finish(EXIT_ZOR_IO);
    return finish(EXIT_ZOR_OK, infos.addresses().join(QLatin1Char('\n')));
}

int runConnect(const CommandLine& cmd) {
    // Name lookups and TLS want an application object.
    static int argc = 1;
    static char name[] = "zor";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) app = std::make_unique<QCoreApplication>(argc, argv);
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString urlText;
    if (!requireKey(cmd, "url", urlText)) return finish(EXIT_ZOR_ARGUMENT);
    const QUrl url(urlText, QUrl::StrictMode);
    const UrlTarget target = UrlTarget::fromUrl(url);
    if (!target.isOK()) {
        logError("connect, '$' names no host and port to connect to", urlText);
        return finish(EXIT_ZOR_ARGUMENT);
    }
    bool ok = false;
    const int timeout = cmd.getString(QStringLiteral("timeout"), QStringLiteral("5000")).toInt(&ok);
    if (!ok || timeout < 0) {
        logError("connect, --timeout '$' is no number of milliseconds", cmd.getString(QStringLiteral("timeout")));
        return finish(EXIT_ZOR_ARGUMENT);
    }
    std::unique_ptr<BasicSocket> s(BasicSocket::connectToHost(url, static_cast<std::size_t>(timeout)));
    if (!s) return finish(EXIT_ZOR_IO);
    QString line = QString::asprintf("connected %s:%u, local %s, peer %s, ssl:%s", qPrintable(target.host), target.port,
                                     qPrintable(s->ipLocal()), qPrintable(s->ipPeer()), target.ssl ? "true" : "false");
    const QString text = cmd.getString(QStringLiteral("send"));
    if (!text.isEmpty()) {
        s->setFlushAfterWrite(true);
        if (!s->sendStringCRLF(text)) return finish(EXIT_ZOR_IO);
        line += QStringLiteral("\n") + s->receiveString(64 * 1024, timeout);
    }
    s->close(timeout);
    return finish(EXIT_ZOR_OK, line);
}

}  // namespace zorapp
