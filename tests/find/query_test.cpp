#include <zor/XContentFilter.h>
#include <zor/XSymbol.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cstring>

using namespace zor::find;

namespace {

QStringList forms(const XContentFilter& f) {
    QStringList out;
    for (const XSymbol& s : f.symbols()) out << s.toString();
    return out;
}

}  // namespace

TEST(XSymbol, TestsAndTextForm) {
    XSymbol f(QStringLiteral("error"));
    EXPECT_TRUE(f.isFind() && f.isValid() && !f.isOperator() && !f.isBracket());
    EXPECT_EQ(f.toString(), "error{");
    f.wholeWord = f.ignoreCase = true;
    f.countMinimum = 3;
    EXPECT_EQ(f.toString(), "error{w,i,3");
    EXPECT_FALSE(XSymbol(QString()).isValid());
    EXPECT_FALSE(XSymbol(99u).isValid());
    const XSymbol a(XSymbol::AND), o(XSymbol::OR), n(XSymbol::NOT), l(XSymbol::BRACKET_OPEN), r(XSymbol::BRACKET_CLOSE);
    EXPECT_TRUE(a.is_op_AND() && o.is_op_OR() && n.is_op_NOT() && a.isOperator() && n.isOperator());
    EXPECT_TRUE(l.isBracketOpen() && r.isBracketClose() && l.isBracket() && !l.isOperator());
    EXPECT_EQ(a.toString() + o.toString() + n.toString() + l.toString() + r.toString(), "&|~()");
}

TEST(XContentFilter, ParsesOperatorsBracketsModifiersAndQuotes) {
    XContentFilter f;
    ASSERT_TRUE(f.createSymbols(QStringLiteral("error & ~(warning | \"not an error\"{i})"), false));
    EXPECT_EQ(forms(f), (QStringList{"error{", "&", "~", "(", "warning{", "|", "not an error{i,", ")"}));
    EXPECT_TRUE(f.isValid());
    EXPECT_EQ(f.size(), 8u);
    EXPECT_EQ(f.rest(), 8u);
    EXPECT_FALSE(f.is_reg_ex());

    // Blanks are free; commas inside braces are skipped; the modifiers in any order.
    ASSERT_TRUE(f.createSymbols(QStringLiteral("Error{ i , w,3 }&x{w}"), false));
    EXPECT_EQ(forms(f), (QStringList{"Error{w,i,3", "&", "x{w,"}));
    EXPECT_EQ(f.symbols()[0].countMinimum, 3u);

    // "|" is not a delimiter: only a free-standing bar is the operator.
    ASSERT_TRUE(f.createSymbols(QStringLiteral("a|b"), false));
    EXPECT_EQ(forms(f), (QStringList{"a|b{"}));
    ASSERT_TRUE(f.createSymbols(QStringLiteral("a | b"), false));
    EXPECT_EQ(forms(f), (QStringList{"a{", "|", "b{"}));

    // A quoted phrase keeps its delimiters; the quotes are dropped.
    ASSERT_TRUE(f.createSymbols(QStringLiteral("\"a & (b)\""), false));
    EXPECT_EQ(f.symbols()[0].text, "a & (b)");

    // An empty query is valid syntax with no symbols.
    EXPECT_TRUE(f.createSymbols(QString(), false));
    EXPECT_TRUE(f.isEmpty());
    EXPECT_FALSE(f.isValid());
    EXPECT_EQ(f.toString(), "scope:File, pattern ''");
}

TEST(XContentFilter, SyntaxErrorsWithTheirTexts) {
    zortest::LogCapture cap;
    XContentFilter f;
    EXPECT_FALSE(f.createSymbols(QStringLiteral("(error & warning"), false));
    EXPECT_TRUE(cap.containsText("Brackets open/close must be symmetric +( -) => 0, but we have:1")) << cap.lastLines(3);
    EXPECT_FALSE(f.isValid());
    EXPECT_FALSE(f.createSymbols(QStringLiteral("a))"), false));
    EXPECT_TRUE(cap.containsText("Brackets open/close must be symmetric +( -) => 0, but we have:-2"));
    EXPECT_FALSE(f.createSymbols(QStringLiteral("error warning"), false));
    EXPECT_TRUE(cap.containsText("XContentFilter::checkSyntax - 2 Finder tokens not allowed"));
    EXPECT_FALSE(f.createSymbols(QStringLiteral("error{i,x}"), false));
    EXPECT_TRUE(cap.containsText("XContentFilter::createSymbols, symbol 'x' inside { } is forbidden"));
    EXPECT_FALSE(f.createSymbols(QStringLiteral("a{99999999999}"), false));
    EXPECT_TRUE(cap.containsText("XContentFilter::createSymbols, symbol '99999999999' inside { } is forbidden"));
    // "+" and "!" split texts but are no operators: two finders in a row.
    EXPECT_FALSE(f.createSymbols(QStringLiteral("a+b"), false));
    // Balanced in total though closed before opened: the check counts the end only.
    EXPECT_TRUE(f.createSymbols(QStringLiteral(") a ("), false));
    // One log line per bad query.
    cap.clear();
    EXPECT_FALSE(f.createSymbols(QStringLiteral("((a"), false));
    EXPECT_EQ(cap.size(), 1u);

    // Regular-expression mode: the query compiles or not.
    EXPECT_TRUE(f.createSymbols(QStringLiteral("err(or|and)\\d+"), true));
    EXPECT_TRUE(f.is_reg_ex() && f.isValid() && f.symbols().empty());
    EXPECT_EQ(f.toString(), "scope:File, reg-ex pattern 'err(or|and)\\d+'");
    EXPECT_FALSE(f.createSymbols(QStringLiteral("a(b"), true));
    EXPECT_FALSE(f.isValid());
}

