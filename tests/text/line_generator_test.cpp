// XLineGenerator: exact line lengths, word plans, scripts, the tables and the text forms.
#include "support/CaptureAppender.h"

#include <zor/XLineGenerator.h>

#include <gtest/gtest.h>

using namespace zor;

TEST(XLineGenerator, LinesOfExactLengthInEveryScript) {
    XLineGenerator gen(false);
    XLineGenerator::Params p;
    for (std::uint32_t len : {0u, 1u, 2u, 3u, 17u, 80u, 1000u}) {
        p.lineLen = len;
        const QString l = gen.genLine(p);
        ASSERT_EQ(l.size(), static_cast<int>(len));
        if (len > 0) {
            EXPECT_TRUE(XLineGenerator::sLineEndingASCII.contains(l.back()));
        }
    }
    // In sequence: the letters run through the alphabet, wrapping, with blanks between words.
    p.lineLen = 200;
    p.wordLen = 5;
    const QString seq = gen.genLine(p);
    QChar expect('A');
    int word = 0;
    for (int i = 0; i + 1 < seq.size(); ++i) {
        if (seq.at(i) == QLatin1Char(' ')) {
            EXPECT_GE(word, 2);
            word = 0;
            continue;
        }
        ASSERT_EQ(seq.at(i), expect) << i;
        expect = expect == QLatin1Char('Z') ? QChar('A') : QChar(expect.unicode() + 1);
        ++word;
        ASSERT_LE(word, 5);
    }
    // Random lower-case letters, words of 2..wordLen, no planned breaks with wordLen 0.
    p.sequence = false;
    p.uppercase = false;
    p.wordLen = 4;
    const QString rnd = gen.genLine(p);
    for (const QString& w : rnd.left(rnd.size() - 1).split(' ')) {
        EXPECT_LE(w.size(), 4);
        for (QChar c : w) EXPECT_TRUE(c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    }
    p.wordLen = 0;
    EXPECT_FALSE(gen.genLine(p).contains(' '));

    struct Script {
        int lang;
        ushort lo, hi;
    };
    for (const Script& s : {Script{XLineGenerator::GREEK, 0x391, 0x3C9}, Script{XLineGenerator::CHINESE_SMALL, 0x4F00, 0x520F},
                            Script{XLineGenerator::CHINESE_FULL, 0x4E00, 0x9FFF}}) {
        p.lang = s.lang;
        p.wordLen = 0;
        p.sentenceEnding = 1;
        const QString l = gen.genLine(p);
        for (int i = 0; i + 1 < l.size(); ++i) ASSERT_TRUE(l.at(i).unicode() >= s.lo && l.at(i).unicode() <= s.hi) << i;
        EXPECT_TRUE(XLineGenerator::sLineEndingChin.contains(l.back()));
    }
    // Sequence breaks come from the chosen delimiter entry.
    p = XLineGenerator::Params();
    p.wordDelim = 2;
    p.lineLen = 300;
    p.wordLen = 3;
    const QString chin = gen.genLine(p);
    int breaks = 0;
    for (QChar c : chin) breaks += XLineGenerator::sWordDelimiterChin.contains(c) ? 1 : 0;
    EXPECT_GT(breaks, 50);

    // Unseeded generators repeat each other.
    XLineGenerator a(false), b(false);
    p = XLineGenerator::Params();
    p.sequence = false;
    EXPECT_EQ(a.genLines(20, p), b.genLines(20, p));
}

TEST(XLineGenerator, TablesTextsAndBadParameters) {
    zortest::LogCapture cap;
    XLineGenerator::Params p;
    EXPECT_EQ(p.toString(), QStringLiteral("lineLen:80, wordLen:12, uppercase:true, sequence:true, lang:ASCII, "));
    p.uppercase = false;
    p.sequence = false;
    p.lang = XLineGenerator::CHINESE_FULL;
    EXPECT_EQ(p.toString(), QStringLiteral("lineLen:80, wordLen:12, uppercase:false, sequence:false, lang:CHINESE_FULL, "));
    EXPECT_EQ(XLineGenerator::getWordDelimiter(3).size(), XLineGenerator::sWordDelimiterASCII.size() + 8);
    EXPECT_EQ(XLineGenerator::getSentenceEnding(2), QString::fromUtf8(".!?\xEF\xBC\x8E\xE3\x80\x82\xE2\x80\xA6\xE2\x80\xA6"));
    EXPECT_EQ(&XLineGenerator::getWordDelimiter(9), &XLineGenerator::sWordDelimiterSpaceOnly);
    EXPECT_TRUE(cap.containsText("XLineGenerator::getWordDelimiter, index:9, allowed range:0-3"));
    EXPECT_EQ(&XLineGenerator::getSentenceEnding(-1), &XLineGenerator::sLineEndingASCII);

    XLineGenerator gen(true);
    p = XLineGenerator::Params();
    p.wordLen = 1;
    const QStringList lines = gen.genLines(5, p);
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(cap.linesStartingWith("XLineGenerator::genLine, wordLen == 1").size(), 1);

    EXPECT_EQ(XLineGenerator::elidedLine("abcdefghij", 6), QStringLiteral("abc..."));
    XLineGenerator::showLines(QStringList{"abc", "defgh"}, false);
    XLineGenerator::showLines(QStringList{"abcdefghij"}, true, 6);
    EXPECT_TRUE(cap.containsText("[0] abc"));
    EXPECT_TRUE(cap.containsText("[1] defgh"));
    EXPECT_TRUE(cap.containsText("[0] abc...   len:10"));
}
