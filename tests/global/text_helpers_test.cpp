#include <zor/TextHelpers.h>
#include <zor/XStringStream.h>
#include <zor/ZorLibraries.h>
#include <zor/ZorVersion.h>

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cstring>

using namespace zor;

TEST(TextHelpers, SpacesAndFillingWithCutOffs) {
    EXPECT_EQ(xspace(3), QStringLiteral("   "));
    EXPECT_TRUE(xspace(0).isEmpty());
    EXPECT_EQ(createSpace(1000001).size(), 1000000);
    EXPECT_EQ(createSpace(1000000).size(), 1000000);
    EXPECT_EQ(fillUpTo(QStringLiteral("abc"), 5), QStringLiteral("abc  "));
    EXPECT_EQ(fillUpTo(QStringLiteral("abcdef"), 3), QStringLiteral("abcdef"));
    EXPECT_EQ(fillUpTo(QStringLiteral("a"), 2000000).size(), 1000000);
}

TEST(TextHelpers, NumbersAndPointers) {
    EXPECT_EQ(formatFillZero(6, 4711), QStringLiteral("004711"));
    EXPECT_EQ(formatFillZero(6, -5), QStringLiteral("-00005"));  // as printf: the width counts the sign
    EXPECT_EQ(formatFillZero(2, 12345), QStringLiteral("12345"));
    EXPECT_EQ(formatFillZero(0, 7), QStringLiteral("7"));
    EXPECT_EQ(pointerString(nullptr), QStringLiteral("0x0"));
    EXPECT_EQ(pointerString(reinterpret_cast<const void*>(0x1f)), QStringLiteral("0x1f"));
    EXPECT_EQ(prf(nullptr), QStringLiteral("<<<prf,nullpointer>>>"));
    EXPECT_EQ(prf("%d-%s", 5, "x"), QStringLiteral("5-x"));
    EXPECT_TRUE(prf("%s", std::string(4096, 'a').c_str()).size() == 4096);  // long output is not cut
    EXPECT_TRUE(prf(std::string(4096, 'a').c_str()).isEmpty());               // an over-long format is refused
    EXPECT_EQ(xprintF(nullptr), QString());
    EXPECT_EQ(xprintF("\xe9"), QString(QChar(0xE9)));
}

TEST(TextHelpers, ThousandsAndDurationTexts) {
    EXPECT_EQ(format1000(0), QStringLiteral("0"));
    EXPECT_EQ(format1000(999), QStringLiteral("999"));
    EXPECT_EQ(format1000(1000), QStringLiteral("1.000"));
    EXPECT_EQ(format1000(1234567), QStringLiteral("1.234.567"));
    EXPECT_EQ(format1000(-1234), QStringLiteral("-1.234"));
    EXPECT_EQ(formatMicrosecond_as_Sec(2500000), QStringLiteral("2,500.000"));
    EXPECT_EQ(formatMicrosecond_as_Sec(1), QStringLiteral("0,000.001"));
    EXPECT_EQ(formatMicrosecond_as_Sec(61123456), QStringLiteral("61,123.456"));
}

TEST(TextHelpers, ByteSizesAndPercent) {
    EXPECT_EQ(formatBytes(1500), QStringLiteral("1.50 KB"));
    EXPECT_EQ(formatBytes(2.5e6), QStringLiteral("2.50 MB"));
    EXPECT_EQ(formatBytes(3e9 + 1), QStringLiteral("3.00 GB"));
    EXPECT_EQ(formatBytes(1e6), QStringLiteral("1000.00 KB"));  // "above", not "from"
    EXPECT_EQ(formatBytesMiB(2097152), QStringLiteral("2.00 MiB"));
    EXPECT_EQ(formatBytesMiB(1024), QStringLiteral("1.00 KiB"));
    EXPECT_EQ(formatBytesMiB(3.0 * 1073741824.0), QStringLiteral("3.00 GiB"));
    EXPECT_EQ(formatPercent(5.5, 1), QStringLiteral("05,5"));
    EXPECT_EQ(formatPercent(12.25, 3), QStringLiteral("12,250"));
    EXPECT_EQ(formatPercent(0.5, 9), QStringLiteral("00,500000"));  // precision reduced to 6
    EXPECT_EQ(formatPercent(100.0, 2), QStringLiteral("100,00"));
}

