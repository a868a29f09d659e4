// The '$' formatter: every rendering must equal what the library's text stream writes.
#include <zor/XStringStream.h>
#include <zor/xformat.h>

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using zor::xformat;

namespace {

// The formatter written the slow way: byte by byte into a real XStringStream.
template <typename T>
void refPut(zor::XStringStream& s, const T& v) {
    if constexpr (std::is_same_v<T, bool>) s << (v ? "true" : "false");
    else if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>) s << (v ? v : "nullptr");
    else s << v;
}
inline void refFill(zor::XStringStream& s, const char* f) {
    for (; *f; ++f) s << QChar::fromLatin1(*f);
}
template <typename A, typename... R>
void refFill(zor::XStringStream& s, const char* f, const A& a, const R&... r) {
    for (; *f && *f != '$'; ++f) s << QChar::fromLatin1(*f);
    if (!*f) return;
    refPut(s, a);
    refFill(s, f + 1, r...);
}
template <typename... A>
QString reference(const char* f, const A&... a) {
    zor::XStringStream s;
    refFill(s, f, a...);
    return s.toString();
}

}  // namespace

TEST(XFormat, PlaceholdersAndArgumentCounts) {
    EXPECT_EQ(xformat("a$b$c", 1), QStringLiteral("a1b$c"));   // missing argument: rest verbatim
    EXPECT_EQ(xformat("ab", 1, 2), QStringLiteral("ab"));       // extra arguments ignored
    EXPECT_EQ(xformat("$$$", 1, 2), QStringLiteral("12$"));
    EXPECT_EQ(xformat("$"), QStringLiteral("$"));
    EXPECT_TRUE(xformat(nullptr, 5).isEmpty());
    EXPECT_TRUE(xformat("").isEmpty());
    EXPECT_EQ(xformat("no args at all"), QStringLiteral("no args at all"));
    EXPECT_EQ(xformat("$ items in '$'", 3, QStringLiteral("x.txt")), QStringLiteral("3 items in 'x.txt'"));
    // A '$' inside an argument is never a placeholder.
    EXPECT_EQ(xformat("[$] [$]", "$", 7), QStringLiteral("[$] [7]"));
}

