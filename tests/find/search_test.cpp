#include <zor/XContentFilter.h>
#include <zor/XFilter.h>
#include <zor/XLineInfo.h>
#include <zor/XLineReaderDA.h>
#include <zor/XMem.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <mutex>
#include <QStringList>
#include <QTemporaryDir>
#include <map>

using namespace zor;
using namespace zor::find;

namespace {

// "start-end" per mark, a NOT mark with a trailing "!".
std::string marksOf(const XRamLayer& l) {
    QStringList out;
    for (const XRam& m : l)
        out << QStringLiteral("%1-%2%3").arg(m.start).arg(m.end).arg(m.is_search_result_NOT() ? QStringLiteral("!") : QString());
    return out.join(QLatin1Char(' ')).toStdString();
}

XRamLayer run(const QByteArray& text, const char* query, XContentFilter::Scope scope, bool regex = false,
              std::size_t maxLine = 4096) {
    XMem mem(text);
    XLineReaderDA reader(mem, maxLine, true);
    XContentFilter f;
    EXPECT_TRUE(f.createSymbols(QString::fromUtf8(query), regex)) << query;
    f.setScope(scope);
    return f.find(0, reader);
}

constexpr auto F = XContentFilter::File;
constexpr auto P = XContentFilter::Paragraph;
constexpr auto S = XContentFilter::Sentence;

// Line 0 at 0 (26 bytes, two sentences), line 1 at 27, an empty line at 38, line 3 at 39.
const QByteArray kText("error here. warning there.\nonly error\n\nWarning: Error{x} errors\n");

class SentenceProbe : public XContentFilter {
public:
    using XContentFilter::create_sentences_from_paragraph;
    using XContentFilter::find_in_paragraph;
};

}  // namespace

TEST(ContentSearch, TermsModifiersAndCountsAtEachScope) {
    EXPECT_EQ(marksOf(run(kText, "error", F)), "0-5 32-37 57-62");
    EXPECT_EQ(marksOf(run(kText, "error", P)), "0-5 32-37 57-62");
    EXPECT_EQ(marksOf(run(kText, "error", S)), "0-5 32-37 57-62");
    // Whole words: "errors" does not count; "Error{" does, as "{" is a delimiter.
    EXPECT_EQ(marksOf(run(kText, "error{w}", F)), "0-5 32-37");
    EXPECT_EQ(marksOf(run(kText, "error{i}", P)), "0-5 32-37 48-53 57-62");
    EXPECT_EQ(marksOf(run(kText, "error{i,w}", S)), "0-5 32-37 48-53");
    // A minimum count: per unit no paragraph has three; the file has four and stops at three.
    EXPECT_EQ(marksOf(run(kText, "error{i,3}", P)), "");
    EXPECT_EQ(marksOf(run(kText, "error{i,2}", P)), "48-53 57-62");
    EXPECT_EQ(marksOf(run(kText, "error{i,3}", F)), "0-5 32-37 48-53");
    EXPECT_EQ(marksOf(run(kText, "error{i,5}", F)), "");
    // Overlapping occurrences all count.
    EXPECT_EQ(marksOf(run("aaaa", "aa", P)), "0-2 1-3 2-4");
    // A phrase in quotes.
    EXPECT_EQ(marksOf(run(kText, "\"here. warning\"", P)), "6-19");
    EXPECT_EQ(marksOf(run(kText, "\"here. warning\"", S)), "");  // crosses a sentence end
    EXPECT_EQ(marksOf(run(kText, "nothing", F)), "");
}

