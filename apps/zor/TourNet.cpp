// The tour's HTTP section: a browser's request head parsed, a smuggling-shaped one noticed, an
// answer head built, and content types taken from file names.
#include "Commands.h"

#include <zor/core.h>

namespace zorapp {

using namespace zor;

void tourNet() {
    logInfo("==== HTTP heads and content types");
    HttpHeader request;
    request.fromString(QStringLiteral("GET /docs/a.html HTTP/1.1\r\nHost: example.org:8080\r\nConnection: keep-alive\r\n\r\n"));
    logInfo("Tour::net, request for '$' on $ port $, keep-alive:$", request.getResource(), request.getHost(),
            request.getPort(), request.isKeepAlive());
    HttpHeader sneaky;
    sneaky.fromString(QStringLiteral("POST / HTTP/1.1\r\nContent-Length: 4\r\ncontent-length: 40\r\n\r\n"));
    logInfo("Tour::net, two different lengths noticed: $ (a server answers 400)", sneaky.hasAmbiguousLength());
    HttpHeader answer(200, QStringLiteral("OK"), 1);
    answer.setMime(Mime().typeFor(QStringLiteral("html")));
    answer.setContenLen(1024);
    logInfo("Tour::net, answer head: $", answer.toStringCRLF().replace(QLatin1String("\r\n"), QLatin1String(" | ")));
    logInfo("Tour::net, photo.JPG is $, 'text/html; charset=utf-8' has subtype '$'",
            XMimeType::fromFile(QStringLiteral("photo.JPG")).toString(),
            XMimeType::fromString(QStringLiteral("text/html; charset=utf-8")).subType());
}

}  // namespace zorapp
