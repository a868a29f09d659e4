// URL handling of the socket clients on arbitrary text, with no connection made: the target
// decision (host, port, TLS) must be consistent with the URL, and the client factories must
// refuse what the decision refuses without touching the network.
#include <zor/Socket.h>
#include <zor/UrlTarget.h>

#include <QString>
#include <QUrl>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    for (QUrl::ParsingMode mode : {QUrl::TolerantMode, QUrl::StrictMode}) {
        const QUrl url(text, mode);
        const zor::UrlTarget t = zor::UrlTarget::fromUrl(url);
        if (!url.isValid()) {
            if (t.result != zor::UrlTarget::INVALID_URL) std::abort();
        } else if (t.result == zor::UrlTarget::OK) {
            const QString scheme = url.scheme();
            if (t.ssl != (scheme == QLatin1String("https"))) std::abort();
            if (url.port() >= 0) {
                if (t.port != url.port()) std::abort();
            } else if (!((scheme == QLatin1String("http") && t.port == 80) || (t.ssl && t.port == 443))) {
                std::abort();
            }
            if (t.host != url.host(QUrl::FullyDecoded)) std::abort();
        } else {
            if (t.result != zor::UrlTarget::NO_PORT) std::abort();
            if (url.port() >= 0 || url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) std::abort();
            // Refused before any socket is made.
            if (zor::Socket::createSocket(url) != nullptr) std::abort();
        }
        if (t.result == zor::UrlTarget::INVALID_URL && zor::Socket::createSocket(url) != nullptr) std::abort();
    }
    return 0;
}
