// zor lines: line, paragraph and encoding statistics of a text file, read through the line index
// over the mapped file, and a verdict on its UTF-8.
//
//   zor lines --file notes.txt [--max 4096] [--scan 67108864]
//
// Lines longer than --max bytes are wrapped into pieces at word boundaries; --scan bounds the
// bytes that the UTF-8 detector looks at. A missing file ends with 4, one that cannot be mapped
// with 5, bad numbers with 6; an empty file is a valid, empty text.
#include "Commands.h"

#include <zor/core.h>

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace zorapp {

using namespace zor;

namespace {

constexpr unsigned long long kMaxLine = 1ull << 30;

bool numberArg(const CommandLine& cmd, const char* key, unsigned long long def, unsigned long long lo,
               unsigned long long hi, unsigned long long& value) {
    value = def;
    if (!cmd.hasKey(QLatin1String(key))) return true;
    bool ok = false;
    value = cmd.getString(QLatin1String(key)).toULongLong(&ok);
    if (!ok || value < lo || value > hi) {
        logError("$, --$ must be a number from $ to $, not '$'", cmd.getCommand(), key, lo, hi,
                 cmd.getString(QLatin1String(key)));
        return false;
    }
    return true;
}

// Index progress on a terminal only: a pipe or a file gets the result lines alone.
void showProgress(std::uint64_t done, std::uint64_t total, void*) {
    if (total == 0) return;
    std::fprintf(stderr, "\rzor lines: indexing %3u%%", static_cast<unsigned>(done * 100 / total));
    if (done >= total) std::fputs("\r                         \r", stderr);
    std::fflush(stderr);
}

struct Endings {
    std::uint64_t lf = 0, crlf = 0, loneCr = 0, none = 0, empty = 0;
    std::uint64_t longest = 0;  // the longest file line, its pieces together
};

Endings countEndings(const XLineReaderDA& da) {
    Endings e;
    const std::vector<XLineInfo>& lines = da.lineInfos();
    std::uint64_t current = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const XLineInfo& li = lines[i];
        if (li.lenBytes == 0 && li.pieceIndex <= 0) ++e.empty;
        current += li.lenBytes;
        // Only the last record of a file line says how that line ended.
        if (i + 1 < lines.size() && lines[i + 1].lineIndex == li.lineIndex) continue;
        e.longest = std::max(e.longest, current);
        current = 0;
        if (li.endsWithLineFeed == 0) ++e.none;
        else if (li.lenTotal - li.lenBytes == 2) ++e.crlf;
        else ++e.lf;
    }
    // Carriage returns that are not part of a CRLF.
    const char* p = da.memBegin();
    const char* end = p + da.getMemorySize();
    std::uint64_t cr = 0;
    while (p < end) {
        const auto* q = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        if (q == nullptr) break;
        ++cr;
        p = q + 1;
    }
    e.loneCr = cr - e.crlf;
    return e;
}

QString verdict(const XLineReaderDA& da, const XUTF8_Detector& d, std::size_t scanned) {
    if (da.isBinaryContent()) return QStringLiteral("binary (control bytes in the first 1024)");
    const std::uint64_t inSequences =
        std::uint64_t(d.countAscii()) + 2ull * d.count2ByteEncodings() + 3ull * d.count3ByteEncodings() + 4ull * d.count4ByteEncodings();
    const char* zero = static_cast<const char*>(std::memchr(da.memBegin(), 0, scanned));
    if (zero != nullptr) return xformat("not UTF-8 text: a zero byte at $", static_cast<long long>(zero - da.memBegin()));
    // The detector's tally lets some ill-formed bytes pass (a sequence cut by an ASCII byte, code
    // points above U+10FFFF): the verdict rests on the strict check. A character that the end of
    // the scan cuts in two is looked at whole.
    const std::size_t lookAt = static_cast<std::size_t>(std::min<std::uint64_t>(da.getMemorySize(), scanned + 3ull));
    const std::size_t valid = XUTF8_Detector::validUtf8Prefix(da.memBegin(), lookAt);
    if (valid < scanned) {
        if (inSequences < scanned) {
            return xformat("not valid UTF-8: $ of $ bytes outside valid sequences",
                           format1000(static_cast<long long>(scanned - inSequences)),
                           format1000(static_cast<long long>(scanned)));
        }
        return xformat("not valid UTF-8: an ill-formed sequence at byte $", static_cast<unsigned long long>(valid));
    }
    QString v = d.getTheMostSignifcantType() == UTF_TYPE::ASCII_ENCODED && d.count_detected_characters() == d.countAscii()
                    ? QStringLiteral("valid UTF-8 (plain ASCII)")
                    : QStringLiteral("valid UTF-8");
    if (d.isBOM()) v += QStringLiteral(", with byte-order mark");
    if (scanned < da.getMemorySize()) v += xformat(" in the first $ bytes", format1000(static_cast<long long>(scanned)));
    return v;
}

}  // namespace

int runLines(const CommandLine& cmd) {
    startLogger(cmd);
    QString name;
    if (!requireKey(cmd, "file", name)) return finish(EXIT_ZOR_ARGUMENT);
    unsigned long long maxLine = 0, scan = 0;
    if (!numberArg(cmd, "max", 4096, 1, kMaxLine, maxLine) || !numberArg(cmd, "scan", 64ull << 20, 1, 1ull << 40, scan))
        return finish(EXIT_ZOR_ARGUMENT);
    if (!fileExists(name)) {
        logError("lines, no such file '$'$", name, dirExists(name) ? " (it is a directory)" : "");
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    if (getFileLength(name) == 0) {
        return finish(EXIT_ZOR_OK, xformat("'$': 0 bytes, 0 lines, 0 paragraphs\nverdict: empty", name));
    }
    XLineReaderDA da;
    if (::isatty(2) == 1 && getFileLength(name) > (256ll << 20)) da.setProgress(&showProgress, nullptr);
    if (!da.openFile(name, static_cast<std::size_t>(maxLine), true)) {
        logError("lines, cannot map '$'", name);
        return finish(EXIT_ZOR_IO);
    }
    const Endings e = countEndings(da);
    const std::size_t scanned = static_cast<std::size_t>(std::min<unsigned long long>(scan, da.getMemorySize()));
    const XUTF8_Detector d = da.detect_UTF8(scanned);
    std::uint64_t fileLines = 0, wrapped = 0;
    if (!da.lineInfos().empty()) fileLines = da.lineInfos().back().lineIndex + 1ull;
    for (const XLineInfo& li : da.lineInfos()) wrapped += li.pieceIndex > 0 ? 1 : 0;

    QStringList out;
    out << xformat("'$': $ bytes, $ lines, $ paragraphs, $ empty lines, longest line $ bytes", name,
                   format1000(static_cast<long long>(da.getMemorySize())), format1000(static_cast<long long>(fileLines)),
                   format1000(static_cast<long long>(da.countParagraphs())), format1000(static_cast<long long>(e.empty)),
                   format1000(static_cast<long long>(e.longest)));
    out << xformat("index: $ (max $ bytes a line, $ continued pieces$)", da.toString(true), maxLine, format1000(static_cast<long long>(wrapped)),
                   da.isWrappedUTF8Extended() ? ", some cut at CJK punctuation" : "");
    out << xformat("line endings: LF $, CRLF $, lone CR $, none at end $", e.lf, e.crlf, e.loneCr, e.none);
    out << xformat("encoding: $", d.toString());
    out << xformat("verdict: $", verdict(da, d, scanned));
    return finish(EXIT_ZOR_OK, out.join(QLatin1Char('\n')));
}

}  // namespace zorapp
