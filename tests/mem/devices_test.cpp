// XMemoryWrapper and XNullDevice as QIODevices, and XRamInfo.
#include "support/CaptureAppender.h"

#include <zor/XMem.h>
#include <zor/XMemoryWrapper.h>
#include <zor/XNullDevice.h>
#include <zor/XRamInfo.h>

#include <QDataStream>
#include <gtest/gtest.h>

#include <cstring>

using namespace zor;

TEST(XMemoryWrapper, NeverWritesOrReadsPastTheBlock) {
    zortest::LogCapture cap;
    char block[12];
    std::memset(block, '#', sizeof block);
    XMemoryWrapper w(block + 1, 10, QIODevice::ReadWrite);
    ASSERT_TRUE(w.isOpen());
    EXPECT_EQ(w.size(), 10);
    EXPECT_EQ(w.write("0123456789", 10), 10);
    EXPECT_EQ(w.pos(), 10);
    EXPECT_TRUE(w.atEnd());
    EXPECT_EQ(w.write("x", 1), -1);
    EXPECT_EQ(block[0], '#');
    EXPECT_EQ(block[11], '#') << "the guard bytes are untouched";
    EXPECT_EQ(w.createByteArray(), QByteArray("0123456789"));

    ASSERT_TRUE(w.reset());
    char out[20];
    EXPECT_EQ(w.read(out, 20), 10);
    EXPECT_EQ(std::memcmp(out, "0123456789", 10), 0);
    EXPECT_EQ(w.read(out, 20), -1);

    ASSERT_TRUE(w.seek(4));
    EXPECT_EQ(w.bytesAvailable(), 6);
    EXPECT_EQ(w.read(out, 2), 2);
    EXPECT_EQ(std::memcmp(out, "45", 2), 0);
    EXPECT_EQ(w.pos(), 6);
    EXPECT_EQ(w.createByteArray(), QByteArray("012345")) << "the part passed so far";
    EXPECT_EQ(w.createMD5().toString(), MD5("012345", 6u).toString());
    EXPECT_EQ(w.toString(9, 9, true, false, false), QStringLiteral("[6] = {012345} "));
    EXPECT_FALSE(w.seek(11));
    EXPECT_FALSE(w.seek(-1));
    EXPECT_EQ(w.pos(), 6);
    ASSERT_TRUE(w.seek(10));
    EXPECT_EQ(w.readString(), QString());

    ASSERT_TRUE(w.seek(0));
    EXPECT_TRUE(w.writeString(QString::fromUtf8("\xC3\xA9t\xC3\xA9")));
    EXPECT_FALSE(w.writeString(QStringLiteral("too long")));
    ASSERT_TRUE(w.seek(0));
    EXPECT_EQ(w.readString(), QString::fromUtf8("\xC3\xA9t\xC3\xA9") + QStringLiteral("56789"));

    w.close();
    EXPECT_FALSE(w.seek(0));
    EXPECT_FALSE(w.reset());
    EXPECT_TRUE(w.createByteArray().isEmpty());
    EXPECT_EQ(w.toString(1, 1, true, true, true), QStringLiteral("XMemoryWrapper is not open!"));
    w.fill('-');
    EXPECT_EQ(std::string(block, 12), std::string("#----------#"));

    // A QDataStream over the wrapper: a typed round trip inside a fixed buffer.
    char buf[64] = {};
    {
        XMemoryWrapper out2(buf, sizeof buf, QIODevice::WriteOnly);
        QDataStream ds(&out2);
        ds << qint32(-7) << QString(QStringLiteral("zor"));
        EXPECT_EQ(ds.status(), QDataStream::Ok);
    }
    XMemoryWrapper in(buf, sizeof buf, QIODevice::ReadOnly);
    QDataStream ds(&in);
    qint32 v = 0;
    QString s;
    ds >> v >> s;
    EXPECT_EQ(v, -7);
    EXPECT_EQ(s, QStringLiteral("zor"));

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::writeData, want to write:1 bytes but only:0 free bytes left")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::readData, EOF")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::seek, device not open")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::reset_thumb, device not open")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::createByteArray, XMemoryWrapper is not open!")));
}

