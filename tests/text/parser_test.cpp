#include <zor/FatalChecks.h>
#include <zor/FloatParser.h>
#include <zor/IntegerParser.h>
#include <zor/Logger.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace zor;

namespace {
std::uint64_t bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}
}  // namespace

TEST(IntegerParser, AcceptsOnlyWholeDecimalText) {
    EXPECT_EQ(IntegerParser::NaN, -9223372036854775807LL - 1);
    EXPECT_EQ(IntegerParser::stoi(" -42 "), -42);
    EXPECT_EQ(IntegerParser::stoi("\t+7\t"), 7);
    EXPECT_EQ(IntegerParser::stoi("0"), 0);
    EXPECT_EQ(IntegerParser::stoi("9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(IntegerParser::stoi("-9223372036854775808"), IntegerParser::NaN);
    EXPECT_EQ(IntegerParser::stoi("18446744073709551617"), 1);  // wraps, no overflow check
    for (const char* bad : {"4x", "", " ", "-", "+", "--1", "1 2", "0x10", "1.0", "\n1", "1\n", "\xff"})
        EXPECT_EQ(IntegerParser::stoi(bad), IntegerParser::NaN) << bad;
    const char embedded[] = {'1', '\0', '2', '\0'};
    EXPECT_EQ(IntegerParser::stoi(embedded), 1);  // the text ends at the first zero
    EXPECT_EQ(IntegerParser::stoi(std::string(100000, '0').c_str()), 0);
    EXPECT_TRUE(Parser::is_digit('9') && !Parser::is_digit('a') && Parser::is_white_space('\t') &&
                !Parser::is_white_space('\n'));
}

TEST(FloatParser, ErrorValuesAndStof) {
    EXPECT_EQ(bits(FloatParser::NaN), 0x0010000000000000ull);
    EXPECT_EQ(bits(FloatParser::NOT_A_NUMBER), 0x7FF8000000000000ull);
    EXPECT_FALSE(FloatParser::DEBUG_PARSE);

    EXPECT_EQ(FloatParser::stof("1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(FloatParser::stof("1e400"), 1e308);
    EXPECT_DOUBLE_EQ(FloatParser::stof("1e-400"), 1e-308);  // the exponent is clamped, no underflow
    EXPECT_TRUE(std::isinf(FloatParser::stof("20e308")));
    EXPECT_EQ(FloatParser::stof(" -2.5 "), -2.5);
    EXPECT_EQ(FloatParser::stof("+.5"), 0.5);
    EXPECT_EQ(FloatParser::stof("5."), 5.0);
    EXPECT_EQ(FloatParser::stof("3e"), 3.0);
    EXPECT_EQ(FloatParser::stof("2E+2"), 200.0);
    EXPECT_EQ(FloatParser::stof("25e-1"), 2.5);
    EXPECT_EQ(FloatParser::stof("1e99999999999999999999"), FloatParser::stof("1e308"));  // no exponent overflow
    EXPECT_DOUBLE_EQ(FloatParser::stof("0.1"), 0.1);
    EXPECT_DOUBLE_EQ(FloatParser::stof("123456.789e-3"), 123.456789);
    EXPECT_EQ(FloatParser::stof(("0." + std::string(5000, '0') + "1").c_str()), 0.0);  // far digits vanish
    for (const char* bad : {"abc", "", " ", ".", "-", "e5", "1.5-3", "1,5", "1e5x", "1 2", "inf", "nan", "\n1"})
        EXPECT_EQ(bits(FloatParser::stof(bad)), bits(FloatParser::NaN)) << bad;
}

TEST(FloatParser, LegacySignExponent) {
    EXPECT_EQ(FloatParser::stof_legacy("2.5-1"), 0.25);
    EXPECT_DOUBLE_EQ(FloatParser::stof_legacy("1.5-3"), 0.0015);
    EXPECT_EQ(FloatParser::stof_legacy("2+2"), 200.0);
    EXPECT_EQ(FloatParser::stof_legacy("-2.5e-1"), -0.25);
    EXPECT_EQ(FloatParser::stof_legacy("4-"), 4.0);
    EXPECT_EQ(bits(FloatParser::stof_legacy("2.5-1x")), bits(FloatParser::NaN));
    EXPECT_EQ(bits(FloatParser::stof_legacy("+-1")), bits(FloatParser::NaN));
}

TEST(FloatParser, AsciiToFloatRanges) {
    EXPECT_EQ(FloatParser::asciiToFloat("3,25"), 3.25);
    EXPECT_EQ(FloatParser::asciiToFloat("-12"), -12.0);
    EXPECT_EQ(FloatParser::asciiToFloat("12xyz"), 12.0);
    EXPECT_EQ(FloatParser::asciiToFloat(" 1.5E2 m"), 150.0);
    EXPECT_EQ(FloatParser::asciiToFloat("abc"), 0.0);
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat("")));
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat("  -")));
    const char* s = "12345";
    EXPECT_EQ(FloatParser::asciiToFloat(s, s + 3), 123.0);  // stops at the end of the range
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat(s, s)));
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat(s + 2, s)));      // end before start
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat(s, s + 6)));      // past the terminating zero
    EXPECT_EQ(FloatParser::asciiToFloat(s, s + 5), 12345.0);          // up to the zero is fine
    const char e[] = "1e";
    EXPECT_EQ(FloatParser::asciiToFloat(e, e + 2), 1.0);
    const char embedded[] = {'1', '\0', '2', '\0'};
    EXPECT_TRUE(std::isnan(FloatParser::asciiToFloat(embedded, embedded + 3)));
}

TEST(FloatParser, AsciiToFloatTraceLines) {
    zortest::LogCapture cap;
    FloatParser::asciiToFloat("-1.5e-2");  // no trace while the switch is off
    FloatParser::DEBUG_PARSE = true;
    EXPECT_DOUBLE_EQ(FloatParser::asciiToFloat("-1.5e-2"), -0.015);
    FloatParser::asciiToFloat("2e+1");
    const char* s = "1";
    FloatParser::asciiToFloat(s, s + 2);
    FloatParser::asciiToFloat(" ");
    const std::string longText(5000, '7');
    FloatParser::asciiToFloat(longText.c_str());
    FloatParser::DEBUG_PARSE = false;
    zortest::drainLogger();
    const QStringList l = cap.texts();
    const QStringList expected{"FloatParser - DEBUG '-1.5e-2'",
                               "FloatParser::asciiToFloat, value before '.' is:1.000000",
                               "FloatParser::asciiToFloat, found '-'",
                               "FloatParser::asciiToFloat, expon: 2",
                               "FloatParser::asciiToFloat, found '+'",
                               "FloatParser::asciiToFloat, pEnd not valid !",
                               "FloatParser - DEBUG ' '",
                               "FloatParser::asciiToFloat, p >= pEnd",
                               "FloatParser - DEBUG '" + QString(4087, '7') + " OVERFLOW'"};
    for (const QString& e : expected) EXPECT_EQ(l.count(e), 1) << e.toStdString();
    EXPECT_EQ(l.filter("FloatParser - DEBUG").size(), 4);
    Logger::quit();
}

TEST(FloatParserDeath, NullTextIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            IntegerParser::stoi(nullptr);
        },
        ::testing::ExitedWithCode(1), "c_str == NULL");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            FloatParser::asciiToFloat("1", nullptr);
        },
        ::testing::ExitedWithCode(1), "pEnd == NULL");
}
