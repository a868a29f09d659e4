#include <zor/Logger.h>
#include <zor/Tokenizer.h>
#include <zor/XTokenizer.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace zor;

namespace {

QStringList all(const Tokenizer& t) {
    QStringList l;
    for (const QString& s : t.tokens()) l << s;
    return l;
}

QStringList all(const XTokenizer& t) {
    QStringList l;
    for (const QStringRef& r : t) l << r.toString();
    return l;
}

}  // namespace

TEST(Tokenizer, SplitsByDelimiterBytes) {
    EXPECT_EQ(all(Tokenizer("a,,b", ",", false)), (QStringList{"a", "b"}));
    EXPECT_EQ(all(Tokenizer("a,,b", ",", true)), (QStringList{"a", ",", ",", "b"}));
    EXPECT_EQ(all(Tokenizer(" x ", " ", false)), (QStringList{"x"}));
    EXPECT_EQ(all(Tokenizer(",a;b,", ",;", true)), (QStringList{",", "a", ";", "b", ","}));
    EXPECT_TRUE(Tokenizer("", ",", true).tokens().empty());
    EXPECT_TRUE(Tokenizer(",,,", ",", false).tokens().empty());
    EXPECT_EQ(all(Tokenizer("abc", "", false)), (QStringList{"abc"}));
    // Non-ASCII text with ASCII delimiters, and a non-ASCII delimiter (its bytes are delimiters).
    EXPECT_EQ(all(Tokenizer(QString::fromUtf8("grün blau"), " ", false)),
              (QStringList{QString::fromUtf8("grün"), "blau"}));
    EXPECT_EQ(all(Tokenizer(QString::fromUtf8("aöböc"), QString::fromUtf8("ö"), false)), (QStringList{"a", "b", "c"}));
    // A surrogate pair survives; embedded zero characters are ordinary characters.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(all(Tokenizer(emoji + ",x", ",", false)), (QStringList{emoji, "x"}));
    EXPECT_EQ(Tokenizer(QString::fromLatin1("a\0b,c", 5), ",", false).tokenAt(0), QString::fromLatin1("a\0b", 3));
    // Tokens are decoded from UTF-8, which drops a byte-order mark at the start of a token.
    const QString bom(QChar(0xFEFF));
    EXPECT_EQ(all(Tokenizer(bom + "a," + bom + ",b" + bom, ",", true)), (QStringList{"a", ",", "", ",", "b" + bom}));
    EXPECT_EQ(all(Tokenizer(bom + "a;" + bom, ",;", false)), (QStringList{"a", ""}));
    EXPECT_EQ(all(Tokenizer(bom + "a b", "", false)), (QStringList{"a b"}));  // no delimiters: one token
    EXPECT_EQ(all(Tokenizer(bom + QString::fromUtf8("aö") + bom + "b", QString::fromUtf8("ö"), false)),
              (QStringList{"a", "b"}));
    // scan appends and rewinds.
    Tokenizer t("a b", " ");
    t.nextToken();
    t.scan("c", " ");
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(t.nextToken(), "a");
}

TEST(Tokenizer, CursorAndTypedAccess) {
    Tokenizer t("abc 12 -3 4.5 x", " ");
    EXPECT_TRUE(t.isPeekNextToken("abc"));
    EXPECT_FALSE(t.isNextToken_a_Number());
    EXPECT_EQ(t.nextInt(7), 7);  // consumed although it does not convert
    EXPECT_EQ(t.remain(), 4u);
    EXPECT_TRUE(t.isNextToken_a_Number());
    EXPECT_EQ(t.nextUInt(0), 12u);
    EXPECT_EQ(t.nextLong(0), -3);
    EXPECT_FLOAT_EQ(t.nextFloat(0.f), 4.5f);
    EXPECT_EQ(t.peekNextToken(), "x");
    EXPECT_EQ(t.nextULong(99), 99u);
    EXPECT_TRUE(t.isLastToken());
    EXPECT_FALSE(t.hasMoreToken());
    EXPECT_EQ(t.nextToken(), QString());
    EXPECT_EQ(t.nextInt(5), 5);
    EXPECT_EQ(t.index(), 5u);
    EXPECT_FALSE(t.isPeekNextToken(QString()));

    EXPECT_EQ(t.intAt(0, 7), 0);  // no validity check
    EXPECT_EQ(t.intAt(5, 7), 7);
    EXPECT_EQ(t.uintAt(1, 7), 12u);
    EXPECT_EQ(t.LONG_at(2, 7), -3);
    EXPECT_EQ(t.ULONG_at(9, 7), 7u);
    EXPECT_EQ(t.tokenAt(100), QString());
    EXPECT_EQ(t[4], "x");
    t.reset();
    EXPECT_EQ(t.nextToken(), "abc");

    std::queue<QString> q = Tokenizer("1 2", " ").getQueue();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q.front(), "1");
    EXPECT_EQ(q.back(), "2");
    Tokenizer n("9999999999 ", " ");
    EXPECT_EQ(n.nextInt(-1), -1);  // out of int range
}