TEST(ContentSearch, OperatorsBracketsAndNotMarks) {
    // AND with NOT per paragraph: the first paragraph holds warning; the NOT marks span the unit.
    EXPECT_EQ(marksOf(run(kText, "error & ~warning", P)), "32-37 27-37! 57-62 39-63!");
    // Per sentence the first sentence of line 0 qualifies, the second has no error.
    EXPECT_EQ(marksOf(run(kText, "error & ~warning", S)), "0-5 0-11! 32-37 27-37! 57-62 39-63!");
    // Over the whole file warning occurs: nothing.
    EXPECT_EQ(marksOf(run(kText, "error & ~warning", F)), "");
    EXPECT_EQ(marksOf(run(kText, "~warning", F)), "");
    EXPECT_EQ(marksOf(run(kText, "~absent", F)), "0-64!");
    // NOT alone over a paragraph that lacks the word: one mark of category 11 over the paragraph.
    const XRamLayer notOnly = run(kText, "~warning", P);
    EXPECT_EQ(marksOf(notOnly), "27-37! 39-63!");
    EXPECT_TRUE(notOnly.at(0).is_category(XRam::CATEGORY_SEARCH_RESULT_NOT));
    // OR: the first term's hits stand; the second is looked at only when the first has none.
    EXPECT_EQ(marksOf(run(kText, "warning | error", P)), "12-19 32-37 57-62");
    EXPECT_EQ(marksOf(run(kText, "error & warning", P)), "0-5 12-19");
    EXPECT_EQ(marksOf(run(kText, "error & warning", F)), "0-5 32-37 57-62 12-19");
    // A failed group is an empty term: the OR after it still counts.
    EXPECT_EQ(marksOf(run(kText, "(error & warning) | only", P)), "0-5 12-19 27-31");
    EXPECT_EQ(marksOf(run(kText, "only | (Warning & Error)", P)), "27-31 39-46 48-53");
    EXPECT_EQ(marksOf(run(kText, "error & ~(warning | Warning)", P)), "32-37 27-37!");
    EXPECT_EQ(marksOf(run(kText, "((error)) & ((~(here)))", S)), "32-37 27-37! 57-62 39-63!");
    // Stray brackets and operators do not crash and give a stable answer.
    EXPECT_EQ(marksOf(run(kText, ") error (", P)), "");
    EXPECT_EQ(marksOf(run(kText, "& error", P)), "");
    EXPECT_EQ(marksOf(run(kText, "error |", P)), "0-5 32-37 57-62");
    EXPECT_EQ(marksOf(run(kText, "~ ~ error", P)), "");
}

