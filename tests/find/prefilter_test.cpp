// The quick tests on raw bytes (canMatch, presence) and the search modes built on them, against
// the full evaluation: a quick answer may say "maybe", but it must never contradict find. Contents
// sit where a byte-level test could go wrong: a word at the start or end, at a line end with or
// without a carriage return, across a line end, inside a longer word, in other cases, beyond ASCII,
// in over-long lines, in binary and empty content, at page boundaries of mapped files.
#include <zor/XContentFilter.h>
#include <zor/XDirInfo.h>
#include <zor/XFilter.h>
#include <zor/XLineReaderDA.h>
#include <zor/XMem.h>

#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <mutex>
#include <set>

using namespace zor;
using namespace zor::find;

namespace {

constexpr auto F = XContentFilter::File;
constexpr auto P = XContentFilter::Paragraph;
constexpr auto S = XContentFilter::Sentence;

// 'Y' / 'N': presence is certain and find agrees; 'y' / 'n': presence says maybe, find answers.
char answer(const QByteArray& text, const char* query, XContentFilter::Scope scope, std::size_t maxLine,
            bool regex = false) {
    XContentFilter f;
    EXPECT_TRUE(f.createSymbols(QString::fromUtf8(query), regex)) << query;
    f.setScope(scope);
    XMem mem(text);
    XLineReaderDA reader(mem, maxLine, true);
    const bool found = !f.find(0, reader).isEmpty();
    XContentFilter first = f;
    first.setFirstResultOnly(true);
    EXPECT_EQ(!first.find(0, reader).isEmpty(), found) << query << " in " << text.constData();
    const std::size_t n = static_cast<std::size_t>(text.size());
    if (!f.canMatch(text.constData(), n, maxLine)) {
        EXPECT_FALSE(found) << query << " in " << text.constData();
    }
    switch (f.presence(text.constData(), n, maxLine)) {
        case XContentFilter::Presence::Yes:
            return found ? 'Y' : '!';
        case XContentFilter::Presence::No:
            return found ? '!' : 'N';
        default:
            return found ? 'y' : 'n';
    }
}

using Names = std::set<std::string>;

Names names(const std::vector<QString>& paths) {
    Names out;
    for (const QString& p : paths) out.insert(QFileInfo(p).fileName().toStdString());
    return out;
}

}  // namespace

