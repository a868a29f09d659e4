// The MD5 digest: the RFC 1321 test suite, block boundaries, renderings and comparisons.
#include <zor/MD5.h>

#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <string>

using namespace zor;

TEST(MD5, Rfc1321TestSuite) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, hex] : suite) {
        const unsigned len = static_cast<unsigned>(std::strlen(text));
        EXPECT_EQ(MD5(text, len).hexdigest(false, false), QString::fromLatin1(hex)) << text;
        EXPECT_EQ(MD5(QString::fromLatin1(text)).hexdigest(false, false), QString::fromLatin1(hex)) << text;
        // The same bytes fed one at a time must give the same digest (buffering across calls).
        MD5 byByte;
        for (unsigned i = 0; i < len; ++i) byByte.update(text[i]);
        EXPECT_EQ(byByte.finalize().hexdigest(false, false), QString::fromLatin1(hex)) << text;
        EXPECT_EQ(MD5::md5FromString(QString::fromLatin1(text)), QString::fromLatin1(hex).toUpper());
    }
}

TEST(MD5, SplitsAtEveryOffsetAgreeAroundBlockAndPaddingBoundaries) {
    // 55, 56, 63, 64 and 65 bytes are where the padding spills into an extra block.
    std::string data;
    for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i * 7 + 3));
    for (std::size_t len : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 200u, 300u}) {
        const MD5 whole(data.data(), static_cast<unsigned>(len));
        for (std::size_t cut = 0; cut <= len; cut += (len > 70 ? 13 : 1)) {
            MD5 parts;
            parts.update(data.data(), static_cast<unsigned>(cut));
            parts.update(data.data() + cut, static_cast<unsigned>(len - cut));
            parts.finalize();
            ASSERT_TRUE(parts == whole) << "len " << len << " cut " << cut;
        }
    }
    // A million 'a' (the classic long vector), in uneven pieces.
    const std::string million(1000000, 'a');
    MD5 m;
    std::size_t done = 0;
    for (unsigned piece = 1; done < million.size(); piece = piece * 3 % 4099 + 1) {
        const std::size_t n = std::min<std::size_t>(piece, million.size() - done);
        m.update(million.data() + done, static_cast<unsigned>(n));
        done += n;
    }
    EXPECT_EQ(m.finalize().toString(), QStringLiteral("7707D6AE4E027C70EEA2A935C2296F21"));
}

TEST(MD5, RenderingsAndStates) {
    MD5 open;
    EXPECT_FALSE(open.isFinalized());
    EXPECT_EQ(open.hexdigest(true, true), QStringLiteral("MD5-NOT-FINALIZED"));
    EXPECT_EQ(open.toString(), QStringLiteral("MD5-NOT-FINALIZED"));
    EXPECT_EQ(open.hexDigest(true), QByteArray("MD5-NOT-FINALIZED"));
    MD5 open2;
    EXPECT_FALSE(open == open2) << "two unfinalised objects never compare equal";
    EXPECT_TRUE(open != open2);

    const MD5 abc("abc", 3u);
    EXPECT_EQ(abc.hexdigest(true, false), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
    const QString spaced = abc.hexdigest(false, true);
    EXPECT_EQ(spaced.size(), 47);
    EXPECT_EQ(spaced, QStringLiteral("90 01 50 98 3c d2 4f b0 d6 96 3f 7d 28 e1 7f 72"));
    EXPECT_EQ(abc.hexDigest(false), QByteArray("900150983cd24fb0d6963f7d28e17f72"));

    // A digest given as 16 bytes is finalised and equal to the computed one.
    const MD5 copy(abc.getDigest());
    EXPECT_TRUE(copy == abc);
    EXPECT_FALSE(open == abc);
    MD5 finalisedAgain = abc;
    finalisedAgain.finalize();  // a second finalize changes nothing
    EXPECT_TRUE(finalisedAgain == abc);

    MD5 invalid;
    invalid.setInvalid();
    EXPECT_TRUE(invalid.isFinalized());
    EXPECT_TRUE(invalid.isZero());
    EXPECT_EQ(invalid.toString(), QString(32, QLatin1Char('0')));

    // Raw digest bytes, lower-case text, and the 32-character frame digest text.
    const QByteArray raw = MD5::md5_16(QByteArray("abc"));
    ASSERT_EQ(raw.size(), 16);
    EXPECT_EQ(MD5::bytes16AsHex(raw.constData()), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    const QString frame = MD5::md5FromQByteArray(QByteArray("abc"));
    EXPECT_EQ(frame, QStringLiteral("90 01 50 98 3C D2 4F B0 D6 96 72"));
    EXPECT_EQ(frame.size(), 32);
    EXPECT_EQ(MD5::frameDigestText("abc", 3), frame.toLatin1());
    EXPECT_EQ(MD5::md5FromBuffer(reinterpret_cast<const unsigned char*>("abc"), 3),
              QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
}

TEST(MD5, FilesAreReadWholeAcrossChunks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("data.bin"));
    QByteArray data;
    for (int i = 0; i < 65536 * 2 + 77; ++i) data.append(static_cast<char>(i % 251));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
    f.close();
    const QByteArray name = path.toLocal8Bit();
    EXPECT_EQ(MD5::md5FromFile(name.constData()), MD5(data.constData(), static_cast<unsigned>(data.size())).toString());
    MD5 m;
    EXPECT_TRUE(MD5::addMD5FromFile(name.constData(), m));
    EXPECT_EQ(m.finalize().toString(), MD5::md5FromFile(name.constData()));
    EXPECT_EQ(MD5::md5FromFile(dir.filePath(QStringLiteral("missing")).toLocal8Bit().constData()),
              QStringLiteral("MD5-NOT-FINALIZED"));
}

TEST(MD5, NullBufferIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            MD5::md5FromBuffer(nullptr, 3);
        },
        ::testing::ExitedWithCode(1), "pBuffer == NULL");
}