TEST(ContentSearch, Utf8ByteOffsetsAndBadBytes) {
    // A hit after one two-byte character starts two bytes after the unit start.
    EXPECT_EQ(marksOf(run("x\n\xC3\xA9" "error", "error", P)), "4-9");
    EXPECT_EQ(marksOf(run("x\n\xC3\xA9" "error", "ERROR{i}", P)), "4-9");
    // Three- and four-byte characters before the hit, caseless (decoded) and exact (bytes).
    const QByteArray wide("\xE2\x82\xAC\xF0\x9F\x98\x80 \xC3\x89T\xC3\x89 \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(marksOf(run(wide, "\xC3\xA9t\xC3\xA9{i}", F)), "8-13 14-19");
    EXPECT_EQ(marksOf(run(wide, "\xC3\xA9t\xC3\xA9", F)), "14-19");
    EXPECT_EQ(marksOf(run(wide, "\xC3\xA9t\xC3\xA9{i,w}", S)), "8-13 14-19");
    // The Kelvin sign and the long s fold to ASCII letters: a caseless ASCII text finds them too.
    EXPECT_EQ(marksOf(run("o\xE2\x84\xAA ok OK", "OK{i}", P)), "0-2 5-7 8-10");
    EXPECT_EQ(marksOf(run("\xC5\xBFo so", "SO{i,w}", P)), "0-2 4-6");
    EXPECT_EQ(marksOf(run("Rock rOCK", "rock{i}", F)), "0-4 5-9");
    // Invalid bytes keep their places: each counts as one character, offsets stay the file's.
    EXPECT_EQ(marksOf(run("\xFF\xFE" "error", "ERROR{i}", P)), "2-7");
    EXPECT_EQ(marksOf(run("\xC3(error \xE2\x82 error", "error{i}", F)), "2-7 11-16");
    EXPECT_EQ(marksOf(run("\xC3(error \xE2\x82 error", "error{w}", P)), "2-7 11-16");
    // Full-width punctuation ends sentences and bounds words.
    const QByteArray cjk("\xE4\xBD\xA0\xE3\x80\x82" "ok\xEF\xBC\x81" "ok");
    EXPECT_EQ(marksOf(run(cjk, "ok{w}", S)), "6-8 11-13");
    EXPECT_EQ(marksOf(run(cjk, "~ok", S)), "0-6!");
    // The regular-expression mode marks every match; empty matches mark nothing.
    EXPECT_EQ(marksOf(run(kText, "err\\w+", P, true)), "0-5 32-37 57-63");
    EXPECT_EQ(marksOf(run(kText, "e\\w*?\\.", S, true)), "7-11 22-26");
    EXPECT_EQ(marksOf(run(kText, "x*", F, true)), "54-55");
    EXPECT_EQ(marksOf(run(wide, "\xC3\x89.", P, true)), "8-11 11-14");
    EXPECT_EQ(marksOf(run(kText, "here\\. w", S, true)), "");  // no match across sentences
}

TEST(ContentSearch, BinaryLongLinesAndHelpers) {
    zortest::LogCapture cap;
    // Binary content is searched in its shown form ('.' for control and high bytes).
    const XRamLayer bin = run(QByteArray("abc\x01" "def error\n", 14), "error", F);
    EXPECT_TRUE(bin.is_binary_file());
    EXPECT_EQ(marksOf(bin), "8-13");
    EXPECT_EQ(marksOf(run(QByteArray("ab\x01\x02" "cd", 6), "b..c", P)), "1-5");

    // One long line cut into pieces: a hit per piece in file scope, per paragraph the whole line.
    QByteArray longLine;
    for (int i = 0; i < 20000; ++i) longLine += "word ";
    longLine += "needle";
    const int at = 20000 * 5;
    EXPECT_EQ(marksOf(run(longLine, "needle{w}", F, false, 512)), QStringLiteral("%1-%2").arg(at).arg(at + 6).toStdString());
    EXPECT_EQ(marksOf(run(longLine, "needle & ~hay", P, false, 512)),
              QStringLiteral("%1-%2 0-%2!").arg(at).arg(at + 6).toStdString());
    // A word without delimiters longer than a piece: each piece is searched on its own.
    const QByteArray run1(3000, 'x');
    EXPECT_EQ(run(run1, "xx", F, false, 1024).size(), 2997);

    // Many hits are capped per file with one warning.
    const QByteArray many(XContentFilter::maxMarksPerFile + 10, 'a');
    EXPECT_EQ(static_cast<std::size_t>(run(many, "a", P).size()), XContentFilter::maxMarksPerFile);
    EXPECT_EQ(cap.linesStartingWith("XContentFilter::find, more than").size(), 1);

    // An invalid filter finds nothing; the rest of the query machinery is not touched.
    XMem mem(kText);
    XLineReaderDA reader(mem, 4096, true);
    XContentFilter bad;
    EXPECT_FALSE(bad.createSymbols(QStringLiteral("a b"), false));
    EXPECT_TRUE(bad.find(0, reader).isEmpty());

    // Sentences: each ends after its delimiter, the rest forms a last one.
    XLineInfo para(100, 0, 0, 3, -1, false);
    const auto sentences = SentenceProbe::create_sentences_from_paragraph(para, QString::fromUtf8("A. B\xE3\x80\x82 c"));
    ASSERT_EQ(sentences.size(), 3u);
    EXPECT_EQ(sentences[0].posMemory, 100u);
    EXPECT_EQ(sentences[0].lenBytes, 2u);
    EXPECT_EQ(sentences[1].posMemory, 102u);
    EXPECT_EQ(sentences[1].lenBytes, 5u);
    EXPECT_EQ(sentences[2].lenBytes, 2u);
    EXPECT_EQ(sentences[2].lineIndex, 3u);
    SentenceProbe probe;
    ASSERT_TRUE(probe.createSymbols(QStringLiteral("b & ~z"), false));
    EXPECT_EQ(marksOf(probe.find_in_paragraph(0, para, QString::fromUtf8("\xC3\xA9 b"))), "103-104 100-104!");
}

TEST(ContentSearch, ParallelSearchOverFiles) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&dir](const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return QFileInfo(f.fileName());
    };
    std::vector<QFileInfo> infos;
    for (int i = 0; i < 40; ++i)
        infos.push_back(write(QStringLiteral("f%1.txt").arg(i), i % 4 == 0 ? QByteArray("an error\nand more\n")
                                                                         : QByteArray("all fine\n")));
    infos.push_back(write("empty.txt", QByteArray()));
    infos.push_back(write("bin.dat", QByteArray("error\x01\x02", 7)));
    infos.push_back(write("vanished.txt", QByteArray("error\n")));  // listed, then gone
    EXPECT_EQ(infos.back().size(), 6);
    ASSERT_TRUE(QFile::remove(infos.back().absoluteFilePath()));
    std::vector<const QFileInfo*> files;
    for (const QFileInfo& fi : infos) files.push_back(&fi);

    XFilter filter;
    filter.setContentFilter(XContentFilter(QStringLiteral("error & ~warning"), false, XContentFilter::Paragraph));
    EXPECT_TRUE(filter.isValid());
    EXPECT_EQ(filter.toString(), "file: \"" + XFileFilter().toString() + "\", content: \"scope:Paragraph, pattern 'error & ~warning'\"");
    std::mutex m;
    std::map<std::size_t, std::string> hits;
    unsigned long long binary = 0;
    const XFindStats st = filter.search(files, 3, [&](const XFilter::FileHit& h) {
        std::lock_guard<std::mutex> lock(m);
        hits[h.index] = marksOf(*h.layer) + " " + h.reader->lineAt(0).toStdString();
    }, nullptr, &binary);
    ASSERT_EQ(hits.size(), 10u);
    for (const auto& kv : hits) {
        EXPECT_EQ(kv.first % 4, 0u);
        EXPECT_EQ(kv.second, "3-8 0-8! an error");
    }
    EXPECT_EQ(st.filesTotal.load(), 43u);
    EXPECT_EQ(st.files.load(), 10u);
    EXPECT_EQ(st.hits.load(), 20u);
    EXPECT_EQ(binary, 1u);
    EXPECT_EQ(st.lines.load(), 20u);  // only files that could match were indexed
    EXPECT_EQ(cap.linesStartingWith("XLineReaderDA::open").size(), 1) << cap.lastLines(4);

    // With binary files searched and a cancel flag already set.
    filter.skipBinary = false;
    std::atomic<bool> cancel{true};
    EXPECT_EQ(filter.search(files, 2, nullptr, &cancel).filesTotal.load(), 0u);
    cancel = false;
    EXPECT_EQ(filter.search(files, 1, nullptr, &cancel).files.load(), 11u);

    // An invalid content filter searches nothing, with one line.
    XFilter bad;
    bad.setContentFilter(XContentFilter(QStringLiteral("(a"), false));
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.search(files, 2, nullptr).filesTotal.load(), 0u);
    EXPECT_TRUE(cap.containsText("XFilter::search, the content filter is not valid: scope:File, pattern '(a'"));
}

