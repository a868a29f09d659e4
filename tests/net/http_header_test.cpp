// HttpHeader, FirstLine and Mime: requests and responses parsed and rendered back, the line rules
// and their exact refusals, the field accessors' keys, what a server needs to refuse smuggling,
// and the end of a head found in pieces.
#include "support/CaptureAppender.h"

#include <zor/FirstLine.h>
#include <zor/HttpHeader.h>
#include <zor/Mime.h>

#include <gtest/gtest.h>

using namespace zor;

namespace {
const char* const kRequest = "GET /a HTTP/1.1\r\nHost: x:81\r\n\r\n";
}

TEST(HttpHeader, RequestsResponsesAndTheirWireForm) {
    zortest::LogCapture cap;
    HttpHeader req;
    ASSERT_TRUE(req.fromString(QString::fromLatin1(kRequest)));
    EXPECT_TRUE(req.isRequest());
    EXPECT_EQ(req.firstLine().getRequestType(), FirstLine::GET);
    EXPECT_EQ(req.getResource(), QStringLiteral("/a"));
    EXPECT_EQ(req.getHost(), QStringLiteral("x"));
    EXPECT_EQ(req.getPort(), 81u);
    EXPECT_TRUE(req.firstLine().isHttp11());
    EXPECT_FALSE(req.firstLine().isHttp1());
    EXPECT_EQ(req.toStringCRLF(), QString::fromLatin1(kRequest));

    HttpHeader resp;
    ASSERT_TRUE(resp.fromLatin1(QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")));
    EXPECT_FALSE(resp.isRequest());
    EXPECT_TRUE(resp.is404());
    EXPECT_EQ(resp.getContentLength(), 0u);

    HttpHeader ok(QStringLiteral("HTTP/1.0 200 OK"));
    ok.setString(QStringLiteral("A"), QStringLiteral("b"));
    EXPECT_EQ(ok.toStringCRLF(), QStringLiteral("HTTP/1.0 200 OK\r\nA: b\r\n\r\n"));
    EXPECT_EQ(ok.toLatin1CRLF(), QByteArray("HTTP/1.0 200 OK\r\nA: b\r\n\r\n"));
    // A string literal names a first line, not a request flag.
    EXPECT_EQ(HttpHeader("HTTP/1.0 200 OK").firstLine().getLine(), QStringLiteral("HTTP/1.0 200 OK"));
    EXPECT_EQ(HttpHeader(true).toStringCRLF(), QStringLiteral("\r\n"));

    HttpHeader made(201, QStringLiteral("Created"), 1);
    EXPECT_EQ(made.getCode(), 201u);
    made.setContenLen(12);
    made.setConnectionKeepAlive();
    made.setMime(QStringLiteral("text/plain"));
    EXPECT_TRUE(made.isKeepAlive());
    HttpHeader back;
    ASSERT_TRUE(back.fromString(made.toStringCRLF()));  // round trip
    EXPECT_EQ(back.getAttributes(), made.getAttributes());
    EXPECT_EQ(back.getCode(), 201u);
    EXPECT_EQ(back.getContentLength(), 12u);
    EXPECT_EQ(back.bodyLength(), 12);

    // Bytes above 127 pass through as Latin-1 both ways.
    HttpHeader latin;
    ASSERT_TRUE(latin.fromLatin1(QByteArray("GET / HTTP/1.0\r\nX: caf\xe9\r\n\r\n")));
    EXPECT_EQ(latin.getString(QStringLiteral("X"), QString()), QString::fromLatin1("caf\xe9"));
    EXPECT_EQ(latin.toLatin1CRLF(), QByteArray("GET / HTTP/1.0\r\nX: caf\xe9\r\n\r\n"));
}

TEST(HttpHeader, LineRulesAndRefusals) {
    zortest::LogCapture cap;
    HttpHeader lf;
    EXPECT_FALSE(lf.fromString(QStringLiteral("GET / HTTP/1.1\nHost: a\n\n")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("Header::from_String_old - strange1")));
    HttpHeader mixed;
    EXPECT_FALSE(mixed.fromString(QStringLiteral("GET / HTTP/1.1\r\nA: 1\r\nB: 2\n\r\n")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("Header::from_String_old - strange2")));
    EXPECT_EQ(mixed.getString(QStringLiteral("A"), QString()), QStringLiteral("1")) << "fields before the failure stay";
    for (const char* bad : {"", "\r\n", "\r\n\r\n", "GET\r\n\r\n", "GET / HTTP/1.1 extra\r\n\r\n", "HTTP\r\n\r\n"}) {
        HttpHeader h;
        cap.clear();
        EXPECT_FALSE(h.fromString(QString::fromLatin1(bad))) << bad;
        EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::from_String_old - first line is not HTTP")) ||
                    cap.containsText(QStringLiteral("Header::from_String_old - strange1")))
            << bad;
    }

    // At most one blank after the colon is dropped; empty keys and lines without a colon are not stored.
    HttpHeader h;
    ASSERT_TRUE(h.fromString(QStringLiteral("GET / HTTP/1.1\r\nA:v\r\nB: v\r\nC:  v\r\n:x\r\nnoColon\r\n\r\n\r\n")));
    EXPECT_EQ(h.getString(QStringLiteral("A"), QString()), QStringLiteral("v"));
    EXPECT_EQ(h.getString(QStringLiteral("B"), QString()), QStringLiteral("v"));
    EXPECT_EQ(h.getString(QStringLiteral("C"), QString()), QStringLiteral(" v"));
    EXPECT_EQ(h.countAttributes(), 3u);
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::addKeyVal, s.length:2, key.length == 0")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::addKeyVal, *p == 0, keyVal 'noColon'")));

    HttpHeader only;
    EXPECT_FALSE(only.fromStringWithoutFirstLine(QString()));
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::fromStringWithoutFirstLine, s == '' ")));
    EXPECT_TRUE(only.fromStringWithoutFirstLine(QStringLiteral("K: 1\r\n\r\nL: 2\r\ntrailing")));
    EXPECT_EQ(only.countAttributes(), 2u);

    // Lookups are exact: Cache-Control is not CACHE-CONTROL.
    HttpHeader cc;
    ASSERT_TRUE(cc.fromString(QStringLiteral("GET / HTTP/1.1\r\nCache-Control: no\r\n\r\n")));
    EXPECT_TRUE(cc.cacheControl().isEmpty());
    cc.setCacheControl(QStringLiteral("max-age=1"));
    EXPECT_TRUE(cc.toStringCRLF().contains(QStringLiteral("CACHE-CONTROL: max-age=1\r\n")));

    HttpHeader noPort;
    noPort.setHost(QStringLiteral("example"));
    cap.clear();
    EXPECT_EQ(noPort.getPort(), 80u);
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::getPort, standard, return 80")));
    noPort.setHost(QString());
    EXPECT_TRUE(noPort.getHost().isEmpty());
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::getHost, what ????, s ''")));
}

