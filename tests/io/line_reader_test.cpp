// XLineReader and XLineReaderDA: line endings, over-long lines, wrapping without splitting
// characters, positions, binary content, bad records, files that shrink while mapped, and reading
// one index from several threads.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/XLineReader.h>
#include <zor/XLineReaderDA.h>
#include <zor/XMem.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <random>
#include <thread>
#include <vector>

using namespace zor;

namespace {

QStringList readAll(const QByteArray& bytes, std::size_t maxLen) {
    XMem mem(bytes);
    XLineReader r(mem, maxLen);
    QStringList out;
    while (const char* l = r.nextLine()) out << QString::fromUtf8(l);
    return out;
}

QStringList allLines(const XLineReaderDA& da) {
    QStringList out;
    for (std::size_t i = 0; i < da.countLines(); ++i) out << da.lineAt(i);
    return out;
}

using zortest::writeFile;

}  // namespace

TEST(XLineReader, NextLineRules) {
    EXPECT_EQ(readAll("a\r\nb", 80), (QStringList{"a", "b"}));
    EXPECT_EQ(readAll("abcdefg\n", 4), (QStringList{"abc", "def", "g"}));
    EXPECT_EQ(readAll("abc\r\n", 4), (QStringList{"abc"}));  // the CR does not count towards the buffer
    EXPECT_EQ(readAll("abcd\r\nx", 4), (QStringList{"abc", "d", "x"}));
    EXPECT_EQ(readAll("\n\n", 80), (QStringList{"", ""}));
    EXPECT_EQ(readAll("a\rb\n", 80), (QStringList{"a\rb"}));  // a lone CR is text
    EXPECT_EQ(readAll("last", 80), (QStringList{"last"}));
    EXPECT_EQ(readAll("abcdefgh", 3), (QStringList{"ab", "cd", "ef", "gh"}));  // no LF: pieces too
    EXPECT_EQ(readAll("\r\n", 80), (QStringList{""}));
    EXPECT_TRUE(readAll(QByteArray(), 80).isEmpty());

    XMem mem(QByteArray("one\ntwo\n"));
    XLineReader r(mem, 80);
    EXPECT_STREQ(r.nextLine(), "one");
    EXPECT_EQ(r.posMemory(), 4u);
    EXPECT_STREQ(r.nextLine(), "two");
    EXPECT_EQ(r.nextLine(), nullptr);
    EXPECT_EQ(r.nextLine(), nullptr);
    r.seekHome();
    EXPECT_STREQ(r.nextLine(), "one");
    EXPECT_TRUE(r.isValid());
    EXPECT_TRUE(r.isValidPos(7));
    EXPECT_FALSE(r.isValidPos(8));
}

TEST(XLineReader, BadArgumentsAreReported) {
    zortest::LogCapture cap;
    XMem mem(QByteArray("h\xC3\xA9llo"));
    XLineReader r(mem, 80);
    EXPECT_FALSE(r.setMaxLineLength(1));
    EXPECT_TRUE(cap.containsText("XLineReader::setMaxLineLength, sz == 1"));
    EXPECT_TRUE(r.setMaxLineLength(80));
    EXPECT_EQ(r.midString(1, 4), QString::fromUtf8("\xC3\xA9l"));
    EXPECT_EQ(r.midString(3, 1000), QStringLiteral("llo"));  // cut to the block
    EXPECT_EQ(r.midString(4, 4), QString());
    EXPECT_TRUE(cap.containsText("XLineReader::midString, posEnd <= posStart, 4 <= 4"));
    EXPECT_EQ(r.detect_UTF8(3).count2ByteEncodings(), 1u);
    EXPECT_EQ(r.detect_UTF8(1000).countBytes(), 6u);

    XLineReader none;
    none.seekHome();
    EXPECT_TRUE(cap.containsText("XLineReader::seekHome, memory == nullptr"));
    EXPECT_EQ(none.detect_UTF8(10).countBytes(), 0u);
    EXPECT_TRUE(cap.containsText("XLineReader::detect_UTF8, memory == nullptr"));
    EXPECT_EQ(none.nextLine(), nullptr);

    XMem empty;
    XLineReader e(empty, 1);  // raised to 2
    EXPECT_EQ(e.getMaxLineLength(), 2u);
    EXPECT_EQ(e.nextLine(), nullptr);
    EXPECT_EQ(e.detect_UTF8(10).countBytes(), 0u);
}

