// Framing, checksums, removal and renderings of byte arrays.
#include "support/CaptureAppender.h"

#include <zor/ArrayTools.h>
#include <zor/MD5.h>

#include <gtest/gtest.h>

#include <random>

using namespace zor;

namespace {
QByteArray bytes(std::initializer_list<int> l) {
    QByteArray a;
    for (int b : l) a.append(static_cast<char>(b));
    return a;
}
}  // namespace

TEST(ArrayTools, FrameKnownEncodings) {
    EXPECT_EQ(ArrayTools::frameQByteArray(bytes({0x11, 0x00, 0x22})), bytes({0x00, 0x02, 0x11, 0x02, 0x22, 0x00}));
    EXPECT_EQ(ArrayTools::unFrameQByteArray(bytes({0x00, 0x02, 0x11, 0x02, 0x22, 0x00})), bytes({0x11, 0x00, 0x22}));
    EXPECT_EQ(ArrayTools::frameQByteArray(QByteArray()), bytes({0x00, 0x01, 0x00}));
    EXPECT_EQ(ArrayTools::unFrameQByteArray(bytes({0x00, 0x01, 0x00})), QByteArray());
    // Leading, trailing and only zeros.
    EXPECT_EQ(ArrayTools::frameQByteArray(bytes({0x00})), bytes({0x00, 0x01, 0x01, 0x00}));
    EXPECT_EQ(ArrayTools::frameQByteArray(bytes({0x00, 0x00})), bytes({0x00, 0x01, 0x01, 0x01, 0x00}));
    EXPECT_EQ(ArrayTools::frameQByteArray(bytes({0x11, 0x00})), bytes({0x00, 0x02, 0x11, 0x01, 0x00}));

    // 254 non-zero bytes: a full block and an empty last one.
    QByteArray full(254, '\x07');
    const QByteArray framed = ArrayTools::frameQByteArray(full);
    ASSERT_EQ(framed.size(), 1 + 1 + 254 + 1 + 1);
    EXPECT_EQ(static_cast<unsigned char>(framed[1]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(framed[256]), 0x01);
    EXPECT_EQ(ArrayTools::unFrameQByteArray(framed), full) << "no trailing zero after a full block";
    // 254 non-zero bytes then a zero; 255 non-zero bytes.
    QByteArray fullZero = full + bytes({0});
    EXPECT_EQ(ArrayTools::frameQByteArray(fullZero).mid(256), bytes({0x01, 0x01, 0x00}));
    EXPECT_EQ(ArrayTools::unFrameQByteArray(ArrayTools::frameQByteArray(fullZero)), fullZero);
    QByteArray over(255, '\x07');
    EXPECT_EQ(ArrayTools::frameQByteArray(over).mid(256), bytes({0x02, 0x07, 0x00}));
}

TEST(ArrayTools, FrameRoundTripsAndStaysWithinItsBound) {
    std::mt19937 gen(7);
    for (int len : {0, 1, 2, 253, 254, 255, 508, 509, 1000, 70000}) {
        for (int zeroEvery : {0, 1, 2, 50, 300}) {
            QByteArray d(len, Qt::Uninitialized);
            for (int i = 0; i < len; ++i) {
                d[i] = static_cast<char>(gen() % 255 + 1);
                if (zeroEvery > 0 && gen() % zeroEvery == 0) d[i] = 0;
            }
            const QByteArray f = ArrayTools::frameQByteArray(d);
            ASSERT_LE(static_cast<std::size_t>(f.size()), ArrayTools::stuffedSize(static_cast<std::size_t>(len)) + 2);
            ASSERT_EQ(f.front(), '\0');
            ASSERT_EQ(f.back(), '\0');
            ASSERT_EQ(f.mid(1, f.size() - 2).indexOf('\0'), -1) << "the body holds no zero byte";
            ASSERT_EQ(ArrayTools::unFrameQByteArray(f), d) << len << " " << zeroEvery;
            QByteArray stuffed, back;
            ArrayTools::stuffToQByteArray(d, stuffed);
            ArrayTools::unStuffQData(stuffed, back);
            ASSERT_EQ(back, d);
        }
    }
}

TEST(ArrayTools, DamagedFramesGiveShortResultsNotOverReads) {
    zortest::LogCapture cap;
    EXPECT_EQ(ArrayTools::unFrameQByteArray(QByteArray()), QByteArray());
    // A code byte that promises more bytes than there are keeps the ones that are there.
    EXPECT_EQ(ArrayTools::unFrameQByteArray(bytes({0x00, 0x05, 0x11, 0x22, 0x00})), bytes({0x11, 0x22}));
    EXPECT_EQ(ArrayTools::unFrameQByteArray(bytes({0xFF})), QByteArray());
    // Stray zeros inside the body are dropped before decoding.
    EXPECT_EQ(ArrayTools::unFrameQByteArray(bytes({0x00, 0x02, 0x11, 0x00, 0x02, 0x22, 0x00})), bytes({0x11, 0x00, 0x22}));
    // Raw decoding stops at a code byte 0x00.
    const unsigned char raw[] = {0x02, 0x11, 0x00, 0x02, 0x22};
    unsigned char out[sizeof raw];
    EXPECT_EQ(ArrayTools::unStuffData(raw, sizeof raw, out), 1u);
    EXPECT_EQ(out[0], 0x11);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("ArrayTools::unFrameQByteArray, arSrcFramed.size() == 0")));
}

