#include <zor/Base64.h>
#include <zor/Environment.h>
#include <zor/Logger.h>
#include <zor/XRecord.h>

#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

using namespace zor;

namespace {


}  // namespace

TEST(XRecord, TextFormsOfTheTypedSetters) {
    XRecord r;
    r.setBool("b", true);
    r.setBool("nb", false);
    r.setShort("s", -5);
    r.setInt("i", INT_MIN);
    r.setUInt("u", UINT_MAX);
    r.setLong("l", LLONG_MIN);
    r.setULong("ul", ULLONG_MAX);
    r.setDouble("d", 0.5);
    r.setFloat("f", 0.25f);
    r.setDouble("big", 1e20);
    EXPECT_EQ(r.getString("b", ""), "true");
    EXPECT_EQ(r.getString("nb", ""), "false");
    EXPECT_EQ(r.getString("s", ""), "-5");
    EXPECT_EQ(r.getString("i", ""), "-2147483648");
    EXPECT_EQ(r.getString("u", ""), "4294967295");
    EXPECT_EQ(r.getString("l", ""), "-9223372036854775808");
    EXPECT_EQ(r.getString("ul", ""), "18446744073709551615");
    EXPECT_EQ(r.getString("d", ""), "0.500000");
    r.setDouble("nz", -0.0);
    EXPECT_EQ(r.getString("nz", ""), "-0.000000") << "printf keeps the sign of negative zero";
    EXPECT_EQ(r.getString("f", ""), "0.250000");
    EXPECT_EQ(r.getString("big", ""), "100000000000000000000.000000");
    // Round trips through the getters.
    EXPECT_TRUE(r.getBool("b", false));
    EXPECT_EQ(r.getInt("i", 0), INT_MIN);
    EXPECT_EQ(r.getUInt("u", 0), UINT_MAX);
    EXPECT_EQ(r.getLong("l", 0), LLONG_MIN);
    EXPECT_EQ(r.getULong("ul", 0), ULLONG_MAX);
    EXPECT_EQ(r.getDouble("d", 0), 0.5);
    EXPECT_EQ(r.getFloat("f", 0), 0.25f);
}

TEST(XRecord, GettersFallBackOnTextThatDoesNotParse) {
    XRecord r;
    r.setString("junk", "12abc");
    r.setString("neg", "-7");
    r.setString("abc", "abc");
    r.setString("big", "70000");
    r.setString("empty", "");
    r.setString("blank", " 5");
    EXPECT_EQ(r.getInt("junk", 9), 9);
    EXPECT_EQ(r.getInt("neg", 9), -7);
    EXPECT_EQ(r.getInt("missing", 9), 9);
    EXPECT_EQ(r.getInt("empty", 9), 9);
    EXPECT_EQ(r.getShort("big", 1), 4464) << "70000 cut to 16 bits";
    EXPECT_EQ(r.getShort("junk", 3), 3);
    EXPECT_EQ(r.getUInt("neg", 1), 0xFFFFFFF9u) << "read as 64-bit, then cut";
    EXPECT_EQ(r.getUInt("junk", 4), 4u);
    EXPECT_EQ(r.getLong("junk", -2), -2);
    EXPECT_EQ(r.getULong("neg", 8), 8u);
    EXPECT_EQ(r.getDouble("abc", 7.0), 0.0) << "a text that is no number gives 0, not the default";
    EXPECT_EQ(r.getDouble("missing", 7.0), 7.0);
    EXPECT_EQ(r.getFloat("abc", 7.0f), 0.0f);
    EXPECT_EQ(r.getFloat("neg", 0), -7.0f);

    const char* yes[] = {"On", "TRUE", "2", "true", "on"};
    const char* no[] = {"off", "0", "-1", "", "false", "no", "yes", "1.5x"};
    for (const char* t : yes) {
        r.setString("flag", t);
        EXPECT_TRUE(r.getBool("flag", false)) << t;
        EXPECT_TRUE(r.isBool("flag", false)) << t;
    }
    for (const char* t : no) {
        r.setString("flag", t);
        EXPECT_FALSE(r.getBool("flag", true)) << t;
    }
    EXPECT_TRUE(r.getBool("missing", true));
}