TEST(XLineReader, AllLinesFromFile) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString path = dir.filePath("l.txt");
    ASSERT_NO_FATAL_FAILURE(writeFile(path, "# head\r\n\nalpha\n#x\nbeta"));
    EXPECT_EQ(XLineReader::all_lines_from_file(path, 0, 100), (QStringList{"# head", "", "alpha", "#x", "beta"}));
    EXPECT_EQ(XLineReader::all_lines_from_file(path, 2, 100), (QStringList{"# head", "alpha", "#x", "beta"}));
    EXPECT_EQ(XLineReader::all_lines_from_file(QFileInfo(path), 3, 100), (QStringList{"alpha", "beta"}));
    const QString missing = dir.filePath("missing.txt");
    EXPECT_TRUE(XLineReader::all_lines_from_file(missing, 0, 100).isEmpty());
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReader::all_lines_from_file, problems with '%1'").arg(missing)));
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath("empty"), QByteArray()));
    EXPECT_TRUE(XLineReader::all_lines_from_file(dir.filePath("empty"), 0, 100).isEmpty());
}

TEST(XLineReaderDA, IndexOverEveryLineEnding) {
    XMem mem(QByteArray("a\nb\r\nc\rd\n\ne"));
    XLineReaderDA da(mem, 80, true);
    const std::vector<XLineInfo> expect = {
        {0, 1, 2, 0, 0, true}, {2, 1, 3, 1, 0, true}, {5, 3, 4, 2, 0, true}, {9, 0, 1, 3, 0, true}, {10, 1, 1, 4, 0, false}};
    ASSERT_EQ(da.lineInfos().size(), expect.size());
    for (std::size_t i = 0; i < expect.size(); ++i) EXPECT_EQ(da.lineInfos()[i], expect[i]) << da.lineInfos()[i].toString().toStdString();
    EXPECT_EQ(allLines(da), (QStringList{"a", "b", "c\rd", "", "e"}));
    EXPECT_EQ(da.countAllBytes(), 11u);
    EXPECT_EQ(da.longestLine(), 3u);
    EXPECT_EQ(da.countParagraphs(), 2u);
    EXPECT_EQ(da.paragraphAt(1), QStringLiteral("a\nb\nc\rd"));
    EXPECT_EQ(da.paragraphAt(3), QString());
    EXPECT_EQ(da.file_to_screen(4), 4);
    EXPECT_EQ(da.toString(false), QStringLiteral("file ???")) << "a reader over memory has no file name";
    EXPECT_EQ(da.toString(true), QStringLiteral("file ???"));
    EXPECT_EQ(XLineReaderDA().toString(false), QStringLiteral("file ???"));
    EXPECT_FALSE(da.isBinaryContent());

    // A trailing line feed ends the last line; no empty line follows it. Without wrapping no piece
    // numbers are set.
    std::vector<XLineInfo> plain = da.createLineInfos(false);
    EXPECT_EQ(plain[0].pieceIndex, -1);
    XMem two(QByteArray("x\n\n"));
    XLineReaderDA db(two, 80, true);
    EXPECT_EQ(allLines(db), (QStringList{"x", ""}));
    EXPECT_EQ(db.countAllBytes(), 3u);
    EXPECT_EQ(db.longestLine(), 1u);
}

TEST(XLineReaderDA, IndexAgreesWithAPlainSplit) {
    // Random lines of 0..300 bytes (words, CJK marks, CR in the middle), LF or CRLF endings, the
    // last one open: the records tile the bytes, and each file line's pieces joined give the line.
    std::mt19937 rng(11);
    QByteArray text;
    QList<QByteArray> lines;
    const QByteArray atoms[] = {"word ", "x", "\r", "\xE3\x80\x82", "\xC3\xA9", "tab\t", "longerword"};
    for (int i = 0; i < 3000; ++i) {
        QByteArray l;
        const int target = static_cast<int>(rng() % 300);
        while (l.size() < target) l += atoms[rng() % 7];
        if (l.endsWith('\r')) l += 'x';  // a CR before the LF would be part of the ending
        lines << l;
        text += l;
        if (i < 2999) text += (rng() % 3 == 0) ? "\r\n" : "\n";
    }
    XMem mem(text);
    for (const bool wrap : {true, false}) {
        for (const std::size_t maxLen : {std::size_t(7), std::size_t(100), std::size_t(4096)}) {
            XLineReaderDA da(mem, maxLen, false);
            const std::vector<XLineInfo> index = da.createLineInfos(wrap);
            std::uint64_t pos = 0;
            QList<QByteArray> joined;
            for (const XLineInfo& li : index) {
                ASSERT_EQ(li.posMemory, pos);
                ASSERT_LE(li.lenBytes, maxLen);
                ASSERT_GT(li.lenTotal, 0u);
                if (static_cast<int>(li.lineIndex) == joined.size()) joined << QByteArray();
                ASSERT_EQ(static_cast<int>(li.lineIndex), joined.size() - 1);
                joined.last() += text.mid(static_cast<int>(li.posMemory), static_cast<int>(li.lenBytes));
                pos += li.lenTotal;
            }
            ASSERT_EQ(pos, static_cast<std::uint64_t>(text.size()));
            ASSERT_EQ(joined.size(), lines.size());
            for (int i = 0; i < lines.size(); ++i) ASSERT_EQ(joined[i], lines[i]) << i << " wrap " << wrap << " max " << maxLen;
        }
    }
}