TEST(XContentFilter, DeepBracketsAndSymbolAccess) {
    zortest::LogCapture cap;
    // Nesting depth costs heap only: a hundred thousand brackets parse and evaluate.
    const int depth = 100000;
    const QString q = QString(depth, QLatin1Char('(')) + QStringLiteral("word") + QString(depth, QLatin1Char(')'));
    XContentFilter f;
    ASSERT_TRUE(f.createSymbols(q, false));
    EXPECT_TRUE(f.canMatch("a word here", 11, 4096));
    EXPECT_FALSE(f.canMatch("nothing", 7, 4096));

    EXPECT_EQ(XContentFilter::scope_to_string(2), "Sentence");
    EXPECT_EQ(XContentFilter::scope_to_string(7), "unknown");
    f.setScope(XContentFilter::Paragraph);
    EXPECT_EQ(f.scope_as_string(), "Paragraph");
    XContentFilter copy = f;  // each thread takes its own copy
    EXPECT_EQ(copy.size(), f.size());
}

TEST(XContentFilter, QuickTestNeverRulesOutAMatch) {
    XContentFilter f;
    auto can = [&f](const char* query, const char* text) {
        EXPECT_TRUE(f.createSymbols(QString::fromUtf8(query), false)) << query;
        return f.canMatch(text, std::strlen(text), 64);
    };
    EXPECT_TRUE(can("error", "an error here"));
    EXPECT_FALSE(can("error", "all fine"));
    EXPECT_FALSE(can("error & warning", "error only"));
    EXPECT_TRUE(can("error | warning", "warning only"));
    EXPECT_TRUE(can("error & ~warning", "error, warning too"));   // per unit they may differ
    EXPECT_TRUE(can("~warning", "anything"));
    EXPECT_FALSE(can("a & ~(b)", "nothing"));
    EXPECT_TRUE(can("x & ~(a & b)", "x"));
    // Whole words: line ends and delimiters bound a word, letters do not.
    EXPECT_FALSE(can("err{w}", "errors everywhere"));
    EXPECT_TRUE(can("err{w}", "one\nerr\ntwo"));
    EXPECT_TRUE(can("err{w}", "(err)"));
    EXPECT_TRUE(can("err{w}", "\xE3\x80\x82" "err" "\xE3\x80\x82"));  // full-width stops
    // A run too long for one piece may be cut anywhere by the line reader: maybe.
    EXPECT_TRUE(can("err{w}", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxerrxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"));
    // Counts and case.
    EXPECT_FALSE(can("a{3}", "a a"));
    EXPECT_TRUE(can("a{3}", "a a a"));
    EXPECT_TRUE(can("ERROR{i}", "an Error"));
    EXPECT_FALSE(can("ERROR{i}", "an Erro"));
    EXPECT_TRUE(can("ok{i}", "o\xE2\x84\xAA"));  // the Kelvin sign folds to k
    EXPECT_TRUE(can("\xC3\xA9t\xC3\xA9{i}", "nothing"));  // non-ASCII caseless: maybe
    // Binary content and regular expressions are always "maybe".
    const char bin[] = {'a', 0x01, 'b', 0};
    ASSERT_TRUE(f.createSymbols(QStringLiteral("zzz"), false));
    EXPECT_TRUE(f.canMatch(bin, 3, 64));
    ASSERT_TRUE(f.createSymbols(QStringLiteral("z+"), true));
    EXPECT_TRUE(f.canMatch("abc", 3, 64));
}
