#include <zor/UrlTarget.h>

namespace zor {

UrlTarget UrlTarget::fromUrl(const QUrl& url) {
    UrlTarget t;
    if (!url.isValid()) return t;
    const QString scheme = url.scheme();
    t.urlPort = url.port(-1);
    t.ssl = scheme == QLatin1String("https");
    t.host = url.host(QUrl::FullyDecoded);
    if (t.urlPort >= 0 && t.urlPort <= 0xFFFF) {
        t.port = static_cast<unsigned short>(t.urlPort);
    } else if (scheme == QLatin1String("http")) {
        t.port = 80;
    } else if (t.ssl) {
        t.port = 443;
    } else {
        t.result = NO_PORT;
        return t;
    }
    t.result = OK;
    return t;
}

}  // namespace zor