TEST(XRecord, StorageNamesAndFlags) {
    zortest::LogCapture cap;
    XRecord r;
    r.setString("", "x");
    EXPECT_TRUE(r.isEmpty()) << "an empty key is not stored";
    r.setString("b", "2");
    r.setString("a", "");
    EXPECT_TRUE(r.hasKey("a")) << "an empty value is a value";
    EXPECT_TRUE(r.isString("a", ""));
    EXPECT_FALSE(r.isString("zz", ""));
    EXPECT_EQ(r.firstKey(), "a");
    EXPECT_EQ(r.keys(), std::vector<QString>({"a", "b"}));
    EXPECT_EQ(r.getSetString("c", "new"), "new");
    EXPECT_EQ(r.getString("c", ""), "new");
    EXPECT_EQ(r.getSetString("c", "other"), "new");
    r.removeAttrib("c");
    EXPECT_EQ(r.countAttributes(), 2u);

    r.setName("");
    EXPECT_FALSE(r.hasName());
    EXPECT_TRUE(r.hasKey("name"));
    EXPECT_EQ(r.getName(), "");
    EXPECT_FALSE(r.isName(""));
    XRecord dest;
    dest.setString("old", "1");
    r.copyAttributesTo(&dest);
    EXPECT_FALSE(dest.hasKey("name")) << "an empty name is not copied";
    EXPECT_FALSE(dest.hasKey("old")) << "the destination is cleared";
    EXPECT_EQ(dest.countAttributes(), 2u);
    r.setName("node");
    EXPECT_TRUE(r.isName("node"));
    r.copyAttributesTo(&dest);
    EXPECT_EQ(dest.getName(), "node");

    EXPECT_FALSE(r.hasEnabledFlag());
    EXPECT_TRUE(r.isEnabled(true));
    r.setEnabled(false);
    EXPECT_TRUE(r.hasEnabledFlag());
    EXPECT_FALSE(r.isEnabled(true));
    r.setVisible(true);
    EXPECT_TRUE(r.hasVisibleFlag());
    EXPECT_TRUE(r.isVisible(false));

    QTemporaryDir dir;
    const QString file = dir.filePath("f.txt");
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(file, QByteArray()));
    r.setString("file", file);
    r.setString("dir", dir.path());
    r.setString("gone", dir.filePath("gone.txt"));
    EXPECT_EQ(r.getExistingFile("file", "d"), file);
    EXPECT_EQ(r.getExistingFile("dir", "d"), "d") << "a directory is no file";
    EXPECT_EQ(r.getExistingFile("gone", "d"), "d");
    EXPECT_EQ(r.getExistingFile("missing", "d"), "d");

    r.clear();
    EXPECT_FALSE(r.hasAttributes());
    r.reset();
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XRecord::setString, key == ''"));
    EXPECT_TRUE(cap.containsText("XRecord::reset_thumb"));
    Logger::quit();
}

TEST(XRecord, AppendStringInAnyOrderAndOverwriting) {
    zortest::LogCapture cap;
    XRecord r;
    r.setString("b", "1");
    r.setString("b", "2");
    EXPECT_EQ(r.getString("b", ""), "2") << "setString overwrites";
    r.appendString("c", "3");  // above every key: goes to the end
    r.appendString("a", "0");  // below: still stored in its place
    r.appendString("b", "22");  // existing: takes the new value, no second entry
    r.appendString("", "x");
    EXPECT_EQ(r.keys(), std::vector<QString>({"a", "b", "c"}));
    EXPECT_EQ(r.getString("b", ""), "22");
    EXPECT_EQ(r.getString("c", ""), "3");
    r.appendString("c", "33");  // the last key again
    EXPECT_EQ(r.countAttributes(), 3u);
    EXPECT_EQ(r.getString("c", ""), "33");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XRecord::setString, key == ''"));
    Logger::quit();
}

TEST(XRecord, CopyToNullIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);  // the notice goes to standard output
            XRecord r;
            r.copyAttributesTo(nullptr);
        },
        ::testing::ExitedWithCode(1), "table == NULL");
}

