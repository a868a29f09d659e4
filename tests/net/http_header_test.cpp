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

TEST(HttpHeader, AVersionAloneIsScannedAsAResponseLine) {
    zortest::LogCapture cap;
    HttpHeader h;
    EXPECT_FALSE(h.fromString(QStringLiteral("HTTP/1.1\r\n\r\n")));
    cap.drain();
    EXPECT_EQ(cap.lastLines(3),
              "FirstLine::scanResponseLine - toks.size() < 2, we have 1 token|"
              "FirstLine::scanResponseLine - strLine 'HTTP/1.1'|"
              "HttpHeader::from_String_old - first line is not HTTP");
}

TEST(HttpHeader, FoldedLinesAndBlanksBeforeTheColonAreNoticed) {
    zortest::LogCapture cap;
    const char* const unsafe[] = {
        "GET / HTTP/1.1\r\nHost : x\r\n\r\n",
        "GET / HTTP/1.1\r\nHost\t: x\r\n\r\n",
        "GET / HTTP/1.1\r\nX-A: 1\r\n  folded on\r\n\r\n",
        "GET / HTTP/1.1\r\n\tHost: x\r\n\r\n",
        "GET / HTTP/1.1\r\n Host: x\r\nY: 2\r\n\r\n",
    };
    for (const char* text : unsafe) {
        HttpHeader h;
        HttpHeader plain;  // the same fields parsed by the record alone, line by line
        const bool parsed = h.fromString(QString::fromLatin1(text));
        EXPECT_TRUE(parsed) << text;
        EXPECT_TRUE(h.hasUnsafeFieldLine()) << text;
        for (const QString& line : QString::fromLatin1(text).split(QStringLiteral("\r\n")).mid(1))
            if (!line.isEmpty()) plain.addKeyVal(line);
        EXPECT_EQ(plain.getAttributes(), h.getAttributes()) << text;
        EXPECT_TRUE(plain.hasUnsafeFieldLine()) << text;
    }
    // The key keeps its blank, as it always did.
    HttpHeader h;
    ASSERT_TRUE(h.fromString(QStringLiteral("GET / HTTP/1.1\r\nHost : x\r\n\r\n")));
    EXPECT_EQ(h.getString(QStringLiteral("Host "), QString()), QStringLiteral("x"));
    EXPECT_TRUE(h.host().isEmpty());
    // Blanks inside or after a value, or inside a name, are no such lines; a new parse forgets.
    ASSERT_TRUE(h.fromString(QStringLiteral("GET / HTTP/1.1\r\nHost: x \r\nA-B C: d e\r\n\r\n")));
    EXPECT_FALSE(h.hasUnsafeFieldLine());
    ASSERT_TRUE(h.fromLatin1(QByteArray("HTTP/1.1 200 OK\r\nA:b\r\n\r\n")));
    EXPECT_FALSE(h.hasUnsafeFieldLine());
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
        ASSERT_TRUE(h.fromString(QStringLiteral("POST /p HTTP/1.1\r\n") + QString::fromLatin1(c.fields) +
                                 QStringLiteral("\r\n")))
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

TEST(HttpHeader, FieldsInAnyOrderRepeatsAndNearNames) {
    zortest::LogCapture cap;
    // Later values win and every repetition is noted in line order; names differing only in case,
    // or one character longer or shorter than a common name, are fields of their own.
    HttpHeader h;
    ASSERT_TRUE(
        h.fromString(QStringLiteral("GET / HTTP/1.1\r\nZ: 1\r\nHost: a\r\nB: 1\r\nhost: c\r\nHost: b\r\n"
                                    "B: 2\r\nHos: x\r\nHostt: y\r\nHost: d\r\nContent-Lengt: 9\r\n"
                                    "\xe9: hi\r\nZ: 2\r\n\r\n")));
    EXPECT_EQ(h.repeatedKeys(), (QStringList{"Host", "B", "Host", "Z"}));
    EXPECT_EQ(h.host(), QStringLiteral("d"));
    EXPECT_EQ(h.getString("host", ""), QStringLiteral("c"));
    EXPECT_EQ(h.getString("B", ""), QStringLiteral("2"));
    EXPECT_EQ(h.getString("Z", ""), QStringLiteral("2"));
    EXPECT_EQ(h.getString("Hos", ""), QStringLiteral("x"));
    EXPECT_EQ(h.getString("Hostt", ""), QStringLiteral("y"));
    EXPECT_FALSE(h.hasAmbiguousLength()) << "Content-Lengt is no length field";
    EXPECT_EQ(h.bodyLength(), 0);
    // Key order is UTF-16 order: upper case, lower case, then Latin-1 above 127.
    EXPECT_EQ(h.toLatin1CRLF(), QByteArray("GET / HTTP/1.1\r\nB: 2\r\nContent-Lengt: 9\r\nHos: x\r\nHost: d\r\n"
                                           "Hostt: y\r\nZ: 2\r\nhost: c\r\n\xe9: hi\r\n\r\n"));

    // A head longer than one batch of lines, with a key repeated across its parts, and single lines
    // added to a record that holds the key already.
    QByteArray many("POST / HTTP/1.1\r\n");
    for (int i = 0; i < 150; ++i) many += "K" + QByteArray::number(i % 100) + ": " + QByteArray::number(i) + "\r\n";
    many += "\r\n";
    HttpHeader m;
    ASSERT_TRUE(m.fromLatin1(many));
    EXPECT_EQ(m.countAttributes(), 100u);
    EXPECT_EQ(m.repeatedKeys().size(), 50);
    EXPECT_EQ(m.repeatedKeys().front(), QStringLiteral("K0"));
    EXPECT_EQ(m.repeatedKeys().back(), QStringLiteral("K49"));
    EXPECT_EQ(m.getString("K0", ""), QStringLiteral("100"));
    EXPECT_EQ(m.getString("K99", ""), QStringLiteral("99"));
    m.clearParseNotes();
    m.addKeyVal(QStringLiteral("K5: new"));
    m.addKeyVal(QStringLiteral("A5: first"));
    EXPECT_EQ(m.repeatedKeys(), QStringList{"K5"});
    EXPECT_EQ(m.getString("K5", ""), QStringLiteral("new"));
    EXPECT_EQ(m.firstKey(), QStringLiteral("A5"));

    // A length is compared as QString::trimmed text: every Latin-1 byte around the digits.
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        const QByteArray pad(1, static_cast<char>(b));
        HttpHeader l;
        ASSERT_TRUE(
            l.fromLatin1("POST / HTTP/1.1\r\nContent-Length: " + pad + "12" + pad + "\r\nContent-Length: 12\r\n\r\n"));
        const bool space = QString::fromLatin1(pad).trimmed().isEmpty();
        EXPECT_EQ(l.hasAmbiguousLength(), !space) << b;
        EXPECT_EQ(l.bodyLength(), space ? 12 : -1) << b;
    }
    HttpHeader zero;
    ASSERT_TRUE(zero.fromLatin1(QByteArray("POST / HTTP/1.1\r\nContent-Length: 012\r\ncontent-length: 12\r\n\r\n")));
    EXPECT_TRUE(zero.hasAmbiguousLength()) << "the same number written differently";
    ASSERT_TRUE(zero.fromLatin1(QByteArray("POST / HTTP/1.1\r\nContent-Length: 123456789012345678\r\n\r\n")));
    EXPECT_EQ(zero.bodyLength(), 123456789012345678LL);

    // Status codes of any width.
    const std::pair<const char*, unsigned int> codes[] = {
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.1 0200 OK", 200},
        {"HTTP/1.1 2x0 OK", 0},
        {"HTTP/1.1 999999999", 999999999},
        {"HTTP/1.1 4294967295", 4294967295u},
        {"HTTP/1.1 4294967296", 0},
    };
    for (const auto& c : codes) {
        FirstLine l(QString::fromLatin1(c.first));
        EXPECT_TRUE(l.scanResponseLine()) << c.first;
        EXPECT_EQ(l.getCode(), c.second) << c.first;
    }
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

TEST(FirstLine, CountAgreesWithTheSplitTokens) {
    zortest::LogCapture cap;
    const QString lines[] = {
        QString(),
        QStringLiteral(" \t "),
        QStringLiteral("GET"),
        QStringLiteral("\tGET  /a\t\tHTTP/1.1  "),
        QStringLiteral("HTTP/1.1 200"),
        QString::fromUtf8("GET /\xef\xbb\xbf HTTP/1.1"),                        // a byte-order mark token
        QStringLiteral("GET /") + QChar(0xD800) + QStringLiteral(" HTTP/1.1"),  // a lone surrogate
        QStringLiteral("a\nb c"),
    };
    for (const QString& text : lines) {
        FirstLine l(text);
        const unsigned int count = l.tokenCount();
        EXPECT_EQ(count, Tokenizer(text, QStringLiteral(" \t")).size()) << text.toStdString();
        EXPECT_EQ(l.tokens().size(), count) << text.toStdString();
        EXPECT_EQ(l.scanRequestLine(), count == 3) << text.toStdString();
    }
    FirstLine l(QStringLiteral("GET /one HTTP/1.1"));
    EXPECT_EQ(l.getResource(), QStringLiteral("/one"));
    l.setLine(QStringLiteral("POST /two HTTP/1.0"));  // the tokens follow a new line
    EXPECT_EQ(l.getResource(), QStringLiteral("/two"));
    EXPECT_TRUE(l.isHttp1());
    const FirstLine copy = l;
    EXPECT_EQ(copy.getRequestType(), FirstLine::POST);
    FirstLine status(QString::fromUtf8("HTTP/1.1 \xef\xbc\x92\xef\xbc\x90\xef\xbc\x90 wide"));  // full-width digits
    EXPECT_TRUE(status.scanResponseLine());
    EXPECT_EQ(status.getCode(), QString::fromUtf8("\xef\xbc\x92\xef\xbc\x90\xef\xbc\x90").toUInt());
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

TEST(HttpHeader, AParsedHeadReadsTheSameBeforeAndAfterItsRecordIsBuilt) {
    zortest::LogCapture cap;
    // A parse keeps the head's bytes until the record is needed; every way of reading it must see
    // what a head whose record was built at once (getAttributes right after the parse) holds.
    const QByteArray text(
        "GET /x?a=1 HTTP/1.1\r\nHost: a:81\r\nX-Dup: 1\r\nconnection: close\r\nCONNECTION: keep-alive\r\n"
        "Empty:\r\nX-Dup:  2\r\n\xe9t\xe9: \xff\r\n\r\n");
    HttpHeader built;
    ASSERT_TRUE(built.fromLatin1(text));
    const std::map<QString, QString> fields = built.getAttributes();
    ASSERT_EQ(fields.size(), 6u);
    const auto parsed = [&] {
        HttpHeader h;
        EXPECT_TRUE(h.fromLatin1(text));
        return h;
    };
    {
        HttpHeader h;
        ASSERT_TRUE(h.fromLatin1(text));
        for (const char* key :
             {"Host", "X-Dup", "connection", "CONNECTION", "Connection", "Empty", "\xe9t\xe9", "host", "", "Hos"}) {
            const QString k = QString::fromLatin1(key);
            EXPECT_EQ(h.getString(k, "def"), built.getString(k, "def")) << key;
            EXPECT_EQ(h.hasKey(k), built.hasKey(k)) << key;
            EXPECT_EQ(h.isString(k, built.getString(k, "")), built.hasKey(k)) << key;
            EXPECT_EQ(h.fieldNoCase(k, "none"), built.fieldNoCase(k, "none")) << key;
        }
        EXPECT_EQ(h.getString(QStringLiteral("X-Dup"), ""), QStringLiteral(" 2"));
        EXPECT_EQ(h.fieldNoCase(QStringLiteral("Connection")), QStringLiteral("keep-alive"))
            << "the smallest key first";
        EXPECT_EQ(h.getString(QString(QChar(0x1e9)) + "t\xe9", "no"), QStringLiteral("no")) << "not Latin-1";
        EXPECT_TRUE(h.hasAttributes());
        EXPECT_EQ(h.getPort(), 81u);
        EXPECT_EQ(h.getResource(), QStringLiteral("/x?a=1"));
        EXPECT_EQ(h.getAttributes(), fields);
    }
    EXPECT_EQ(parsed().toLatin1CRLF(), built.toLatin1CRLF());
    EXPECT_EQ(parsed().toString(), built.toString());
    EXPECT_EQ(parsed().keys(), built.keys());
    EXPECT_EQ(parsed().countAttributes(), 6u);
    EXPECT_EQ(parsed().repeatedKeys(), (QStringList{"X-Dup"}));
    // Copies and moves, also into a plain record, and a record copied over a pending head.
    const HttpHeader source = parsed();
    const XRecord sliced = parsed();
    EXPECT_EQ(sliced.getAttributes(), fields);
    HttpHeader moved(parsed());
    EXPECT_EQ(moved.getAttributes(), fields);
    XRecord assigned;
    assigned = parsed();
    EXPECT_EQ(assigned.getAttributes(), fields);
    HttpHeader over = parsed();
    static_cast<XRecord&>(over) = XRecord();
    EXPECT_TRUE(over.isEmpty());
    HttpHeader dest = parsed();
    source.copyAttributesTo(&dest);
    EXPECT_EQ(dest.getAttributes(), fields);
    HttpHeader target = parsed();
    XRecord other;
    other.setString("only", "1");
    other.copyAttributesTo(&target);
    EXPECT_EQ(target.keys(), std::vector<QString>{"only"});
    // Writes and a second parse go over the parsed fields as over stored ones.
    HttpHeader w = parsed();
    w.setString(QStringLiteral("Host"), QStringLiteral("b"));
    EXPECT_EQ(w.countAttributes(), 6u);
    EXPECT_EQ(w.getString(QStringLiteral("X-Dup"), ""), QStringLiteral(" 2"));
    HttpHeader twice = parsed();
    ASSERT_TRUE(twice.fromLatin1(QByteArray("GET / HTTP/1.1\r\nHost: c\r\nNew: 1\r\n\r\n")));
    EXPECT_EQ(twice.countAttributes(), 7u);
    EXPECT_EQ(twice.repeatedKeys(), QStringList{"Host"});
    EXPECT_EQ(twice.getString(QStringLiteral("Empty"), "x"), QString(""));
    HttpHeader cleared = parsed();
    cleared.clearParseNotes();
    EXPECT_TRUE(cleared.repeatedKeys().isEmpty());
    cleared.clear();
    EXPECT_TRUE(cleared.isEmpty());
    EXPECT_FALSE(cleared.hasKey(QStringLiteral("Host")));
    // A refused head keeps the fields before the refusal, pending or not.
    HttpHeader refused;
    EXPECT_FALSE(refused.fromLatin1(QByteArray("GET / HTTP/1.1\r\nA: 1\r\nB: 2\n\r\n")));
    EXPECT_EQ(refused.getString(QStringLiteral("A"), ""), QStringLiteral("1"));
    EXPECT_EQ(refused.keys(), std::vector<QString>{"A"});
}