TEST(QuickTest, AgreesWithFindAtTheEdges) {
    zortest::LogCapture cap;
    struct Case {
        QByteArray text;
        const char* query;
        XContentFilter::Scope scope;
        char want;
        std::size_t maxLine;
    };
    const QByteArray longLine = QByteArray(40, 'a') + " word " + QByteArray(40, 'b');
    const std::vector<Case> cases = {
        // Words at the edges of the content and of lines.
        {"word at start", "word{w}", F, 'Y', 64},
        {"ends with word", "word{w}", F, 'Y', 64},
        {"one\r\nword\r\n", "word{w}", F, 'Y', 64},
        {"sword\nword", "word{w}", F, 'Y', 64},
        {"a word\rb", "word{w}", F, 'N', 64},        // a lone carriage return is part of the line
        {"swordfish words", "word{w}", F, 'N', 64},  // in the bytes, not as a word
        {"a\nb", "a\nb", F, 'N', 64},                // across a line end
        {"word\r\nx", "word\r", F, 'N', 64},         // the carriage return before a line feed
        {"word\rx", "word\r", F, 'Y', 64},
        {"", "word", F, 'N', 64},
        // Case per the query's rules.
        {"Word WORD", "word", F, 'N', 64},
        {"Word WORD", "word{i}", F, 'Y', 64},
        {"xWORD", "WORD{i,w}", F, 'N', 64},
        {"o\xE2\x84\xAA", "ok{i}", F, 'y', 64},  // the Kelvin sign folds to k
        {"o\xE2\x84\xAA", "oa{i}", F, 'N', 64},
        {"\xC5\xBFo so", "SO{i,w}", F, 'y', 64},  // the long s
        // Beyond ASCII: exact texts by their bytes, caseless ones by find.
        {"caf\xC3\xA9 cr\xC3\xA8me", "caf\xC3\xA9{w}", F, 'Y', 64},
        {"caf\xC3\xA9s", "caf\xC3\xA9{w}", F, 'N', 64},
        {"caf\xC3\xA9", "CAF\xC3\x89{i}", F, 'y', 64},
        {"\xFFword", "word{w}", F, 'N', 64},
        {"\xE3\x80\x82word\xEF\xBC\x81", "word{w}", F, 'Y', 64},
        // Over-long lines are cut into records: decided by find in file scope, not per paragraph.
        {longLine, "word{w}", F, 'y', 16},
        {longLine, "word{w}", P, 'Y', 16},
        {"short word\n" + longLine, "word{w}", F, 'Y', 16},
        {QByteArray(40, 'x') + "word", "word{w}", F, 'n', 16},
        // Counts, NOT and AND in file scope.
        {"word\nword\n", "word{2}", F, 'Y', 64},
        {"word\nword\n", "word{3}", F, 'N', 64},
        {"alpha", "~beta", F, 'Y', 64},
        {"alpha beta", "alpha & ~beta", F, 'N', 64},
        {"alpha\nbeta", "alpha & beta", F, 'Y', 64},
        {"alpha\nbeta", "(gamma | beta) & ~delta", F, 'Y', 64},
        // Per paragraph and sentence: texts joined by "|" decide, the rest is bounded.
        {"alpha\nbeta", "alpha & beta", P, 'n', 64},
        {"alpha\ngamma", "alpha & beta", P, 'N', 64},
        {"alpha beta\nalpha", "alpha & ~(beta)", P, 'y', 64},  // a group under NOT
        {"gamma beta", "alpha | beta", P, 'Y', 64},
        {"gamma", "alpha | beta", P, 'N', 64},
        {"word\nword", "word{2}", P, 'n', 64},
        {"a b", "\" \"", P, 'y', 64},  // a text of blanks: blank units are passed over
        {"   \n", "\" \"", P, 'n', 64},
        {"x.word", "word{w}", S, 'Y', 64},
        {"One end.Two", "end.", S, 'y', 64},     // a sentence delimiter in the text
        {"One end.Two", "end.{w}", S, 'N', 64},  // a word never ends in a delimiter
        {"One end.Two", "end.T", S, 'n', 64},
        {"One. Two", "\"One. Two\"", S, 'n', 64},
        // Binary content and regular expressions are left to find.
        {QByteArray("bin\x01 word", 9), "word", F, 'y', 64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(answer(c.text, c.query, c.scope, c.maxLine), c.want)
            << c.query << " in '" << c.text.constData() << "', scope " << c.scope;
    EXPECT_EQ(answer("an error", "err\\w+", F, 64, true), 'y');
    // A filter that does not parse finds nothing, and says so.
    XContentFilter bad;
    EXPECT_FALSE(bad.createSymbols(QStringLiteral("(a"), false));
    EXPECT_EQ(bad.presence("a", 1, 64), XContentFilter::Presence::No);
}

TEST(QuickTest, NamesOnlyAndFullSearchAgreeOnFiles) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto put = [&dir](const QString& name, const QByteArray& bytes) { zortest::writeFile(dir.filePath(name), bytes); };
    put("small.txt", "the word here\n");
    put("start.txt", "word first");
    put("end.txt", "last is word");
    put("sword.txt", "swordfish\n");
    put("upper.txt", "a WORD\n");
    put("empty.txt", "");
    put("bin.dat", QByteArray("word\x01\x02", 6));
    put("sub/deep/nested.txt", "nested word\n");
    put(".hidden.txt", "word\n");
    // Files above the read limit are mapped: a word across a page boundary, a word ending at the
    // last byte of the last page, a file that only the bytes let in, a word in a line of 10,000
    // bytes that the reader cuts into pieces, and a file exactly at the limit.
    QByteArray filler;
    while (filler.size() < 100000) filler += "filler text line\n";
    QByteArray pageWord = filler.left(8189) + " word " + filler.mid(8195);
    put("page.txt", pageWord);
    QByteArray lastPage = filler.left(81920 - 5) + " word";
    ASSERT_EQ(lastPage.size(), 81920);
    put("last.txt", lastPage);
    put("swords.txt", filler + "swords\n");
    QByteArray wide;
    while (wide.size() < 5000) wide += "a ";
    put("wide.txt", filler + wide + "word " + wide + "\n");
    put("limit.txt", filler.left(65536 - 5) + " word");
    put("limit-none.txt", filler.left(65536));

    const Names withWord = {"small.txt", "start.txt", "end.txt",  "nested.txt",
                            "page.txt",  "last.txt",  "wide.txt", "limit.txt"};
    auto run = [&](XFilter& f, bool listApi, XFindStats* stats = nullptr) {
        std::mutex m;
        std::vector<QString> found;
        const XFilter::HitCallback onHit = [&](const XFilter::FileHit& h) {
            // A file decided on its bytes has no reader; any other one is open and indexed.
            if (h.reader != nullptr) {
                EXPECT_GT(h.reader->countLines(), 0u);
            } else {
                EXPECT_TRUE(f.namesOnly && h.layer->isEmpty());
            }
            std::lock_guard<std::mutex> lock(m);
            found.push_back(h.file->filePath());
        };
        XFindStats st;
        if (listApi) {
            XDirInfo scan;
            scan.reload = true;
            scan.scan_dir(dir.path());
            scan.setup_filtered_files(f.fileFilter, false);
            st = f.search(scan.get_view_filtered_files(), 2, onHit);
        } else {
            st = f.searchDir(dir.path(), 2, onHit);
        }
        if (stats != nullptr) *stats = st;
        return names(found);
    };

    // Once with the larger files mapped, once with every file read into the workers' buffers.
    for (const long long limit : {65536LL, 1LL << 20}) {
        SCOPED_TRACE(limit);
        XFilter f;
        f.readIntoBufferAtMost = limit;
        f.setContentFilter(XContentFilter(QStringLiteral("word{w}"), false));
        XFindStats full, listed;
        EXPECT_EQ(run(f, false, &full), withWord);
        EXPECT_EQ(run(f, true, &listed), withWord);
        // The counters do not depend on how the files were found.
        EXPECT_EQ(full.toString(), listed.toString());
        EXPECT_EQ(full.filesTotal.load(), 14u);
        EXPECT_EQ(full.files.load(), 8u);
        EXPECT_EQ(full.hits.load(), 8u);
        f.namesOnly = true;
        EXPECT_EQ(run(f, false), withWord);
        EXPECT_EQ(run(f, true), withWord);

        // Binary and hidden files when asked for; other cases per the query.
        f.skipBinary = false;
        f.hiddenFiles = true;
        Names more = withWord;
        more.insert("bin.dat");
        more.insert(".hidden.txt");
        EXPECT_EQ(run(f, false), more);
        f.namesOnly = false;
        EXPECT_EQ(run(f, false), more);
        f.setContentFilter(XContentFilter(QStringLiteral("WORD{i,w}"), false));
        more.insert("upper.txt");
        EXPECT_EQ(run(f, false), more);
        f.namesOnly = true;
        EXPECT_EQ(run(f, false), more);

        // Per paragraph, with a term that needs the index to decide.
        f.skipBinary = true;
        f.hiddenFiles = false;
        f.setContentFilter(XContentFilter(QStringLiteral("word{w} & ~filler"), false, XContentFilter::Paragraph));
        const Names alone = {"small.txt", "start.txt", "end.txt", "nested.txt", "wide.txt"};
        f.namesOnly = false;
        EXPECT_EQ(run(f, false), alone);
        f.namesOnly = true;
        EXPECT_EQ(run(f, false), alone);

        // Without a content filter every readable file counts; a file pattern selects during the walk.
        XFilter all;
        all.readIntoBufferAtMost = limit;
        all.fileFilter.setPattern(QStringLiteral("*/sub/*"), false);
        EXPECT_EQ(run(all, false), (Names{"nested.txt"}));
        all.namesOnly = true;
        EXPECT_EQ(run(all, false), (Names{"nested.txt"}));
    }
    EXPECT_TRUE(cap.linesStartingWith("XLineReaderDA").empty()) << cap.lastLines(4);
}

TEST(QuickTest, SearchDirProgressCancelAndMissingDirectories) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    for (int i = 0; i < 30; ++i)
        zortest::writeFile(dir.filePath(QStringLiteral("d%1/f%2.txt").arg(i % 3).arg(i)), "some word\n");
    XFilter f;
    f.setContentFilter(XContentFilter(QStringLiteral("word"), false));
    std::atomic<std::size_t> lastDone{0};
    f.progress = [&lastDone](std::size_t done, std::size_t total) {
        EXPECT_LE(done, total);
        std::size_t seen = lastDone.load();
        while (done > seen && !lastDone.compare_exchange_weak(seen, done)) {
        }
    };
    std::set<std::size_t> indexes;
    std::mutex m;
    const XFindStats st = f.searchDir(dir.path(), 3, [&](const XFilter::FileHit& h) {
        std::lock_guard<std::mutex> lock(m);
        indexes.insert(h.index);
    });
    EXPECT_EQ(st.files.load(), 30u);
    EXPECT_EQ(lastDone.load(), 30u);
    EXPECT_EQ(indexes.size(), 30u);
    EXPECT_EQ(*indexes.rbegin(), 29u) << "indexes number the files passed on";

    std::atomic<bool> cancel{true};
    EXPECT_EQ(f.searchDir(dir.path(), 2, nullptr, &cancel).filesTotal.load(), 0u);
    EXPECT_EQ(f.searchDir(dir.filePath("none"), 2, nullptr).filesTotal.load(), 0u);
    EXPECT_EQ(cap.linesStartingWith("XDirInfo::walk_files, cannot read directory").size(), 1) << cap.lastLines(5);
}
