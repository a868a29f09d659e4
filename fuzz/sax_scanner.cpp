// The XML scanner on arbitrary bytes, decoded as UTF-8 and, a second time, as Latin-1 (which is
// how a byte-order mark read byte by byte looks). Besides memory safety it checks what every
// consumer relies on: depths step by at most one level, names are made of name characters,
// reported texts are trimmed and not empty, keys are trimmed, values hold no quote, and a scan
// that succeeds ends at 100 percent.
#include <zor/SaxParser.h>

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

bool isTrimmed(const QString& s) { return s.isEmpty() || (!s.front().isSpace() && !s.back().isSpace()); }

class CheckingScanner : public zor::SaxParser {
public:
    int lastDepth = 0;
    long long events = 0;

    void inspectDefinition(const QString& text) override {
        if (!isTrimmed(text)) std::abort();
        ++events;
    }
    void inspectCommend(const QString&, int depth) override {
        if (depth < 0 || depth > lastDepth) std::abort();
        ++events;
    }
    void inspectText(const QString& text, int depth) override {
        if (text.isEmpty() || !isTrimmed(text) || depth != lastDepth) std::abort();
        ++events;
    }
    bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) override {
        if (depth < 1 || depth > lastDepth + 1 || tag.isEmpty()) std::abort();
        for (const QChar c : tag)
            if (!c.isLetterOrNumber() && c != '_' && c != '-' && c != ':') std::abort();
        for (const auto& kv : attributes) {
            if (!isTrimmed(kv.first)) std::abort();
            if (kv.second.contains('"') || kv.second.contains('\'')) std::abort();
        }
        lastDepth = depth;
        ++events;
        // Refuse now and then, so that the failure path runs too.
        return !tag.startsWith(QLatin1String("refuse"));
    }
};

void scan(const QString& text) {
    CheckingScanner s;
    s.setString(text);
    zor::XNode_Parse_Control ctl;
    const bool ok = s.parse(ctl);
    if (ok && ctl.percent.load() != 100) std::abort();
    const zor::AbstractSaxHelper::TextPosition pos = s.textPosition();
    if (pos.line < 1 || pos.column < 1) std::abort();
}

}  // namespace

// A byte-order mark makes the scanner print a notice on standard output; libFuzzer reports on
// standard error, so standard output goes to /dev/null instead of slowing every run down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    CheckingScanner s;
    s.set_QByteArray(QByteArray::fromRawData(bytes, static_cast<int>(size)));
    zor::XNode_Parse_Control ctl;
    (void)s.parse(ctl);
    scan(QString::fromLatin1(bytes, static_cast<int>(size)));
    return 0;
}
