// zor find: searches the files of a directory (selected by wildcard patterns) with the content
// query language, per file, paragraph or sentence, or with a regular expression. Prints every hit
// line as "path:line: text" with the hits between "[[" and "]]" (in colour on a terminal), in the
// order of the sorted paths whatever thread found them, then the search counters; with --list true
// only the paths of the files with hits, in the same order. The directory is walked while the
// files found so far are searched. Ends with 0 when something was found, 1 when nothing was, and
// the parsing code with the syntax check's text for a bad query.
#include "Commands.h"

#include <zor/core.h>

#include <unistd.h>
#include <QElapsedTimer>
#include <mutex>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>

namespace zorapp {

using namespace zor;
using namespace zor::find;

namespace {

// Longer lines are shown around their hits only.
constexpr std::uint64_t kShowWhole = 1000;
constexpr std::uint64_t kContext = 100;

struct Markers {
    const char* open;
    const char* close;
};

// A hit range of one file line, merged with the ranges it overlaps.
struct Range {
    std::uint64_t a;
    std::uint64_t b;
};

// The index of the record holding byte pos (records are sorted by position).
std::size_t recordAt(const std::vector<XLineInfo>& recs, std::uint64_t pos) {
    auto it = std::upper_bound(recs.begin(), recs.end(), pos,
                               [](std::uint64_t p, const XLineInfo& li) { return p < li.posMemory; });
    return it == recs.begin() ? 0 : static_cast<std::size_t>(it - recs.begin() - 1);
}

// The bytes [a, b) of the file shown as text: control characters become blanks so that one hit
// stays one output line.
void appendText(QByteArray& out, const char* p, std::uint64_t a, std::uint64_t b) {
    const int from = out.size();
    out.append(p + a, static_cast<int>(b - a));
    char* d = out.data() + from;
    for (std::uint64_t i = 0; i < b - a; ++i)
        if (static_cast<unsigned char>(d[i]) < 32 && d[i] != '\t') d[i] = ' ';
}

// The output lines of one file with hits.
QByteArray formatFile(const XFilter::FileHit& hit, const QString& shownPath, const Markers& mk) {
    const XLineReaderDA& reader = *hit.reader;
    const std::vector<XLineInfo>& recs = reader.lineInfos();
    const char* p = reader.memBegin();
    const std::uint64_t size = reader.getMemorySize();
    QByteArray out;
    if (recs.empty() || p == nullptr) return out;

    // The marks by file line: search results are marked, a NOT mark shows its unit's first line.
    std::map<std::uint32_t, std::vector<Range>> lines;
    for (const XRam& m : *hit.layer) {
        if (!m.isValid() || static_cast<std::uint64_t>(m.start) >= size) continue;
        const std::uint32_t line = recs[recordAt(recs, static_cast<std::uint64_t>(m.start))].lineIndex;
        std::vector<Range>& r = lines[line];
        if (m.is_search_result()) r.push_back(Range{static_cast<std::uint64_t>(m.start), static_cast<std::uint64_t>(m.end)});
    }
    const QByteArray path = shownPath.toUtf8();
    for (auto& kv : lines) {
        // The file line: every record with that line number.
        std::vector<Range>& ranges = kv.second;
        const XLineInfo* first = nullptr;
        const XLineInfo* last = nullptr;
        auto it = std::lower_bound(recs.begin(), recs.end(), kv.first,
                                   [](const XLineInfo& li, std::uint32_t l) { return li.lineIndex < l; });
        for (; it != recs.end() && it->lineIndex == kv.first; ++it) {
            if (first == nullptr) first = &*it;
            last = &*it;
        }
        if (first == nullptr) continue;
        const std::uint64_t lineA = first->posMemory;
        const std::uint64_t lineB = std::min<std::uint64_t>(last->posEnd(), size);
        std::sort(ranges.begin(), ranges.end(), [](const Range& x, const Range& y) { return x.a < y.a; });
        std::vector<Range> merged;
        for (const Range& r : ranges) {
            const Range c{std::max(r.a, lineA), std::min(r.b, lineB)};
            if (c.b <= c.a) continue;
            if (!merged.empty() && c.a <= merged.back().b) merged.back().b = std::max(merged.back().b, c.b);
            else merged.push_back(c);
        }
        std::uint64_t showA = lineA;
        std::uint64_t showB = lineB;
        if (lineB - lineA > kShowWhole) {
            const std::uint64_t from = merged.empty() ? lineA : merged.front().a;
            showA = from > lineA + kContext ? from - kContext : lineA;
            showB = std::min(lineB, std::max(showA + kShowWhole, merged.empty() ? showA : merged.front().b + kContext));
            // Keep whole UTF-8 characters at the cut ends.
            while (showA > lineA && (static_cast<unsigned char>(p[showA]) & 0xC0) == 0x80) --showA;
            while (showB < lineB && (static_cast<unsigned char>(p[showB]) & 0xC0) == 0x80) ++showB;
        }
        out += path;
        out += ':' + QByteArray::number(kv.first + 1) + ": ";
        if (showA > lineA) out += "...";
        std::uint64_t at = showA;
        for (const Range& r : merged) {
            if (r.a >= showB) break;
            if (r.b <= showA) continue;
            const std::uint64_t a = std::max(r.a, showA);
            const std::uint64_t b = std::min(r.b, showB);
            appendText(out, p, at, a);
            out += mk.open;
            appendText(out, p, a, b);
            out += mk.close;
            at = b;
        }
        appendText(out, p, at, showB);
        if (showB < lineB) out += "...";
        out += '\n';
    }
    return out;
}

bool parseScope(const QString& text, XContentFilter::Scope& scope) {
    const QString s = text.toLower();
    if (s.isEmpty() || s == QLatin1String("file")) scope = XContentFilter::File;
    else if (s == QLatin1String("paragraph")) scope = XContentFilter::Paragraph;
    else if (s == QLatin1String("sentence")) scope = XContentFilter::Sentence;
    else return false;
    return true;
}

}  // namespace

int runFind(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString dir;
    QString query;
    if (!requireKey(cmd, "dir", dir) || !requireKey(cmd, "query", query)) return finish(EXIT_ZOR_ARGUMENT);
    if (!dirExists(dir)) {
        logError("find, no such directory '$'", dir);
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    XContentFilter::Scope scope = XContentFilter::File;
    if (!parseScope(cmd.getString(QStringLiteral("scope")), scope)) {
        logError("find, unknown scope '$' (file, paragraph or sentence)", cmd.getString(QStringLiteral("scope")));
        return finish(EXIT_ZOR_ARGUMENT);
    }
    XContentFilter content;
    if (!content.createSymbols(query, cmd.isBool(QStringLiteral("regex"), false))) return finish(EXIT_ZOR_PARSING);
    content.setScope(scope);
    if (!content.isValid()) {
        logError("find, the query '$' has nothing to find", query);
        return finish(EXIT_ZOR_PARSING);
    }

    XFilter filter;
    filter.fileFilter.setPattern(cmd.getString(QStringLiteral("files")), false);
    filter.fileFilter.setPattern(cmd.getString(QStringLiteral("not")), true);
    filter.setContentFilter(content);
    filter.skipBinary = !cmd.isBool(QStringLiteral("binary"), false);

    const bool list = cmd.isBool(QStringLiteral("list"), false);
    filter.namesOnly = list;
    const bool tty = isatty(STDERR_FILENO) != 0;
    const bool colour = isatty(STDOUT_FILENO) != 0;
    const Markers mk = colour ? Markers{"\033[1;31m", "\033[0m"} : Markers{"[[", "]]"};
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> lastShown{0};
    std::atomic<bool> shown{false};
    if (tty)
        filter.progress = [&clock, &lastShown, &shown](std::size_t done, std::size_t found) {
            const qint64 now = clock.elapsed();
            qint64 before = lastShown.load();
            if (now - before < 200 || !lastShown.compare_exchange_strong(before, now)) return;
            std::fprintf(stderr, "\rsearching %zu/%zu files", done, found);
            std::fflush(stderr);
            shown = true;
        };

    // Files finish in any order: their lines are formatted on the worker thread while the mapping
    // is open, and printed in path order at the end.
    std::mutex outMutex;
    std::map<QString, QByteArray> all;
    const QString base = QDir(dir).absolutePath();
    const XFilter::HitCallback collect = [&](const XFilter::FileHit& hit) {
        const QString path = hit.file->filePath();
        QString shownPath = path;
        if (shownPath.startsWith(base + QLatin1Char('/')))
            shownPath = QDir(dir).filePath(shownPath.mid(base.size() + 1));
        QByteArray text = list ? shownPath.toUtf8() + '\n' : formatFile(hit, shownPath, mk);
        std::lock_guard<std::mutex> lock(outMutex);
        all[path] = std::move(text);
    };
    const int threads = cmd.getInt(QStringLiteral("threads"), QThread::idealThreadCount());
    unsigned long long binary = 0;
    const XFindStats stats = filter.searchDir(dir, threads, collect, nullptr, &binary);
    if (shown.load()) std::fprintf(stderr, "\r\033[K");
    for (const auto& kv : all)
        std::fwrite(kv.second.constData(), 1, static_cast<std::size_t>(kv.second.size()), stdout);
    QString summary = stats.toString();
    if (binary > 0) summary += xformat(", binary files skipped:$", binary);
    if (!list && cmd.isBool(QStringLiteral("summary"), true)) std::printf("%s\n", qPrintable(summary));
    std::fflush(stdout);
    return finish(stats.files.load() > 0 ? EXIT_ZOR_OK : EXIT_ZOR_GENERAL_FAILURE);
}

}  // namespace zorapp