TEST(XRecord, FloatArraysAndStringArrays) {
    zortest::LogCapture cap;
    XRecord r;
    float out[3] = {9, 9, 9};
    r.setString("few", "1, 2");
    ASSERT_TRUE(r.getArrayFloat("few", out, 3));
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], 2.0f);
    EXPECT_EQ(out[2], 0.0f);
    r.setString("many", "1,2,3,4");
    ASSERT_TRUE(r.getArrayFloat("many", out, 3));
    EXPECT_EQ(out[2], 3.0f);
    r.setString("bad", "1\tx 3");
    ASSERT_TRUE(r.getArrayFloat("bad", out, 3));
    EXPECT_EQ(out[1], 0.0f) << "a token that is no number reads as 0";
    EXPECT_FALSE(r.getArrayFloat("missing", out, 3));
    EXPECT_FALSE(r.getArrayFloat("few", nullptr, 3));

    const float in[] = {1.5f, -2.0f, 0.1f, 1e7f};
    r.setArrayFloat("arr", in, 4);
    EXPECT_EQ(r.getString("arr", ""), "1.5,-2,0.1,1e+07");
    r.setArrayFloat("null", nullptr, 2);
    EXPECT_FALSE(r.hasKey("null"));
    EXPECT_TRUE(r.hasArray("arr"));
    EXPECT_FALSE(r.hasArray("missing"));

    r.setString("words", " a, b\tc ,,d ");
    EXPECT_EQ(r.getArrayString("words"), std::vector<QString>({"a", "b", "c", "d"}));
    EXPECT_TRUE(r.getArrayString("missing").empty());

    const std::vector<QString> strings = {"one", "", QString::fromUtf8("drei \xC3\xBC"), "a,b \"q\""};
    r.set_string_array("sa", strings);
    EXPECT_EQ(r.get_string_array("sa"), strings);
    r.set_string_array("none", {});
    EXPECT_TRUE(r.get_string_array("none").empty());
    EXPECT_TRUE(r.get_string_array("missing").empty());
    r.setString("junk", "!!not base64!!");
    EXPECT_TRUE(r.get_string_array("junk").empty()) << "garbage decodes to nothing usable, not a crash";

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(
        "XRecord::getArrayFloat, too less tokens, expected 3 but we have 2, fill up with '0' "));
    EXPECT_TRUE(cap.containsText("XRecord::getArrayFloat, too many tokens, expected 3 but we have 4, truncate...."));
    EXPECT_TRUE(cap.containsText("XRecord::setArrayFloat, ar == nullptr"));
    Logger::quit();
}

TEST(XRecord, Base64BytesAndMemory) {
    zortest::LogCapture cap;
    XRecord r;
    const QString text = QString::fromUtf8("quote \" and line\nend \xE2\x82\xAC");
    r.setBase64String("t64", text);
    EXPECT_EQ(r.getString("t64", ""), "cXVvdGUgIiBhbmQgbGluZQplbmQg4oKs");
    EXPECT_EQ(r.getBase64String("t64", "d"), text);
    EXPECT_EQ(r.getBase64String("missing", "d"), "d");
    String64 s64(text);
    r.setString64("plain", s64);
    EXPECT_EQ(r.getString("plain", ""), text);

    const QByteArray bytes("\x01\x02\xFF\x00", 4);
    r.setQByteArray("bytes", bytes);
    EXPECT_EQ(base64_decode(r.getString("bytes", "")), "1, 2, 255, 0");
    EXPECT_EQ(r.getQByteArray("bytes"), bytes);
    EXPECT_TRUE(r.getQByteArray("missing").isEmpty());
    r.setBase64String("badbytes", "1, 300, x, 2");
    EXPECT_EQ(r.getQByteArray("badbytes"), QByteArray("\x01\x02", 2));

    XMem mem(std::size_t(1000), 0xAB);
    r.set_mem("mem", mem);
    const XMem back = r.get_mem("mem");
    ASSERT_EQ(back.size(), 1000u);
    EXPECT_EQ(static_cast<unsigned char>(back.mem()[999]), 0xABu);
    r.set_mem("emptymem", XMem());
    EXPECT_EQ(r.getString("emptymem", "x"), "");
    EXPECT_TRUE(r.get_mem("emptymem").isEmpty());
    EXPECT_TRUE(r.get_mem("missing").isEmpty());

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XRecord::getQByteArray, key:badbytes, not a byte:'300'"));
    Logger::quit();
}