TEST(XFormat, RenderingOfEveryArgumentType) {
    EXPECT_EQ(xformat("$", true), QStringLiteral("true"));
    EXPECT_EQ(xformat("$", false), QStringLiteral("false"));
    const char* none = nullptr;
    EXPECT_EQ(xformat("<$>", none), QStringLiteral("<nullptr>"));
    EXPECT_EQ(xformat("<$>", nullptr), QStringLiteral("<nullptr>"));
    EXPECT_EQ(xformat("$", "\xe4" "x"), QString::fromUtf8("\xc3\xa4x"));  // const char* is Latin-1
    EXPECT_EQ(xformat("$", 'Z'), QStringLiteral("Z"));
    EXPECT_EQ(xformat("$", QChar(0x263A)), QString(QChar(0x263A)));
    EXPECT_EQ(xformat("$", static_cast<signed char>(65)), QStringLiteral("65"));   // promoted to int
    EXPECT_EQ(xformat("$", static_cast<unsigned char>(66)), QStringLiteral("66"));
    EXPECT_EQ(xformat("$ $", static_cast<short>(-32768), static_cast<unsigned short>(65535)), QStringLiteral("-32768 65535"));
    EXPECT_EQ(xformat("$", std::numeric_limits<long long>::min()), QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(xformat("$", std::numeric_limits<unsigned long long>::max()), QStringLiteral("18446744073709551615"));
    EXPECT_EQ(xformat("$", 1234567), QStringLiteral("1234567"));  // no grouping
    EXPECT_EQ(xformat("$", 0.5), QStringLiteral("0.500000"));
    EXPECT_EQ(xformat("$", 2.0), QStringLiteral("2.000000"));
    EXPECT_EQ(xformat("$", 1.5f), QStringLiteral("1.500000"));
    EXPECT_EQ(xformat("$", -0.0), QStringLiteral("0.000000"));
    EXPECT_EQ(xformat("$", -1e-7), QStringLiteral("-0.000000"));
    EXPECT_EQ(xformat("$", 1.0 / 128), QStringLiteral("0.007813"));  // exact tie: away from zero
    EXPECT_EQ(xformat("$ $ $", NAN, INFINITY, -INFINITY), QStringLiteral("nan inf -inf"));
    EXPECT_EQ(xformat("$", QString::fromUtf8("gr\xc3\xbc\xc3\x9f")), QString::fromUtf8("gr\xc3\xbc\xc3\x9f"));
    EXPECT_EQ(xformat("$", QByteArray("\xc3\xa4")), QString::fromUtf8("\xc3\xa4"));  // QByteArray is UTF-8
    EXPECT_EQ(xformat("$", QLatin1String("lat")), QStringLiteral("lat"));
    const QString s = QStringLiteral("abcdef");
    EXPECT_EQ(xformat("$", s.midRef(2, 3)), QStringLiteral("cde"));
    enum Plain { A = 3 };
    EXPECT_EQ(xformat("$", A), QStringLiteral("3"));
    EXPECT_EQ(xformat("$", static_cast<const void*>(nullptr)), QStringLiteral("0x0"));  // the stream's pointer form
}

TEST(XFormat, IdenticalToTheStreamForTrickyTexts) {
    // Lone surrogates, a trailing high surrogate and a leading byte-order mark are changed by the
    // stream's UTF-8 round trip; the formatter must change them the same way.
    const QString lone = QString(QChar(0xD800)) + QLatin1Char('a');
    const QString lowAlone = QString(QLatin1Char('x')) + QChar(0xDC00) + QLatin1Char('y');
    const QString highEnd = QString(QLatin1Char('x')) + QChar(0xD83D);
    const QString pair = QString(QChar(0xD83D)) + QChar(0xDE00);
    const QString bom = QString(QChar(0xFEFF)) + QLatin1String("z");
    for (const QString& t : {lone, lowAlone, highEnd, pair, bom}) {
        EXPECT_EQ(xformat("$", t), reference("$", t));
        EXPECT_EQ(xformat("<$>", t), reference("<$>", t));
        EXPECT_EQ(xformat("$|$", t, t), reference("$|$", t, t));
    }
    EXPECT_EQ(xformat("$$", QChar(0xD83D), QChar(0xDE00)), reference("$$", QChar(0xD83D), QChar(0xDE00)));
    QString nul = QStringLiteral("a");
    nul.append(QChar(0));
    nul.append(QLatin1Char('b'));
    EXPECT_EQ(xformat("$", nul), reference("$", nul));
    EXPECT_EQ(xformat("$", nul).size(), 3);
    // Long results leave the small buffer.
    const QString big(5000, QLatin1Char('q'));
    EXPECT_EQ(xformat("[$][$]", big, 42), QLatin1Char('[') + big + QStringLiteral("][42]"));
    EXPECT_EQ(xformat("x$y", QByteArray("\xff\xfe")), reference("x$y", QByteArray("\xff\xfe")));
}

TEST(XFormat, DoublesMatchTheStreamEverywhere) {
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> exp10(-12, 17);
    int checked = 0;
    auto check = [&](double v) {
        const QString got = xformat("$", v);
        const QString want = reference("$", v);
        ASSERT_EQ(got, want) << "value bits " << std::hex << *reinterpret_cast<const unsigned long long*>(&v);
        ++checked;
    };
    for (int i = 0; i < 60000; ++i) {
        const double v = (unit(rng) - 0.5) * std::pow(10.0, exp10(rng));
        check(v);
    }
    for (int i = 0; i < 30000; ++i) {  // arbitrary bit patterns
        unsigned long long bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        check(v);
    }
    for (int k = -20000; k < 20000; k += 3) check(k / 128.0);  // ties and near ties
    for (int i = 0; i < 20000; ++i) {  // right at the rounding boundaries of the sixth decimal
        const double b = (static_cast<double>(rng() % 100000000) + 0.5) / 1e6;
        check(b);
        check(std::nextafter(b, 0.0));
        check(std::nextafter(b, 1e30));
        check(-b);
    }
    for (double v : {0.0, 1e-300, -1e-300, 5e-324, 4.9999999e-7, 5e-7, 9.9999995e14, 1e15, 123456789012345.678,
                     1.7976931348623157e308, 2.2250738585072014e-308, 0.1, 0.3, 2.675, 1e21})
        check(v);
    EXPECT_GT(checked, 100000);
}

TEST(XFormat, DoesNotDependOnTheDefaultLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(xformat("$ $", 1234567.25, 1234567), QStringLiteral("1234567.250000 1234567"));
    QLocale::setDefault(QLocale::c());
}
