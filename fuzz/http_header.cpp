// HttpHeader on arbitrary bytes: the whole-head parse (bytes and text), the field-lines parse, the
// head-end search and every accessor. Besides memory safety it checks the stated round trip: a
// head that parsed renders to CR LF text that parses to the same fields and first line; and that a
// parsed head, whose record is built only when first needed, answers every lookup as the record
// built line by line does, before and after it is built.
#include <zor/HttpHeader.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const int n = static_cast<int>(size);

    const int end = zor::HttpHeader::headerEnd(bytes, n);
    if (end != -1 && (end < 2 || end > n)) std::abort();
    if (n > 7 && zor::HttpHeader::headerEnd(bytes, n, n / 2) != -1 && end == -1) std::abort();

    zor::HttpHeader h;
    const bool ok = h.fromLatin1(bytes, n);
    // Field lines given one by one to a fresh head: stored at once, the reference for every read.
    zor::HttpHeader single;
    const char* firstLf = static_cast<const char*>(std::memchr(bytes, '\n', size));
    if (firstLf != nullptr && std::memchr(bytes, '\r', static_cast<std::size_t>(firstLf - bytes)) != nullptr) {
        for (const char* line = firstLf + 1; line < bytes + n;) {
            const char* next = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(bytes + n - line)));
            if (next == nullptr) break;
            const char* cr = static_cast<const char*>(std::memchr(line, '\r', static_cast<std::size_t>(next - line)));
            if (cr == nullptr) break;  // the whole parse stops here too
            if (cr != line) single.addKeyVal(QString::fromLatin1(line, static_cast<int>(cr - line)));
            line = next + 1;
        }
        // Every stored key, the same key in other cases, and a few absent ones, looked up before
        // the record is built (first pass) and after (second pass).
        std::vector<QString> probes;
        for (const auto& kv : single.getAttributes()) {
            probes.push_back(kv.first);
            probes.push_back(kv.first.toLower());
            probes.push_back(kv.first.toUpper());
        }
        for (const char* k : {"Host", "Content-Length", "Connection", "", "\xe9"}) probes.push_back(QString::fromLatin1(k));
        const QString def = QStringLiteral("\x01none");
        for (int pass = 0; pass < 2; ++pass) {
            if (h.hasAttributes() != single.hasAttributes() || h.isEmpty() != single.isEmpty()) std::abort();
            for (const QString& k : probes) {
                if (h.getString(k, def) != single.getString(k, def) || h.hasKey(k) != single.hasKey(k) ||
                    h.hasAttribute(k) != single.hasAttribute(k) || h.fieldNoCase(k, def) != single.fieldNoCase(k, def) ||
                    h.isString(k, single.getString(k, def)) != single.isString(k, single.getString(k, def)))
                    std::abort();
            }
            if (h.bodyLength() != single.bodyLength() || h.hasAmbiguousLength() != single.hasAmbiguousLength() ||
                h.hasUnsafeFieldLine() != single.hasUnsafeFieldLine())
                std::abort();
            if (pass == 0) {
                // A plain record copied from the head must hold the same fields.
                const zor::XRecord copy = h;
                if (copy.getAttributes() != single.getAttributes()) std::abort();
            }
        }
    }
    (void)h.getHost();
    (void)h.getPort();
    (void)h.getResource();
    (void)h.firstLine().getRequestType();
    (void)h.firstLine().isHttp11();
    (void)h.isKeepAlive();
    (void)h.getContentLength();
    (void)h.bodyLength();
    (void)h.hasAmbiguousLength();
    (void)h.hasUnsafeFieldLine();
    (void)h.isUpgradeInsecureRequest();
    (void)h.fieldNoCase(QStringLiteral("content-length"));
    if (ok) {
        // Field lines given one by one to a fresh head store and notice the same as the whole parse.
        if (single.getAttributes() != h.getAttributes() || single.repeatedKeys() != h.repeatedKeys() ||
            single.hasAmbiguousLength() != h.hasAmbiguousLength() || single.bodyLength() != h.bodyLength() ||
            single.hasUnsafeFieldLine() != h.hasUnsafeFieldLine())
            std::abort();

        zor::HttpHeader back;
        if (!back.fromString(h.toStringCRLF())) std::abort();
        if (back.getAttributes() != h.getAttributes()) std::abort();
        if (back.firstLine().getLine() != h.firstLine().getLine()) std::abort();
        if (back.isRequest() != h.isRequest()) std::abort();
    }

    const QString text = QString::fromLatin1(bytes, n);
    zor::HttpHeader t;
    if (t.fromString(text) != ok) std::abort();  // the text and the byte paths agree
    if (t.hasUnsafeFieldLine() != h.hasUnsafeFieldLine()) std::abort();
    zor::HttpHeader fields;
    (void)fields.fromStringWithoutFirstLine(text);
    fields.setGetResource(text.left(200));
    (void)fields.toLatin1CRLF();
    return 0;
}