TEST(Tokenizer, TokenStringsSplitQuotedParts) {
    auto r = Tokenizer::get_token_strings(R"(run "a b" c)", "\"");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].text, "run");
    EXPECT_FALSE(r[0].quoted);
    EXPECT_EQ(r[1].text, "a b");
    EXPECT_TRUE(r[1].quoted);
    EXPECT_EQ(r[2].text, "c");
    EXPECT_FALSE(r[2].quoted);

    r = Tokenizer::get_token_strings(R"(x "")", "\"");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_TRUE(r[1].quoted);
    EXPECT_TRUE(r[1].text.isEmpty());

    r = Tokenizer::get_token_strings(R"(x "open end)", "\"");  // never closed: nothing is lost
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1].text, "open end");
    EXPECT_TRUE(r[1].quoted);
    EXPECT_TRUE(Tokenizer::get_token_strings("", "\"").empty());
}

TEST(XTokenizer, BuildsReferencesAndKeepsStrings) {
    const QString text = R"(x="a b" y)";
    XTokenizer t(text, " =", true, true);
    EXPECT_EQ(all(t), (QStringList{"x", "=", "\"a b\"", " ", "y"}));
    EXPECT_EQ(t.tokenAt(2).string(), &text);  // references into the caller's string
    EXPECT_TRUE(t.is_String(2));
    EXPECT_EQ(XTokenizer::get_String(t[2]), "a b");
    EXPECT_EQ(XTokenizer::get_String(t[0]), "x");

    XTokenizer plain(text, " =", false, false);
    EXPECT_EQ(all(plain), (QStringList{"x", "\"a", "b\"", "y"}));

    const QString odd = R"(ab"cd" "open)";
    XTokenizer o(odd, " ", false, true);
    EXPECT_EQ(all(o), (QStringList{"ab", "\"cd\"", "\"open"}));
    const QString quote = "\"";
    XTokenizer q(quote, " ", false, true);
    EXPECT_EQ(all(q), (QStringList{"\""}));
    EXPECT_FALSE(q.is_String(0));

    const QString wide = QString::fromUtf8("a→b→→c");
    EXPECT_EQ(all(XTokenizer(wide, QString::fromUtf8("→"), false, false)), (QStringList{"a", "b", "c"}));
    const QString empty;
    XTokenizer e(empty, " ", true, true);
    EXPECT_EQ(e.size(), 0u);
    EXPECT_TRUE(e.lastToken().isEmpty());
    EXPECT_FALSE(static_cast<bool>(e));
}

TEST(XTokenizer, CursorClassesAndErrors) {
    zortest::LogCapture cap;
    const QString text = "12 x 3.5 ( + \t";
    XTokenizer t(text, " ", true, false);
    t.remove_White_Space_Token();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_TRUE(t.is_Number(0));
    EXPECT_FALSE(t.is_Number(1));
    EXPECT_TRUE(t.is_RealNumber(2));
    EXPECT_TRUE(t.is_Operator(4, "+-"));
    EXPECT_FALSE(t.is_Operator(3, "+-"));
    EXPECT_TRUE(t.is_Next_Token("12"));
    EXPECT_EQ(t.nextInt(), 12);
    EXPECT_EQ(t.nextInt(), 0);  // "x"
    EXPECT_DOUBLE_EQ(t.nextDouble(), 3.5);
    EXPECT_EQ(t.nextDouble(), 0.0);  // "("
    EXPECT_EQ(t.currentToken(-1), "(");
    EXPECT_TRUE(t.currentToken(-10).isEmpty());
    t.putBack();
    EXPECT_EQ(t.rest(), 2u);
    t.nextToken();
    t.nextToken();
    t.nextToken();  // at the end: does not move further
    EXPECT_EQ(t.index(), 5u);
    EXPECT_EQ(t.rest(), 0u);
    EXPECT_TRUE(t.nextToken().isEmpty());
    EXPECT_EQ(t.nextInt(), 0);
    EXPECT_EQ(t.lastToken(), "+");
    EXPECT_EQ(t.firstToken(), "12");
    EXPECT_TRUE(XTokenizer::is_WhiteSpace(QStringRef()));
    EXPECT_EQ(XTokenizer::removeWhitespace(" a\tb\r\nc "), "abc");
    std::set<QString> set;
    t.fill(set);
    EXPECT_EQ(set.size(), 5u);

    const QString typed = R"("s" 7 1.5 [ ] ^ ?)";
    XTokenizer(typed, " ", false, true).show(0, true);
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_TRUE(l.contains("XTokenizer::nextInt, token 'x' is not a number"));
    EXPECT_TRUE(l.contains("XTokenizer::nextDouble, token '(' is not a 'real' number"));
    EXPECT_TRUE(l.contains("XTokenizer::nextInt, token '' is not a number"));
    for (const char* line : {"Token:7", "[00] = '\"s\"' -  STRING", "[01] = '7' -  NUMBER", "[02] = '1.5' -  REAL NUMBER",
                             "[03] = '[' -  BRACKET OPEN", "[04] = ']' -  BRACKET CLOSE", "[05] = '^' -  OPERATOR",
                             "[06] = '?' -  OTHER"})
        EXPECT_TRUE(l.contains(line)) << line;
    Logger::quit();
}

TEST(Tokenizer, ShowLogsAtTestLevel) {
    zortest::LogCapture cap;
    Tokenizer("a b", " ").show(2);
    zortest::drainLogger();
    std::vector<zortest::Captured> m;
    for (const auto& c : cap.messages())
        if (c.level & TEST) m.push_back(c);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].text, "Tokenizer, size:2");
    EXPECT_EQ(m[2].text, "[1] = 'b'");
    EXPECT_EQ(m[1].level & 0xFFFFu, static_cast<unsigned>(TEST));
    Logger::quit();
}