TEST(ArrayTools, Md5FramesDetectEveryChangedByte) {
    zortest::LogCapture cap;
    const QByteArray data("frame me, with a zero \0 inside", 30);
    const QByteArray framed = ArrayTools::frameQByteArray_MD5(data);
    QByteArray out("prefix:");
    ASSERT_TRUE(ArrayTools::unFrameQByteArray_MD5(framed, out));
    EXPECT_EQ(out, QByteArray("prefix:") + data) << "the data is appended";
    EXPECT_EQ(ArrayTools::unFrameQByteArray(framed).right(32), MD5::md5FromQByteArray(data).toLatin1());

    int refused = 0;
    for (int i = 1; i < framed.size() - 1; ++i) {
        QByteArray bad = framed;
        bad[i] = static_cast<char>(bad.at(i) == char(0x01) ? 0x02 : 0x01);
        QByteArray sink;
        if (!ArrayTools::unFrameQByteArray_MD5(bad, sink)) ++refused;
        EXPECT_TRUE(sink.isEmpty()) << "nothing is appended from a damaged frame, byte " << i;
    }
    EXPECT_EQ(refused, framed.size() - 2);
    QByteArray sink;
    EXPECT_FALSE(ArrayTools::unFrameQByteArray_MD5(ArrayTools::frameQByteArray(QByteArray(32, 'A')), sink))
        << "a payload of 32 bytes cannot carry data";
    EXPECT_TRUE(ArrayTools::unFrameQByteArray_MD5(ArrayTools::frameQByteArray_MD5(QByteArray("x")), sink));
    EXPECT_EQ(sink, QByteArray("x"));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("ArrayTools::unFrameQByteArray_MD5, CHECKSUM problems")));
}