TEST(ContentSearch, ByteSearchAgreesWithNaiveCountAtEveryLength) {
    // Texts over a small alphabet put candidates at every place: the edges of the 16- and 32-byte
    // blocks, the tail, the last possible start; caseless texts see both cases of each letter.
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 3u;
    };
    for (const char* needle : {"ab", "aab", "abba", "babababababababab", "aaaaaaaaaaaaaaaaaaaa", "b"}) {
        const QByteArray pat(needle);
        for (int len = 1; len < 140; ++len) {
            QByteArray text;
            for (int i = 0; i < len; ++i) text += "abAB"[next()];
            std::string want, wantCaseless;
            auto add = [](std::string& to, int i, int n) {
                to += (to.empty() ? "" : " ") + std::to_string(i) + "-" + std::to_string(i + n);
            };
            for (int i = 0; i + pat.size() <= text.size(); ++i) {
                if (text.mid(i, pat.size()) == pat) add(want, i, pat.size());
                if (text.mid(i, pat.size()).toLower() == pat) add(wantCaseless, i, pat.size());
            }
            EXPECT_EQ(marksOf(run(text, needle, F)), want) << needle << " in " << text.constData();
            EXPECT_EQ(marksOf(run(text, needle, P)), want) << needle << " in " << text.constData();
            const QByteArray caseless = pat.toUpper() + "{i}";
            EXPECT_EQ(marksOf(run(text, caseless.constData(), F)), wantCaseless)
                << caseless.constData() << " in " << text.constData();
        }
    }
}