TEST(XLineReaderDA, WrapsAtWordsBreakMarksAndCharacters) {
    XMem hw(QByteArray("hello world"));
    XLineReaderDA da(hw, 8, true);
    ASSERT_EQ(da.countLines(), 2u);
    EXPECT_EQ(allLines(da), (QStringList{"hello ", "world"}));
    EXPECT_EQ(da.lineInfoAt(0), XLineInfo(0, 6, 6, 0, 0, false));
    EXPECT_EQ(da.lineInfoAt(1), XLineInfo(6, 5, 5, 0, 1, false));
    // Without wrapping: exact pieces, no piece numbers.
    std::vector<XLineInfo> cut = da.createLineInfos(false);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0], XLineInfo(0, 8, 8, 0, -1, false));
    EXPECT_EQ(cut[1], XLineInfo(8, 3, 3, 0, -1, false));

    // A delimiter right at the candidate end: the piece is exactly maxLineLength bytes.
    XMem atEnd(QByteArray("abcdefgh ijk\nz"));
    XLineReaderDA d2(atEnd, 8, true);
    EXPECT_EQ(allLines(d2), (QStringList{"abcdefgh", " ijk", "z"}));
    EXPECT_EQ(d2.lineInfoAt(1).pieceIndex, 1);
    EXPECT_EQ(d2.lineInfoAt(1).lineIndex, 0u);
    EXPECT_EQ(d2.lineInfoAt(2).lineIndex, 1u);
    EXPECT_EQ(d2.lineInfoAt(2).pieceIndex, 0);
    EXPECT_EQ(d2.file_to_screen(1), 2);
    EXPECT_EQ(d2.paragraphAt(0), QStringLiteral("abcdefgh ijk\nz"));

    // CJK: the ideographic full stop ends the piece after its three bytes.
    const QString cjk = QString::fromUtf8("\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE3\x80\x82\xE5\x9B\x9B\xE4\xBA\x94");
    XMem c(cjk.toUtf8());
    XLineReaderDA d3(c, 12, true);
    EXPECT_TRUE(d3.isWrappedUTF8Extended());
    EXPECT_EQ(allLines(d3), (QStringList{cjk.left(4), cjk.mid(4)}));
    // No break: the piece ends before the last character that would not fit whole.
    XMem e(QString::fromUtf8("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9").toUtf8());
    XLineReaderDA d4(e, 5, true);
    EXPECT_FALSE(d4.isWrappedUTF8Extended());
    const QString ee = QString::fromUtf8("\xC3\xA9\xC3\xA9");
    EXPECT_EQ(allLines(d4), (QStringList{ee, ee, ee.left(1)}));
    XMem emoji(QByteArray("ab\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
    XLineReaderDA d5(emoji, 5, true);
    EXPECT_EQ(d5.lineInfoAt(0).lenBytes, 2u);
    EXPECT_EQ(d5.lineInfoAt(1).lenBytes, 4u);
    // Bytes that start no character at all: plain cuts.
    XMem junk(QByteArray(20, '\x80'));
    XLineReaderDA d6(junk, 8, true);
    ASSERT_EQ(d6.countLines(), 3u);
    EXPECT_EQ(d6.lineInfoAt(2).lenBytes, 4u);
    // A CRLF line exactly maxLineLength long is not wrapped.
    XMem crlf(QByteArray("abcdefgh\r\n"));
    XLineReaderDA d7(crlf, 8, true);
    EXPECT_EQ(allLines(d7), (QStringList{"abcdefgh"}));
}

TEST(XLineReaderDA, OneHugeLineAndManyPieces) {
    // A 16 MiB line of words: every piece ends after a blank and the pieces tile the line.
    QByteArray big;
    big.reserve(16 << 20);
    while (big.size() < (16 << 20)) big += "lorem ipsum dolor sit amet ";
    big += '\n';
    XMem mem(big);
    XLineReaderDA da(mem, 100, true);
    std::uint64_t expectPos = 0;
    for (std::size_t i = 0; i < da.countLines(); ++i) {
        const XLineInfo& li = da.lineInfos()[i];
        ASSERT_EQ(li.posMemory, expectPos) << i;
        ASSERT_LE(li.lenBytes, 100u);
        ASSERT_EQ(li.lineIndex, 0u);
        ASSERT_EQ(li.pieceIndex, static_cast<int>(i));
        if (i + 1 < da.countLines()) {
            ASSERT_EQ(big[int(li.posEnd() - 1)], ' ') << i;
        }
        expectPos += li.lenTotal;
    }
    EXPECT_EQ(expectPos, static_cast<std::uint64_t>(big.size()));
    EXPECT_EQ(da.countAllBytes(), static_cast<std::uint64_t>(big.size()));
    // One entry when the line fits.
    ASSERT_TRUE(da.re_load(std::size_t(32) << 20));
    EXPECT_EQ(da.countLines(), 1u);
    EXPECT_EQ(da.lineAt(0).size(), big.size() - 1);
}

TEST(XLineReaderDA, PositionsAndBadRecords) {
    zortest::LogCapture cap;
    XMem mem(QByteArray("first\nsecond\r\nthird"));
    XLineReaderDA da(mem, 80, true);
    EXPECT_EQ(da.lineAtRamPos(8), QStringLiteral("second"));
    EXPECT_EQ(da.lineAtRamPos(0), QStringLiteral("first"));
    EXPECT_EQ(da.lineAtRamPos(5), QStringLiteral("first"));  // on the line feed: the end is inclusive
    EXPECT_EQ(da.lineAtRamPos(12), QStringLiteral("second"));
    EXPECT_EQ(da.lineAtRamPos(13), QString());             // the LF after a CR belongs to no text
    EXPECT_EQ(da.lineInfoAtRamPos(13).pieceIndex, -1);
    EXPECT_EQ(da.lineAtRamPos(19), QStringLiteral("third"));
    EXPECT_EQ(da.lineAtRamPos(1000), QString());
    EXPECT_EQ(da.midString(6, 12), QStringLiteral("second"));

    EXPECT_EQ(da.lineAt(3), QString());
    EXPECT_TRUE(cap.containsText("XLineReaderDA::lineAt, index:3, allowed range:0-2"));
    EXPECT_EQ(da.lineAt(XLineInfo(100, 2, 2, 0, 0, false)), QString());
    EXPECT_TRUE(cap.containsText("XLineReaderDA::lineAt, !lineReader.isValidPos(li.posMemory), pos:100"));
    EXPECT_EQ(da.lineAt(XLineInfo(15, 10, 10, 0, 0, false)), QString());
    EXPECT_TRUE(cap.containsText("XLineReaderDA::lineAt,B, !lineReader.isValidPos(li.posMemory), pos:25, get_max pos:19"));
    EXPECT_STREQ(da.cStringAt(XLineInfo(15, 10, 10, 0, 0, false)), "");
    EXPECT_TRUE(cap.containsText("XLineReaderDA::cStringAt,C, !lineReader.isValidPos(li.posMemory), pos:25, get_max pos:19"));
    EXPECT_STREQ(da.cStringAt(da.lineInfoAt(1)), "second");
    EXPECT_EQ(da.file_to_screen(3), -1);
    EXPECT_TRUE(cap.containsText("XLineReaderDA::file_to_screen, range problem, index >= arLines.size(), 3 >=3"));
    EXPECT_EQ(da.paragraphAt(9), QString());

    XMem other(QByteArray("x"));
    EXPECT_FALSE(da.setMemory(other, 80));
    EXPECT_TRUE(cap.containsText("XLineReaderDA::openFile, <<<>>> already mapped"));

    XLineReaderDA empty;
    EXPECT_EQ(empty.lineAtRamPos(0), QString());
    EXPECT_EQ(empty.countLines(), 0u);
    EXPECT_EQ(empty.longestLine(), 0u);
    EXPECT_FALSE(empty.re_load(80));

    // Control bytes in the first kilobyte: shown as dots, like every byte past 127.
    XMem bin(QByteArray("\x01" "abc\xFFz\n\x02", 8));
    XLineReaderDA db(bin, 80, true);
    EXPECT_TRUE(db.isBinaryContent());
    EXPECT_EQ(allLines(db), (QStringList{".abc.z", "."}));
}

TEST(XLineReaderDA, FilesOpenCloseAndShrink) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString missing = dir.filePath("none.txt");
    XLineReaderDA da;
    EXPECT_FALSE(da.openFile(missing, 80, true));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReaderDA::open, problems mapping file <%1> !").arg(missing)));
    const QString empty = dir.filePath("empty.txt");
    ASSERT_NO_FATAL_FAILURE(writeFile(empty, QByteArray()));
    EXPECT_FALSE(da.openFile(empty, 80, true));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReaderDA::open, mem() == nullptr, file <%1> !").arg(empty)));

    const QString path = dir.filePath("text.txt");
    QByteArray text;
    for (int i = 0; i < 400; ++i) text += QByteArray::number(i).rightJustified(9, '0') + '\n';
    ASSERT_NO_FATAL_FAILURE(writeFile(path, text));
    ASSERT_TRUE(da.openFile(path, 80, true));
    EXPECT_TRUE(da.isOpen());
    EXPECT_FALSE(da.openFile(path, 80, true));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReaderDA::openFile, <<<%1>>> already mapped").arg(path)));
    EXPECT_EQ(da.countLines(), 400u);
    EXPECT_EQ(da.lineAt(399), QStringLiteral("000000399"));
    EXPECT_EQ(da.toString(false), QStringLiteral("lines:400"));
    EXPECT_EQ(da.toString(true), QStringLiteral("lines:400, bytesTotal:4.000, bytesInLines:3.600, longestLine:9"));

    // The file loses its second half while mapped: lines past the new end are refused, not read.
    ASSERT_TRUE(QFile::resize(path, 2000));
    EXPECT_EQ(da.lineAt(10), QStringLiteral("000000010"));
    EXPECT_EQ(da.lineAt(300), QString());
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReaderDA::lineAt, '%1' no longer reaches the line's end 3009").arg(path)));
    EXPECT_STREQ(da.cStringAt(da.lineInfoAt(399)), "");
    EXPECT_EQ(da.midString(1990, 3000), QString());
    EXPECT_EQ(da.detect_UTF8(4000).countBytes(), 0u);
    ASSERT_TRUE(da.re_load(80));  // the new index stops at the file's new end
    EXPECT_EQ(da.countLines(), 200u);
    EXPECT_EQ(da.lineAt(199), QStringLiteral("000000199"));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLineReaderDA::createLineInfos, '%1' shrank while indexing, 4000 -> 2000 bytes, index cut").arg(path)));

    da.closeFile();
    EXPECT_FALSE(da.isOpen());
    EXPECT_EQ(da.toString(false), QStringLiteral("not open (XLineReaderDA)"));
    EXPECT_FALSE(da.re_load(80));
    EXPECT_TRUE(cap.containsText("XLineReaderDA::re_load, !fileMapper.isMapped()"));
    EXPECT_EQ(da.countLines(), 0u);
    ASSERT_TRUE(da.openFile(QFileInfo(path), 4, false));  // opens again after closing
    EXPECT_EQ(da.countLines(), 0u);
    EXPECT_EQ(da.create_internal_line_infos(), 600u);  // 200 lines of 9 bytes in pieces of 4, 4 and 1
}

TEST(XLineReaderDA, ManyReadersShareOneIndex) {
    QByteArray text;
    for (int i = 0; i < 5000; ++i) text += "line " + QByteArray::number(i) + (i % 3 == 0 ? "\r\n" : "\n");
    XMem mem(text);
    XLineReaderDA da(mem, 8, true);
    const QStringList expect = allLines(da);
    std::atomic<int> bad{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = static_cast<std::size_t>(t); i < da.countLines(); i += 2) {
                if (da.lineAt(i) != expect[int(i)]) ++bad;
                if (da.lineAtRamPos(da.lineInfoAt(i).posMemory + 1) != expect[int(i)] && da.lineInfoAt(i).lenBytes > 0) ++bad;
                if (da.longestLine() != 8u) ++bad;
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(bad.load(), 0);
}