TEST(TextHelpers, BitsToString) {
    EXPECT_EQ(bitsToString(static_cast<unsigned char>(1)), QStringLiteral("1000_0000"));
    EXPECT_EQ(bitsToString(static_cast<unsigned char>(0x81), true), QStringLiteral("( 1000_0001 ) = 129"));
    EXPECT_EQ(bitsToString(static_cast<unsigned short>(0x0102)), QStringLiteral("0100_0000   1000_0000"));
    EXPECT_EQ(bitsToString(0x80000000u), QStringLiteral("0000_0000   0000_0000   0000_0000   0000_0001"));
}

TEST(StringStream, LibrarySettingsAndHelpers) {
    XStringStream s;
    s << 1.5 << ' ' << 7;
    s.print(nullptr);
    s.println(2, "x");
    s.appendF(nullptr);
    s.appendF("end");
    EXPECT_EQ(s.toString(), QStringLiteral("1.500000 7nullptr  x\nend"));
    EXPECT_TRUE(s.isOK());
    EXPECT_EQ(s.statusToString(), QStringLiteral("Ok"));

    QString target;
    XStringStream onString(target);
    onString << 0.25;
    EXPECT_EQ(onString.toString(), QStringLiteral("0.250000"));

    QString plainTarget;
    XStringStream plain(&plainTarget, QIODevice::WriteOnly);  // plain stream defaults
    plain << 0.25;
    plain.flush();
    EXPECT_EQ(plainTarget, QStringLiteral("0.25"));
}

TEST(Registry, PaddedNamesUnknownIdsAndLevelWords) {
    EXPECT_TRUE(ZorLibraries::isRegistryFilled());
    EXPECT_STREQ(ZorLibraries::libNameByIdent(300), "TBZ*");
    EXPECT_STREQ(ZorLibraries::libNameByIdent(100), "CORE");
    EXPECT_STREQ(ZorLibraries::libNameByIdent(1000), "APPL");
    EXPECT_STREQ(ZorLibraries::libNameByIdent(7), "UN-KN:7");
    // The padded names are frozen at the first lookup.
    ZorLibraries::addLib(4711, "LATE");
    EXPECT_STREQ(ZorLibraries::libNameByIdent(4711), "UN-KN:4711");
    EXPECT_EQ(getLibraryID(0x640004), 100u);
    EXPECT_STREQ(getLibraryName(0x640004), "CORE");
}

TEST(Registry, LongNamesAndDuplicatesBeforeTheFirstLookup) {
    testing::internal::CaptureStdout();
    ZorLibraries::addLib(77, std::string(129, 'n').c_str());  // refused
    ZorLibraries::addLib(78, std::string(128, 'm').c_str());  // accepted
    ZorLibraries::addLib(100, "CORE2");                        // renamed, with a notice
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ZorLibraries::addLib, libName.length() > 128 bytes !"), std::string::npos);
    EXPECT_NE(out.find("ZorLibraries::addLib 'CORE2' already present !"), std::string::npos);
    EXPECT_STREQ(ZorLibraries::libNameByIdent(77), "UN-KN:77");
    EXPECT_EQ(std::strlen(ZorLibraries::libNameByIdent(78)), 128u);
    // Every padded name now has the longest length: 128.
    const std::string core = ZorLibraries::libNameByIdent(100);
    EXPECT_EQ(core.size(), 128u);
    EXPECT_EQ(core.substr(0, 6), "CORE2 ");
    EXPECT_EQ(core.back(), '*');
}

TEST(Version, Texts) {
    EXPECT_EQ(ZorVersion::getVersion(), QStringLiteral("1.40.18"));
    EXPECT_DOUBLE_EQ(ZorVersion::getVersionNumber(), 1.4018);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [ 0-9]\\d \\d{4}$")).match(ZorVersion::getTimestamp_Date()).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(ZorVersion::getTimestamp_Time()).hasMatch());
    EXPECT_EQ(ZorVersion::all(), QStringLiteral("zor 1.40.18 ") + ZorVersion::getTimestamp_Date() + QLatin1Char(' ') +
                                     ZorVersion::getTimestamp_Time());
}
