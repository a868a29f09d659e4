// XByteArray: integers, text helpers and the compressed block.
#include "support/CaptureAppender.h"

#include <zor/Base64.h>
#include <zor/MD5.h>
#include <zor/XByteArray.h>
#include <zor/ZorErrorCodes.h>

#include <gtest/gtest.h>

using namespace zor;

TEST(XByteArray, BigEndianIntegersAndPadding) {
    zortest::LogCapture cap;
    XByteArray a;
    a.writeUInt32(0x01020304u);
    EXPECT_EQ(static_cast<QByteArray>(a), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(a.readUInt32(), 0x01020304u);
    EXPECT_EQ(a.readUInt16(), 0x0102u);
    EXPECT_EQ(a.size(), 4) << "reading consumes nothing";
    XByteArray b;
    b.writeUInt16(0xFEDC);
    b.writeUInt8(0x7F);
    b.writePadByte();
    b.writePadBytes(2);
    b.writePadBytes(-1);
    EXPECT_EQ(static_cast<QByteArray>(b), QByteArray("\xFE\xDC\x7F\x00\x00\x00", 6));
    EXPECT_EQ(b.readUInt32(), 0xFEDC7F00u);
    // Too short to read: 0 and an error line, never an over-read.
    XByteArray one(1, '\x05');
    EXPECT_EQ(one.readUInt16(), 0u);
    EXPECT_EQ(XByteArray().readUInt32(), 0u);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::readUInt16, size:1 < 2")));
}

TEST(XByteArray, TextHelpersStopAtTheFirstZero) {
    XByteArray a(QByteArray("hello, world\0tail", 17));
    EXPECT_EQ(a.length(), 17u);
    EXPECT_EQ(a.toStdString(), std::string("hello, world"));
    EXPECT_EQ(a.toQString(), QStringLiteral("hello, world"));
    EXPECT_EQ(a.find(QStringLiteral("o")), 4u);
    EXPECT_EQ(a.rfind(QStringLiteral("o")), 8u);
    EXPECT_EQ(a.find(QStringLiteral("tail")), std::string::npos) << "bytes after the zero are not searched";
    EXPECT_EQ(a.find_first_not_of(QStringLiteral("hel")), 4u);
    EXPECT_EQ(a.substr(7, 5), std::string("world"));
    EXPECT_EQ(a.substr(13, 100), std::string("tail"));
    EXPECT_EQ(a.substr(100, 2), std::string());

    const QList<XByteArray> toks = XByteArray(QByteArray(",a,,b c,")).splitX(QStringLiteral(", "));
    ASSERT_EQ(toks.size(), 3);
    EXPECT_EQ(toks[0], QByteArray("a"));
    EXPECT_EQ(toks[1], QByteArray("b"));
    EXPECT_EQ(toks[2], QByteArray("c"));
    // Bytes above 127 are Latin-1 characters: each token comes back as their UTF-8 form.
    const QList<XByteArray> latin = XByteArray(QByteArray("\xE9;x")).splitX(QStringLiteral(";"));
    ASSERT_EQ(latin.size(), 2);
    EXPECT_EQ(latin[0], QByteArray("\xC3\xA9"));
    EXPECT_TRUE(XByteArray().splitX(QStringLiteral(",")).isEmpty());

    XByteArray t;
    t += std::string("ab");
    t += QString::fromUtf8("\xC3\xA9");
    t.writeQStringUTF8(QStringLiteral("z"), true);
    EXPECT_EQ(static_cast<QByteArray>(t), QByteArray("ab\xC3\xA9z\n"));
    EXPECT_EQ(static_cast<QByteArray>(XByteArray::fromStringLines({QStringLiteral("a"), QStringLiteral("b")}, true)),
              QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(static_cast<QByteArray>(XByteArray::fromStringLines({QStringLiteral("a")}, false)), QByteArray("a\n"));

    XByteArray x(3, 'q');
    EXPECT_TRUE(x == QByteArray("qqq"));
    EXPECT_TRUE(x == XByteArray("qqq", 3));
    EXPECT_TRUE(x != XByteArray("qq", 2));
    EXPECT_TRUE(static_cast<bool>(x));
    EXPECT_FALSE(static_cast<bool>(XByteArray()));
    EXPECT_TRUE(XByteArray().empty());
    x.erase(0, 2);
    EXPECT_EQ(x, QByteArray("q"));
    EXPECT_EQ(XByteArray::fromMem("abc", 3), QByteArray("abc"));
    EXPECT_EQ(XByteArray("abc", 3).md5String(), MD5::md5FromQByteArray(QByteArray("abc")));
}

TEST(XByteArray, CompressedBlockRoundTripAndDamage) {
    zortest::LogCapture cap;
    QByteArray src;
    for (int i = 0; i < 20000; ++i) src.append(static_cast<char>(i % 97));
    const XByteArray c = XByteArray::compress(src);
    ASSERT_GT(c.size(), 20);
    EXPECT_EQ(c.left(16), MD5::md5_16(c.mid(16))) << "the leading digest covers the rest";
    EXPECT_EQ(c.mid(16), qCompress(src));
    EXPECT_EQ(XByteArray::unCompress(c), src);
    EXPECT_EQ(XByteArray::unCompress(XByteArray::compress(QByteArray())), QByteArray());
    EXPECT_EQ(XByteArray::unCompress(XByteArray::compress(QByteArray(1, 'x'))), QByteArray(1, 'x'));

    for (int pos : {0, 15, 16, 17, 20, c.size() - 1}) {
        QByteArray bad = c;
        bad[pos] = static_cast<char>(bad[pos] ^ 0x40);
        EXPECT_TRUE(XByteArray::unCompress(bad).isEmpty()) << pos;
    }
    EXPECT_TRUE(XByteArray::unCompress(c.left(c.size() - 1)).isEmpty()) << "truncated";
    EXPECT_TRUE(XByteArray::unCompress(c.left(10)).isEmpty()) << "shorter than the digest";
    EXPECT_TRUE(XByteArray::unCompress(QByteArray()).isEmpty());

    // A correct digest over a body that lies about its length: refused before allocating 4 GB.
    QByteArray body("\xFF\xFF\xFF\xF0garbage", 11);
    EXPECT_TRUE(XByteArray::unCompress(MD5::md5_16(body) + body).isEmpty());
    QByteArray junk("\x00\x00\x00\x05junk!", 9);
    EXPECT_TRUE(XByteArray::unCompress(MD5::md5_16(junk) + junk).isEmpty()) << "a correct digest over a broken stream";
    QByteArray shortBody("\x00\x01", 2);
    EXPECT_TRUE(XByteArray::unCompress(MD5::md5_16(shortBody) + shortBody).isEmpty());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::unCompress, CHECKSUM-ERROR, return empty array!")));
}

TEST(Base64, TextRoundTrip) {
    EXPECT_EQ(base64_encode(QStringLiteral("abc")), QStringLiteral("YWJj"));
    EXPECT_EQ(base64_encode(QStringLiteral("ab")), QStringLiteral("YWI="));
    EXPECT_EQ(base64_encode(QString()), QString());
    const QString text = QString::fromUtf8("gr\xC3\xBC\xC3\x9F dich, \xE4\xB8\xAD");
    EXPECT_EQ(base64_decode(base64_encode(text)), text);
    EXPECT_EQ(base64_decode(QStringLiteral("YWJj")), QStringLiteral("abc"));
}
