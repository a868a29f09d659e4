#pragma once
/// \zclass{UrlTarget,net} Where a URL asks a client to connect: host, port and whether to speak TLS. The one
/// decision behind BasicSocket::connectToHost(QUrl) and Socket::createSocket(QUrl), kept apart so
/// that it can be checked without opening a connection.
///
/// The port is the URL's own, else 80 for "http" and 443 for "https"; any other scheme without a
/// port has no target. The host is the URL's host, fully decoded; TLS exactly for "https".
/// A plain value; fromUrl is pure and thread-safe. It logs nothing: the callers log their own texts.
#include <zor/zor_export.h>

#include <QString>
#include <QUrl>

namespace zor {

struct ZOR_EXPORT UrlTarget {
    enum Result { OK, INVALID_URL, NO_PORT };

    Result result = INVALID_URL;
    QString host;
    unsigned short port = 0;
    bool ssl = false;
    int urlPort = -1;  ///< the URL's own port (-1 when it names none), for the NO_PORT log line

    bool isOK() const { return result == OK; }
    static UrlTarget fromUrl(const QUrl& url);
};

}  // namespace zor