TEST(XMemoryWrapper, WrapsBlocksAndMoves) {
    zortest::LogCapture cap;
    XMem m(QByteArray("abcdef"));
    XMemoryWrapper w(m, QIODevice::ReadOnly);
    ASSERT_TRUE(w.isOpen());
    EXPECT_EQ(w.size(), 6);
    EXPECT_TRUE(w.createByteArray().isEmpty()) << "nothing passed yet";
    EXPECT_EQ(w.read(3), QByteArray("abc"));

    XMemoryWrapper moved(std::move(w));
    EXPECT_FALSE(moved.isOpen()) << "a moved wrapper is not open";
    EXPECT_EQ(moved.pos(), 3);
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.size(), 6);

    XMem empty;
    XMemoryWrapper none(empty, QIODevice::ReadOnly);
    EXPECT_FALSE(none.isOpen());
    EXPECT_FALSE(none.createMD5().isFinalized());

    XByteArray arr(QByteArray("xyz"));
    XMemoryWrapper wa(arr, QIODevice::WriteOnly);
    EXPECT_EQ(wa.write("Q", 1), 1);
    EXPECT_EQ(arr, QByteArray("Qyz"));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::XMemoryWrapper, pMem == nullptr")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemoryWrapper::createByteArray, posMemory() == 0")));
}

TEST(XMemoryWrapper, UnwrappedMemoryIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            XMemoryWrapper w;
            XMemoryWrapper other(std::move(w));
        },
        ::testing::ExitedWithCode(1), "pMem == NULL");
}

TEST(XNullDevice, MeasuresWhatIsWritten) {
    zortest::LogCapture cap;
    XNullDevice d(true);
    ASSERT_TRUE(d.isOpen());
    QByteArray data(3000, 'k');
    EXPECT_EQ(d.write(data.left(1000)), 1000);
    EXPECT_EQ(d.write(data.mid(1000)), 2000);
    d.finalizeWriting();
    const XRamInfo info = d.ramInfo();
    EXPECT_EQ(info.bytes, 3000);
    EXPECT_TRUE(info.md5 == MD5(data.constData(), 3000u));
    EXPECT_GE(info.microseconds, 0);
    EXPECT_EQ(d.toString(), QStringLiteral("3.000 => 3.00 KB"));
    char buf[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(d.read(buf, 4), 4);
    EXPECT_EQ(std::memcmp(buf, "abcd", 4), 0) << "the caller's buffer is left untouched";

    XNullDevice plain(false);
    plain.write("abc", 3);
    plain.finalizeWriting();
    EXPECT_EQ(plain.ramInfo().bytes, 3);
    EXPECT_TRUE(plain.ramInfo().md5.isZero());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XNullDevice::readData, useless !")));
}

TEST(XRamInfo, ComparisonAndTexts) {
    const XRamInfo a = XRamInfo::ramInfoFromRawMemory("0123456789", 10);
    const XRamInfo b = XRamInfo::ramInfoFromRawMemory("0123456789", 10);
    const XRamInfo c = XRamInfo::ramInfoFromRawMemory("012345678X", 10);
    EXPECT_TRUE(a.isValid());
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a != c);
    EXPECT_TRUE(a != XRamInfo::ramInfoFromRawMemory("012345678", 9));
    XRamInfo noDigest(MD5(), 10, 5);
    EXPECT_TRUE(a != noDigest) << "a zero digest only equals a zero digest";
    EXPECT_TRUE(noDigest == XRamInfo(MD5(), 10, 99));
    EXPECT_FALSE(XRamInfo().isValid());
    EXPECT_FALSE(static_cast<bool>(XRamInfo::ramInfoFromRawMemory(nullptr, 0)));

    EXPECT_EQ(a.toString(false), QStringLiteral("size:10, md5-sum:") + MD5("0123456789", 10u).toString());
    XRamInfo big(MD5(), 1234567, 2500000);
    EXPECT_EQ(big.toString(false), QStringLiteral("size:1.234.567 bytes"));
    EXPECT_EQ(big.toString(true), QStringLiteral("size:1.234.567 bytes, delta t:2,500.000 sec, 0.400000 times / sec"));
}
