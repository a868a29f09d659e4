#include <zor/Environment.h>
#include <zor/Logger.h>
#include <zor/MemSearch.h>
#include <zor/TextTools.h>
#include <zor/XDelimiter.h>
#include <zor/XStringRef.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using namespace zor;

TEST(TextTools, CountDigits) {
    EXPECT_EQ(countDigits(-120), 3);
    EXPECT_EQ(countDigits(0), 0);
    EXPECT_EQ(countDigits(9), 1);
    EXPECT_EQ(countDigits(10u), 2);
    EXPECT_EQ(countDigits(LLONG_MIN), 19);
    EXPECT_EQ(countDigits(ULLONG_MAX), 20);
}

TEST(TextTools, BytesNumbers) {
    zortest::LogCapture cap;
    EXPECT_EQ(get_bytes_number("10 MB"), 10000000u);
    EXPECT_EQ(get_bytes_number("1,5kb"), 1500u);
    EXPECT_EQ(get_bytes_number("4096"), 4096u);
    EXPECT_EQ(get_bytes_number("3 xb"), 0u);
    EXPECT_EQ(get_bytes_number("2 GB"), 2000000000u);
    EXPECT_EQ(get_bytes_number("5gb"), 705032704u);  // 5e9 wraps at 2^32
    EXPECT_EQ(get_bytes_number("1 tb  "), static_cast<unsigned>(1000000000000ull & 0xFFFFFFFFu));
    EXPECT_EQ(get_bytes_number("2.7"), 2u);
    EXPECT_EQ(get_bytes_number("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(get_bytes_number("1e30"), 0u);  // no 64-bit form
    EXPECT_EQ(get_bytes_number("1.2.3 kb"), 0u);
    EXPECT_EQ(get_bytes_number("7,"), 7u);
    EXPECT_EQ(get_bytes_number(""), 0u);
    EXPECT_EQ(get_bytes_number("kb"), 0u);
    EXPECT_EQ(get_bytes_number(QString(31, '1')), 0u);
    EXPECT_EQ(get_bytes_number(QString::fromLatin1("1\0kb", 4)), 0u);
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_TRUE(l.contains("zor::get_bytes_number,  unknown symbol <<<xb>>>"));
    EXPECT_TRUE(l.contains("zor::get_bytes_number, sNum.length > 30, 31 > 30, "));
    EXPECT_TRUE(l.contains("zor::get_bytes_number, 'kb' is not a valid bytes size_range number"));
    Logger::quit();
}

TEST(TextTools, EntitiesRoundTrip) {
    const QString text = QString::fromUtf8("a<é");
    EXPECT_EQ(encode_entities(text, "<"), "a&#60;&#233;");
    EXPECT_EQ(decode_entities("a&#60;&#233;"), text);
    EXPECT_EQ(encode_char(QChar('A')), "&#65;");
    EXPECT_EQ(encode_entities(QString(QChar(128)), ""), QString(QChar(128)));  // above 128 only
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(decode_entities(encode_entities(emoji, "")), emoji);
    EXPECT_EQ(decode_entities("&#128512;"), emoji);
    EXPECT_EQ(decode_entities("&#;&#12&#99999999999999999999;&#x41;"), "&#;&#12&#99999999999999999999;&#x41;");
    EXPECT_EQ(decode_entities("&#65;&#66;&"), "AB&");
}

TEST(TextTools, ReplaceEnv) {
    setEnv("ZOR_TEXT_T1", "v\"q\"1");
    EXPECT_EQ(replaceEnv("a$(ZOR_TEXT_T1)b"), "avq1b");
    EXPECT_EQ(replaceEnv("a$(ZOR_TEXT_UNSET)b"), "a$(ZOR_TEXT_UNSET)b");
    EXPECT_EQ(replaceEnv(" $(ZOR_TEXT_T1)"), " $(ZOR_TEXT_T1)");
    EXPECT_EQ(replaceEnv(QString::fromUtf8("é$(ZOR_TEXT_T1)")), QString::fromUtf8("é$(ZOR_TEXT_T1)"));
    EXPECT_EQ(replaceEnv(""), "");
    EXPECT_EQ(replaceEnv("a$$b$x"), "a$bx");
    EXPECT_EQ(replaceEnv("a$(ZOR_TEXT_T1"), "a");  // the text ends inside the reference
    EXPECT_EQ(replaceEnv("a$"), "a");
    EXPECT_EQ(replaceEnv("x$()y"), "x$()y");
    EXPECT_EQ(replaceEnv(QString::fromUtf8("ü$(ZOR_TEXT_T1)ü")), QString::fromUtf8("ü$(ZOR_TEXT_T1)ü"));
    EXPECT_EQ(replaceEnv(QString::fromUtf8("ü$(ZOR_TEXT_T1)ü").mid(1)), QString::fromUtf8("vq1ü"));
    EXPECT_EQ(replaceEnv(QString::fromLatin1("a$(ZOR_TEXT_T1\0x)\0", 18)), QString::fromLatin1("a$(ZOR_TEXT_T1\0x)\0", 18));
}

TEST(TextTools, ReplaceVariablesByFunction) {
    zortest::LogCapture cap;
    auto resolve = [](const QString& n) { return n == "A" ? QStringLiteral("1") : n; };
    EXPECT_EQ(replace_variables("x$(A)y$(B)z$(#C)", resolve), "x1y$(B)z");
    EXPECT_EQ(replace_variables("$(A(A)", resolve), "$(A(A)");  // name "AA": unknown, kept as written
    EXPECT_EQ(replace_variables("$ ( $(A", resolve), "$ ( $(A");  // never closed
    EXPECT_EQ(replace_variables("no vars", nullptr), "no vars");
    EXPECT_EQ(replace_variables("$(A)", nullptr), "$(A)");
    EXPECT_EQ(replace_variables("", resolve), "");
    EXPECT_TRUE(replace_variables(QString(), resolve).isNull());
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_EQ(l.count("::replace_variables, str.isNull() || str.isEmpty()"), 2);
    EXPECT_EQ(l.count("str::replace_variables - SAME"), 3);
    Logger::quit();
}

TEST(TextTools, ReplaceVariablesFromMap) {
    zortest::LogCapture cap;
    const std::map<QString, QString> vars{{"a", "1"}, {"long", QString::fromUtf8("→")}};
    EXPECT_EQ(replaceVariables("${a}-${long}-${b}", vars, false), QString::fromUtf8("1-→-${b}"));
    EXPECT_EQ(replaceVariables("${a}-${b}", vars, true), "1-");
    EXPECT_EQ(replaceVariables("x${a", vars, true), "x${a");  // never closed: kept
    EXPECT_EQ(replaceVariables("$a{a}$", vars, true), "$a{a}$");
    EXPECT_EQ(replaceVariables(QString::fromUtf8("é→${a}"), vars, false), QString::fromUtf8("é?1"));
    EXPECT_EQ(replaceVariables("", vars, false), "");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("zor::replaceVariables, name 'long'"));
    Logger::quit();
}

TEST(XStringRef, CheckedView) {
    zortest::LogCapture cap;
    const QString s = "hello world";
    XStringRef all(s);
    EXPECT_EQ(all.size(), 11u);
    EXPECT_EQ(all.toString(), s);
    XStringRef w(s, 6, 0);
    EXPECT_EQ(w.toString(), "world");
    EXPECT_EQ(w.posBegin(), 6u);
    EXPECT_EQ(w.posEnd(), 10);
    EXPECT_EQ(w[0], QChar('w'));
    EXPECT_TRUE(w.charAt(5).isNull());
    EXPECT_EQ(w.toStringInfo(), "pos:6, size:5, <<<world>>> original <<<hello world>>>, size:11");
    XStringRef bad(s, 8, 4);
    EXPECT_EQ(bad.size(), 0u);
    EXPECT_TRUE(bad.toString().isEmpty());
    EXPECT_EQ(XStringRef(s, 4000000000u, 4000000000u).size(), 0u);  // no unsigned wrap
    EXPECT_EQ(XStringRef(s, 12, 0).size(), 0u);
    XStringRef end(s, 11, 0);
    EXPECT_EQ(end.size(), 0u);
    w.setInvalid();
    EXPECT_TRUE(w.toString().isEmpty());
    XStringRef inv = XStringRef::createInvalidStringRef();
    EXPECT_EQ(inv.size(), 0u);
    EXPECT_TRUE(inv.charAt(0).isNull());
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_TRUE(l.contains("XStringRef::XStringRef, ((pos + len) > s.length(), 8+4 > 11"));
    EXPECT_TRUE(l.contains("XStringRef::charAt, pos+index >= size(), 6+5 >= 5, return QChar()"));
    Logger::quit();
}

TEST(XDelimiter, WholeWords) {
    EXPECT_EQ(std::strlen(XDelimiter::pDelimASCII), 33u);
    EXPECT_EQ(XDelimiter::sDelimAll.size(), 48);
    EXPECT_EQ(XDelimiter::sDelimAll_Sentence.size(), 18);
    const QString t = "ab cd,ef";
    EXPECT_TRUE(XDelimiter::isWord(t, 0, 1, " ,"));
    EXPECT_TRUE(XDelimiter::isWord(t, 3, 4, " ,"));
    EXPECT_TRUE(XDelimiter::isWord(t, 6, 7, " ,"));
    EXPECT_FALSE(XDelimiter::isWord(t, 1, 1, " ,"));
    EXPECT_FALSE(XDelimiter::isWord(t, 2, 4, " ,"));  // starts with a delimiter
    EXPECT_FALSE(XDelimiter::isWord(t, 6, 8, " ,"));
    EXPECT_FALSE(XDelimiter::isWord(t, -1, 1, " ,"));
    EXPECT_FALSE(XDelimiter::isWord(t, 0, 1, ""));
    EXPECT_FALSE(XDelimiter::isWord(t, 4, 3, " ,"));

    zortest::LogCapture cap;
    const char mem[] = "ab cd\0ef";
    const std::size_t n = sizeof mem - 1;
    EXPECT_TRUE(XDelimiter::isWord(mem, n, mem, 2, " "));
    EXPECT_TRUE(XDelimiter::isWord(mem, n, mem + 3, 2, " "));  // the zero byte after it is a delimiter
    EXPECT_FALSE(XDelimiter::isWord(mem, n, mem, 2, ","));     // the start counts as a space
    EXPECT_TRUE(XDelimiter::isWord(mem, n, mem + 6, 2, " "));
    EXPECT_FALSE(XDelimiter::isWord(mem, n, mem + 7, 2, " "));
    EXPECT_FALSE(XDelimiter::isWord(mem, n, mem - 1, 1, " "));
    EXPECT_FALSE(XDelimiter::isWord(mem, n, mem, n + 1, " "));
    EXPECT_FALSE(XDelimiter::isWord(nullptr, n, mem, 1, " "));
    EXPECT_FALSE(XDelimiter::isWord(mem, n, nullptr, 1, " "));
    EXPECT_FALSE(XDelimiter::isWord(mem, n, mem, 1, nullptr));
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_EQ(l.count("XDelimiter::isWord, range !"), 3);
    for (const char* e : {"XDelimiter::isWord, pMem == nullptr", "XDelimiter::isWord, pWord == nullptr",
                          "XDelimiter::isWord, pDelim == nullptr"})
        EXPECT_TRUE(l.contains(e)) << e;
    Logger::quit();
}

TEST(MemSearch, FindsBytesAndWords) {
    zortest::LogCapture cap;
    const char abc[] = {'a', 'b', 'c'};  // not terminated: nothing may read past it
    EXPECT_EQ(memSearch(abc, 3, "abc", 3, false), abc);
    EXPECT_EQ(memSearch(abc, 3, "bc", 2, false), abc + 1);
    EXPECT_EQ(memSearch(abc, 3, "cd", 2, false), nullptr);
    EXPECT_EQ(memSearch(abc, 3, "ABC", 3, false), nullptr);
    EXPECT_EQ(memSearch(abc, 3, "ABC", 3, true), abc);
    const char aaab[] = "aaab";
    EXPECT_EQ(memSearch(aaab, 4, QStringLiteral("aab"), false), aaab + 1);
    EXPECT_EQ(memSearch(aaab, 4, QStringLiteral("AAB"), true), aaab + 1);
    const QByteArray u = QString::fromUtf8("x→y").toUtf8();
    EXPECT_EQ(memSearch(u.constData(), u.size(), QString::fromUtf8("→"), false), u.constData() + 1);
    const char zero[] = {'a', '\0', 'b'};
    EXPECT_EQ(memSearch(zero, 3, "\0b", 2, false), zero + 1);

    EXPECT_EQ(memSearch(abc, 3, "", 0, false), nullptr);
    EXPECT_EQ(memSearch(abc, 0, "a", 1, false), nullptr);
    EXPECT_EQ(memSearch(abc, 2, "abc", 3, false), nullptr);
    EXPECT_EQ(memSearch(nullptr, 3, "a", 1, false), nullptr);

    const char t1[] = "ab abc";
    EXPECT_EQ(memSearchWord(t1, 6, "abc", false), t1 + 3);
    const char t2[] = "xabc abc";
    EXPECT_EQ(memSearchWord(t2, 8, "abc", false), t2 + 5);
    const char t3[] = "xabc abcx";
    EXPECT_EQ(memSearchWord(t3, 9, "abc", false), nullptr);
    const char t4[] = "(ABC)";
    EXPECT_EQ(memSearchWord(t4, 5, "abc", true), t4 + 1);
    EXPECT_EQ(memSearchWord(t4, 5, "abc", false), nullptr);
    EXPECT_EQ(memSearchWord(t4, 5, "", false), nullptr);
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_EQ(l.count("zor::memSearch, lenSearch == 0"), 2);
    EXPECT_EQ(l.count("zor::memSearch, memSize == 0"), 1);
    EXPECT_EQ(l.count("zor::memSearch, memSize < lenSearch"), 1);  // a word search that goes on logs nothing
    Logger::quit();
}