TEST(HttpHeader, RepeatedAndAmbiguousLengthFields) {
    zortest::LogCapture cap;
    struct Case {
        const char* fields;
        bool ambiguous;
        long long length;
    };
    const Case cases[] = {
        {"Content-Length: 5\r\n", false, 5},
        {"", false, 0},
        {"Content-Length: 5\r\nContent-Length: 5\r\n", false, 5},
        {"Content-Length: 5\r\ncontent-length: 6\r\n", true, -1},
        {"Content-Length: 5\r\nContent-Length: 6\r\n", true, -1},
        {"Content-Length: 5\r\nTransfer-Encoding: chunked\r\n", true, -1},
        {"transfer-encoding: chunked\r\nCONTENT-LENGTH: 5\r\n", true, -1},
        {"Content-Length: -1\r\n", true, -1},
        {"Content-Length: 1e3\r\n", true, -1},
        {"Content-Length: 99999999999999999999\r\n", true, -1},
        {"Transfer-Encoding: chunked\r\n", false, 0},
    };
    for (const Case& c : cases) {
        HttpHeader h;
        ASSERT_TRUE(h.fromString(QStringLiteral("POST /p HTTP/1.1\r\n") + QString::fromLatin1(c.fields) + QStringLiteral("\r\n")))
            << c.fields;
        EXPECT_EQ(h.hasAmbiguousLength(), c.ambiguous) << c.fields;
        EXPECT_EQ(h.bodyLength(), c.length) << c.fields;
    }
    HttpHeader rep;
    ASSERT_TRUE(rep.fromString(QStringLiteral("GET / HTTP/1.1\r\nHost: a\r\nX: 1\r\nHost: b\r\n\r\n")));
    EXPECT_EQ(rep.repeatedKeys(), QStringList{QStringLiteral("Host")});
    EXPECT_EQ(rep.host(), QStringLiteral("b")) << "the record keeps the last value";
    EXPECT_EQ(rep.fieldNoCase(QStringLiteral("HOST")), QStringLiteral("b"));
    // A new parse forgets what the previous one noticed; a key the record already held counts again.
    ASSERT_TRUE(rep.fromString(QStringLiteral("GET / HTTP/1.1\r\nX: 2\r\nY: 3\r\n\r\n")));
    EXPECT_EQ(rep.repeatedKeys(), QStringList{QStringLiteral("X")});
    rep.clearParseNotes();
    EXPECT_TRUE(rep.repeatedKeys().isEmpty());
}

TEST(HttpHeader, HeaderEndFoundInPieces) {
    const QByteArray whole(kRequest);
    EXPECT_EQ(HttpHeader::headerEnd(whole.constData(), whole.size()), whole.size());
    EXPECT_EQ(HttpHeader::headerEnd("a\n\nrest", 7), 3);
    EXPECT_EQ(HttpHeader::headerEnd("GET / HTTP/1.1\r\nA: b\r\n", 22), -1);
    EXPECT_EQ(HttpHeader::headerEnd("", 0), -1);
    EXPECT_EQ(HttpHeader::headerEnd("\n", 1), -1);
    // Fed one byte at a time with the search resumed where it stopped, the end is still found.
    int from = 0;
    int end = -1;
    for (int n = 1; n <= whole.size() && end < 0; ++n) {
        end = HttpHeader::headerEnd(whole.constData(), n, from);
        from = n;
    }
    EXPECT_EQ(end, whole.size());
}