TEST(XRecord, Enumerations) {
    zortest::LogCapture cap;
    StringEnum e("1,red,green, blue ");
    EXPECT_EQ(e.index(), 1);
    EXPECT_EQ(e.enumStr(), "green");
    EXPECT_TRUE(e.isEnumString("green"));
    EXPECT_EQ(e.getVectorStrings(), std::vector<QString>({"red", "green", "blue"}));
    e.setIndex(2);
    EXPECT_EQ(e.text(), "2,red,green,blue");
    EXPECT_EQ(e.enumStr(), "blue");
    e.setIndex(-1);
    EXPECT_EQ(e.text(), "2,red,green,blue");
    e.setIndex(7);
    EXPECT_EQ(e.enumStr(), "") << "an index past the options selects nothing";
    const StringEnum noIndex(std::vector<QString>{"a", "b"});
    EXPECT_EQ(noIndex.text(), "a,b");
    EXPECT_EQ(noIndex.index(), -1);
    EXPECT_EQ(noIndex.enumStr(), "");
    EXPECT_EQ(noIndex.getVectorStrings().size(), 2u);
    EXPECT_EQ(StringEnum("").getVectorStrings().size(), 0u);

    XRecord r;
    const StringEnum def("0,x,y");
    r.setString("one", "red");
    EXPECT_EQ(r.getStringEnum("one", def), def);
    EXPECT_EQ(r.getStringEnum("missing", def), def);
    r.setStringEnum("col", StringEnum("1,red,green"));
    EXPECT_EQ(r.getStringEnum("col", def).enumStr(), "green");
    e.show(2);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XRecord::getStringEnum, key:one, value:'red' ?"));
    EXPECT_TRUE(cap.containsText("StringEnum::setIndex, index:-1"));
    EXPECT_EQ(cap.lastLines(4), "StringEnum, size:3, index:7|'red'|'green'|'blue'");
    Logger::quit();
}

TEST(XRecord, GeometryRoundTripsAndBadComponents) {
    XRecord r;
    r.setQRect("r", QRect(1, 2, 3, 4));
    EXPECT_EQ(r.getString("r", ""), "1,2,3,4");
    EXPECT_EQ(r.getQRect("r"), QRect(1, 2, 3, 4));
    r.setString("r", "1, 2, 3, 4");
    EXPECT_EQ(r.getQRect("r"), QRect(1, 2, 3, 4));
    r.setString("r3", "1,2,3");
    EXPECT_EQ(r.getQRect("r3"), XRecord::QRECT_DEFAULT);
    EXPECT_TRUE(r.getQRect("r3").isNull());
    r.setString("rx", "1,2,x,4");
    EXPECT_EQ(r.getQRect("rx", QRect(9, 9, 9, 9)), QRect(9, 9, 9, 9));
    EXPECT_EQ(r.getQRect("missing"), XRecord::QRECT_DEFAULT);

    r.setQPoint("p", QPoint(-3, 7));
    EXPECT_EQ(r.getString("p", ""), "-3,7");
    EXPECT_EQ(r.getQPoint("p"), QPoint(-3, 7));
    r.setQSize("s", QSize(640, 480));
    EXPECT_EQ(r.getQSize("s"), QSize(640, 480));
    EXPECT_EQ(r.getQSize("p3"), QSize(-1, -1));
    r.setQMargins("m", QMargins(1, 2, 3, 4));
    EXPECT_EQ(r.getString("m", ""), "1,2,3,4");
    EXPECT_EQ(r.getQMargins("m"), QMargins(1, 2, 3, 4));
    r.setQPointF("pf", QPointF(1.5, -0.25));
    EXPECT_EQ(r.getString("pf", ""), "1.500000,-0.250000");
    EXPECT_EQ(r.getQPointF("pf"), QPointF(1.5, -0.25));
    r.setString("pf2", "1.5,2");  // the short form of older files reads as well
    EXPECT_EQ(r.getQPointF("pf2"), QPointF(1.5, 2));
    r.setQSizeF("sf", QSizeF(2.5, 3));
    EXPECT_EQ(r.getString("sf", ""), "2.500000,3.000000");
    EXPECT_EQ(r.getQSizeF("sf"), QSizeF(2.5, 3));
    r.setQRectF("rf", QRectF(0.5, 1, 2, 3.75));
    EXPECT_EQ(r.getString("rf", ""), "0.500000,1.000000,2.000000,3.750000");
    EXPECT_EQ(r.getQRectF("rf"), QRectF(0.5, 1, 2, 3.75));
    EXPECT_EQ(r.getQRectF("r3"), XRecord::QRECT_F_DEFAULT);
    r.setRes("res", Res(1920, 1080));
    EXPECT_EQ(r.getString("res", ""), "1920,1080");
    EXPECT_EQ(r.getRes("res"), Res(1920, 1080));
    EXPECT_EQ(r.getRes("p3"), XRecord::RES_DEFAULT);
}