TEST(ArrayTools, ChecksumRemovalAndCounts) {
    zortest::LogCapture cap;
    QByteArray a = bytes({0x01, 0x02});
    ArrayTools::addChecksumByte(a);
    EXPECT_EQ(a, bytes({0x01, 0x02, 0xFD}));
    QByteArray z;
    ArrayTools::addChecksumByte(z);
    EXPECT_EQ(z, bytes({0x00}));
    QByteArray big(1000, '\xFF');
    ArrayTools::addChecksumByte(big);
    unsigned sum = 0;
    for (char c : big) sum += static_cast<unsigned char>(c);
    EXPECT_EQ(sum % 256, 0u);

    QByteArray r("0123456789");
    EXPECT_EQ(ArrayTools::arRemove(r, 2, 3), QByteArray("234"));
    EXPECT_EQ(r, QByteArray("0156789"));
    EXPECT_EQ(ArrayTools::arRemove(r, 0, 0), QByteArray());
    EXPECT_EQ(ArrayTools::arRemove(r, 7, 1), QByteArray());
    EXPECT_EQ(ArrayTools::arRemove(r, -1, 1), QByteArray());
    EXPECT_EQ(r, QByteArray("0156789")) << "refused removals change nothing";
    EXPECT_EQ(ArrayTools::arRemove(r, 5, 100), QByteArray("89")) << "a range past the end is cut to the end";
    EXPECT_EQ(r, QByteArray("01567"));
    EXPECT_TRUE(ArrayTools::canRemove(r, 0, 5));
    EXPECT_FALSE(ArrayTools::canRemove(r, 0, 6));
    EXPECT_FALSE(ArrayTools::canRemove(r, 5, 1));
    EXPECT_FALSE(ArrayTools::canRemove(r, 0, 0));
    EXPECT_FALSE(ArrayTools::canRemove(r, 0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_EQ(ArrayTools::arRemoveFromBegin(r, 2), QByteArray("01"));
    EXPECT_EQ(ArrayTools::arRemoveAll(r), QByteArray("567"));
    EXPECT_TRUE(r.isEmpty());

    EXPECT_EQ(ArrayTools::countCharsOf(QByteArray("a,b,,c"), ','), 3);
    EXPECT_EQ(ArrayTools::createQByteArrayABC(28), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZAB"));
    EXPECT_EQ(ArrayTools::createQByteArrayABC(-3), QByteArray());
    const QByteArray rnd = ArrayTools::randQByteArray(2000, 'a', 'c');
    ASSERT_EQ(rnd.size(), 2000);
    for (char c : rnd) ASSERT_TRUE(c >= 'a' && c <= 'c');
    EXPECT_GT(rnd.count('a'), 0);
    EXPECT_GT(rnd.count('c'), 0);
    QByteArray all = ArrayTools::randQByteArray(10, 0, 0xFFFFFFFFu);  // the whole range: no division by zero
    ArrayTools::randomfillQByteArray(all, 5, 9, 9);
    EXPECT_EQ(all.size(), 15);
    EXPECT_EQ(all.right(5), QByteArray(5, '\x09'));

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("ArrayTools::arRemove, len == 0")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("ArrayTools::arRemove, posMemory:7, ar.size():7")));
}

TEST(ArrayTools, RenderingTexts) {
    const QByteArray digits("0123456789");
    const QString md5 = MD5(digits.constData(), 10u).toString();
    EXPECT_EQ(ArrayTools::qByteArrayToString(digits, 2, 2, true, true, true),
              QStringLiteral("[10] = {01 .. 89} HEX{30 31  .. 38 39} MD5{") + md5 + QStringLiteral("} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(digits, 5, 5, true, true, false),
              QStringLiteral("[10] = {0123456789} HEX{30 31 32 33 34 35 36 37 38 39} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(digits, 0, 0, false, true, false, 0, 4, QStringLiteral(",")),
              QStringLiteral("[10] = HEX{ .. } "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(digits, 10, 10, false, true, false, 0, 4, QStringLiteral(",")),
              QStringLiteral("[10] = HEX{30 31 32 33,34 35 36 37,38 39} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(digits, 10, 10, true, false, false, 3), QStringLiteral("[3] = {012} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(QByteArray("\x01\x1F A\xE9", 5), 9, 9, true, false, false),
              QString::fromUtf8("[5] = {.. A\xC3\xA9} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(QByteArray(), 5, 5, true, true, false), QStringLiteral("[0] = {} HEX{} "));
    EXPECT_EQ(ArrayTools::qByteArrayToString(QByteArray(1500, 'x'), 1, 1, true, false, false),
              QStringLiteral("[1.500] = {x .. x} "));
    EXPECT_EQ(ArrayTools::qByteArray_to_hex_string(digits, 1, 1), QStringLiteral("30  .. 39"));

    const QByteArray two = bytes({0x01, 0x80});
    EXPECT_EQ(ArrayTools::showText(two.constData(), 2, ArrayTools::SHOW_ASC | ArrayTools::SHOW_HEX | ArrayTools::SHOW_DEC |
                                                          ArrayTools::SHOW_BIN,
                                   8, 8),
              QString::fromUtf8("[2] = ASC{. \xC2\x80} HEX{01 80} DEC{001 128} BIN{*.......|.......*} "));
    EXPECT_EQ(ArrayTools::showText(digits.constData(), 10, ArrayTools::SHOW_DEC, 1, 1), QStringLiteral("[10] = DEC{048  .. 057} "));
}