TEST(HttpHeader, SetGetResourceAndShow) {
    zortest::LogCapture cap;
    HttpHeader h(true);
    h.setGetResource(QStringLiteral("example.org/a%20b"));
    EXPECT_EQ(h.firstLine().getLine(), QStringLiteral("GET /a b HTTP/1.1"));
    EXPECT_EQ(h.getString(QStringLiteral("HOST"), QString()), QStringLiteral("example.org"));
    HttpHeader s(true);
    s.setGetResource(QStringLiteral("https://example.org/"));
    EXPECT_TRUE(s.firstLine().isEmpty());
    EXPECT_TRUE(cap.containsText(QStringLiteral("HttpHeader::setGetResource - 'https' not supported yet!")));

    cap.clear();
    h.showContents();
    EXPECT_EQ(cap.texts(), (QStringList{QStringLiteral("HttpHeader"), QStringLiteral("<<<GET /a b HTTP/1.1>>>"),
                                        QStringLiteral("HOST: 'example.org'"), QStringLiteral("~Header")}));
    cap.clear();
    h.showContentsOnly(0, DEBUG);
    EXPECT_EQ(cap.texts().front(), QStringLiteral("Header [1]"));
}

TEST(FirstLine, TokensMethodsAndVersions) {
    zortest::LogCapture cap;
    FirstLine l(QStringLiteral("post\t/x  HTTP/2"));
    EXPECT_TRUE(l.scanRequestLine());
    EXPECT_EQ(l.getRequestType(), FirstLine::POST);
    EXPECT_TRUE(l.isHttp2());
    EXPECT_EQ(FirstLine(QStringLiteral("HEAD / HTTP/1.0")).getRequestType(), FirstLine::HEAD);
    EXPECT_EQ(FirstLine(QStringLiteral("DELETE / HTTP/1.0")).getRequestType(), FirstLine::NOT_SUPPORTED);
    EXPECT_TRUE(cap.containsText(QStringLiteral("::requestTypeFromString - type is 'DELETE'")));

    FirstLine two(QStringLiteral("GET /"));
    EXPECT_FALSE(two.scanRequestLine());
    EXPECT_TRUE(cap.containsText(QStringLiteral("FirstLine::scanRequestLine - toks.size() != 3, we have 2 token")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("first line 'GET /'")));
    EXPECT_EQ(two.getRequestType(), FirstLine::GET);
    EXPECT_TRUE(two.getResource().isEmpty());
    EXPECT_FALSE(two.isHttp11());
    EXPECT_TRUE(cap.containsText(QStringLiteral("FirstLine::isHttp11 - toks.size() != 3, we have 2 token")));

    FirstLine resp(QStringLiteral("HTTP/1.1 abc"));
    EXPECT_TRUE(resp.scanResponseLine());
    EXPECT_EQ(resp.getCode(), 0u);
    FirstLine one(QStringLiteral("HTTP/1.1"));
    EXPECT_FALSE(one.scanResponseLine());
    EXPECT_TRUE(cap.containsText(QStringLiteral("FirstLine::scanResponseLine - toks.size() < 2, we have 1 token")));

    FirstLine a;
    a.setAnswerCode(503);
    EXPECT_EQ(a.getLine(), QStringLiteral("HTTP/1.0 503 OK"));
    EXPECT_EQ(a.getCode(), 503u);
    EXPECT_TRUE(a.isRequest());
}

TEST(Mime, TableLookupsAndReverse) {
    Mime m;
    EXPECT_EQ(m[QStringLiteral("html")], QStringLiteral("text/html"));
    EXPECT_EQ(m.typeFor(QStringLiteral(".CSS")), QStringLiteral("text/html"));
    EXPECT_EQ(m.typeFor(QStringLiteral("svg")), QStringLiteral("application/octet-stream"));
    EXPECT_FALSE(m.knows(QStringLiteral("svg")));
    EXPECT_EQ(m.types().count(QStringLiteral("svg")), 0u) << "typeFor never inserts";
    EXPECT_EQ(m.mimeToExtension(QStringLiteral("image/jpeg")), QStringLiteral("jpeg"));
    EXPECT_EQ(m.mimeToExtension(QStringLiteral("text/html")), QStringLiteral("css"));
    EXPECT_TRUE(m.mimeToExtension(QStringLiteral("nope/nope")).isEmpty());
    m[QStringLiteral("new")];
    EXPECT_EQ(m.types().count(QStringLiteral("new")), 1u);
    EXPECT_EQ(m.typeFor(QStringLiteral("new")), m.defaultType());
}