TEST(XRecord, TextFormsAndShowContents) {
    zortest::LogCapture cap;
    XRecord r;
    EXPECT_EQ(r.toString(), ", attributes:0, {}");
    r.setString("b", "two words");
    r.setString("a", "1");
    r.setBase64String("s64", "secret");
    EXPECT_EQ(r.toStringAttributes(), "a: '1', b: 'two words', s64: 'c2VjcmV0'");
    EXPECT_EQ(r.toString(), ", attributes:3, {a: '1', b: 'two words', s64: 'c2VjcmV0'}");
    EXPECT_EQ(r.toStringCmd(), "--a 1 --b two words --s64 c2VjcmV0");
    EXPECT_EQ(r.toStringEnv(), "a=1 b=two words s64=c2VjcmV0");
    r.showContents(2, INFO);
    zortest::drainLogger();
    EXPECT_EQ(cap.lastLines(4), "XRecord, 3 attributes|a: '1'|b: 'two words'|s64: 'secret'");
    EXPECT_EQ(cap.messages().back().level & 0xFFFFu, static_cast<unsigned>(INFO));
    r.showContents(0, INFO, [](const QString& k, const QString& v) { return k + "=" + v; });
    zortest::drainLogger();
    EXPECT_EQ(cap.lastLines(1), "s64=secret");
    Logger::quit();
}

TEST(XRecord, FromStringBothFormsAndBadInput) {
    zortest::LogCapture cap;
    XRecord r;
    EXPECT_TRUE(r.fromString(" a=\"1\" b = \"x y; z\"\tc=\"\" d=\"<>&'\" "));
    EXPECT_EQ(r.getString("a", "-"), "1");
    EXPECT_EQ(r.getString("b", "-"), "x y; z");
    EXPECT_EQ(r.getString("c", "-"), "");
    EXPECT_EQ(r.getString("d", "-"), "<>&'");
    EXPECT_EQ(r.countAttributes(), 4u);

    XRecord bad;
    EXPECT_FALSE(bad.fromString("a=\"1\" b=\"open"));
    EXPECT_EQ(bad.getString("a", ""), "1") << "the pairs before the fault are kept";
    EXPECT_FALSE(bad.hasKey("b"));
    EXPECT_FALSE(bad.fromString("a=\"1\" trailing"));
    EXPECT_FALSE(bad.fromString("=\"v\""));
    EXPECT_TRUE(bad.fromString(""));

    XRecord e;
    EXPECT_TRUE(e.fromString(" charset = utf-8 ; q=\" 0.5 \";bad;x=1=2;k v=\"w\"; z=\"a\"b\"; =v;next=1\nx=2", true,
                             false));
    EXPECT_EQ(e.getString("charset", ""), "utf-8");
    EXPECT_EQ(e.getString("q", ""), "0.5");
    EXPECT_FALSE(e.hasKey("bad"));
    EXPECT_FALSE(e.hasKey("x"));
    EXPECT_FALSE(e.hasKey("k"));
    EXPECT_FALSE(e.hasKey("z"));
    EXPECT_FALSE(e.hasKey("next")) << "line ends are no separators in this form";
    EXPECT_EQ(e.countAttributes(), 2u);
    XRecord lines;
    EXPECT_TRUE(lines.fromString("a=1\nb=\"2\"\r\nc=3;d=4", true, true));
    EXPECT_EQ(lines.toStringEnv(), "a=1 b=2 c=3 d=4");

    setEnv("ZOR_XRECORD_T1", "from env");
    XRecord env;
    env.fromEnvironment();
    EXPECT_EQ(env.getString("ZOR_XRECORD_T1", ""), "from env");

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("zor::parseAttributesClassic, '\"' expected,2"));
    EXPECT_TRUE(cap.containsText("zor::parseAttributesClassic, '\"' expected,1"));
    EXPECT_TRUE(cap.containsText("zor::parseAttributesClassic, key, toks_Sub.size() == 0"));
    Logger::quit();
}
