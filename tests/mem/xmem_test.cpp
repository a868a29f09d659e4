// XMem: growth, strings, string arrays, positions, copies; AbstractMemory's base forms.
#include "support/CaptureAppender.h"

#include <zor/MemoryAllocator.h>
#include <zor/XByteArray.h>
#include <zor/XMem.h>
#include <zor/ZorErrorCodes.h>

#include <QBuffer>
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <unistd.h>

using namespace zor;

TEST(XMem, ConstructionFillAndGrowth) {
    const XMem text("abc");
    EXPECT_EQ(text.size(), 4u);
    EXPECT_EQ(text.stringLen(), 3u);
    EXPECT_EQ(const_cast<XMem&>(text).get_string(), QStringLiteral("abc"));

    XMem x(5, 'x');
    EXPECT_EQ(std::string(x.mem(), 5), std::string("xxxxx"));
    XMem z(5);
    EXPECT_EQ(std::memcmp(z.mem(), "\0\0\0\0\0", 5), 0);
    std::memcpy(z.mem(), "12345", 5);
    ASSERT_TRUE(z.reAlloc(8));
    EXPECT_EQ(std::memcmp(z.mem(), "12345\0\0\0", 8), 0) << "kept bytes and zeroed new ones";
    ASSERT_TRUE(z.reAlloc(8, 0));
    EXPECT_EQ(std::memcmp(z.mem(), "\0\0\0\0\0\0\0\0", 8), 0);
    ASSERT_TRUE(z.reAlloc(2));
    ASSERT_TRUE(z.reAlloc(6));
    EXPECT_EQ(std::memcmp(z.mem(), "\0\0\0\0\0\0", 6), 0) << "bytes exposed again are zero, not stale";

    XMem none;
    EXPECT_EQ(none.mem(), nullptr);
    EXPECT_FALSE(static_cast<bool>(none));
    EXPECT_EQ(XMem(std::size_t(0)).mem(), nullptr);
    EXPECT_EQ(XMem(QString::fromUtf8("\xC3\xA9")).size(), 3u);
    EXPECT_EQ(XMem(std::string("ab")).size(), 3u);
    EXPECT_EQ(XMem(QByteArray("ab")).size(), 2u) << "bytes carry no terminator";

    // Appends are amortised: the capacity grows geometrically and clear() keeps it.
    XMem g;
    std::size_t reallocations = 0, lastCap = 0;
    for (int i = 0; i < 10000; ++i) {
        ASSERT_TRUE(g.append_raw_data("0123456789", 10));
        if (g.capacity() != lastCap) ++reallocations, lastCap = g.capacity();
    }
    EXPECT_EQ(g.size(), 100000u);
    EXPECT_LT(reallocations, 40u);
    g.clear();
    EXPECT_EQ(g.size(), 0u);
    EXPECT_EQ(g.capacity(), lastCap);
    EXPECT_NE(g.mem(), nullptr);

    // A source inside the block itself survives the reallocation.
    XMem self(QByteArray("abcd"));
    ASSERT_TRUE(self.append_raw_data(self.mem(), self.size()));
    ASSERT_TRUE(self.append_raw_data(self.mem() + 1, 2));
    EXPECT_EQ(QByteArray(self.mem(), static_cast<int>(self.size())), QByteArray("abcdabcdbc"));
    ASSERT_TRUE(self.set_raw_data(self.mem() + 4, 4));
    EXPECT_EQ(QByteArray(self.mem(), static_cast<int>(self.size())), QByteArray("abcd"));

    // An impossible size fails cleanly and leaves the block as it was.
    XMem huge(QByteArray("keep"));
    EXPECT_FALSE(huge.reAlloc(SIZE_MAX - 16));
    EXPECT_FALSE(huge.append_raw_data("x", SIZE_MAX - 2));
    EXPECT_EQ(huge.size(), 4u);
    EXPECT_EQ(huge.getErrno(), static_cast<unsigned>(ENOMEM));
}

TEST(XMem, StringArraysAndLyingCounts) {
    zortest::LogCapture cap;
    XMem m;
    ASSERT_TRUE(m.set_string_array({QStringLiteral("a"), QStringLiteral("bc")}));
    EXPECT_EQ(m.size(), 27u);
    EXPECT_EQ(m.get_string_array(), QStringList({QStringLiteral("a"), QStringLiteral("bc")}));
    const QStringList mixed{QString(), QString::fromUtf8("\xE4\xB8\xAD\xC3\xA9"), QString(300, QLatin1Char('z'))};
    ASSERT_TRUE(m.set_string_array(mixed));
    ASSERT_TRUE(m.append_string(QStringLiteral("more")));  // not counted: the count says 3
    EXPECT_EQ(m.get_string_array(), mixed);
    EXPECT_TRUE(XMem().get_string_array().isEmpty());

    auto block = [](std::initializer_list<long long> words, const char* tail = "") {
        XMem b;
        for (long long w : words) b.append_raw_data(&w, sizeof w);
        b.append_raw_data(tail, std::strlen(tail));
        return b;
    };
    EXPECT_TRUE(XMem(QByteArray("1234567")).get_string_array().isEmpty());
    EXPECT_TRUE(block({-1}).get_string_array().isEmpty());
    EXPECT_TRUE(block({1000000000000LL}).get_string_array().isEmpty()) << "a huge count with nothing behind it";
    EXPECT_EQ(block({2, 1}, "x").get_string_array(), QStringList{QStringLiteral("x")}) << "keeps what fits";
    EXPECT_EQ(block({2, 1}, "x\x05").get_string_array(), QStringList{QStringLiteral("x")}) << "a cut length field";
    EXPECT_TRUE(block({1, 5}, "abc").get_string_array().isEmpty()) << "a length past the end";
    EXPECT_TRUE(block({1, -3}, "abc").get_string_array().isEmpty());
    EXPECT_TRUE(block({1, 0x7FFFFFFFFFFFFFFFLL}, "abc").get_string_array().isEmpty());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::get_string_array, byteArray.size() < sizeof (long long)")));
    EXPECT_TRUE(cap.containsText(
        QStringLiteral("XMem::get_string_array, string 0 of 1 runs past the end of the block, offset:8, size:19")));
}

TEST(XMem, StringsPositionsAndErrorCodes) {
    zortest::LogCapture cap(0x1FFE);
    XMem m;
    EXPECT_FALSE(m.setString(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(m.isEmpty());
    char c = 0;
    EXPECT_FALSE(m.charAtPos(c, 0));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_NOT_INITIALIZED));
    EXPECT_FALSE(m.setCharAtPos('a', 0));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_NOT_INITIALIZED));
    m.clear();
    EXPECT_TRUE(m.isOK());
    m = "hi";
    EXPECT_TRUE(m.charAtPos(c, 1));
    EXPECT_EQ(c, 'i');
    EXPECT_TRUE(m.setCharAtPos('o', 1));
    EXPECT_EQ(m.get_string(), QStringLiteral("ho"));
    EXPECT_FALSE(m.charAtPos(c, 3));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_OUT_OF_RANGE));
    EXPECT_FALSE(static_cast<bool>(m)) << "an error state makes the block false";
    EXPECT_EQ(m.toString(5, 5, true, true, false), QStringLiteral("[3] = {ho.} HEX{68 6F 00} ")) << "no error branch";
    m.clear();
    EXPECT_EQ(m.toString(5, 5, true, true, false), QStringLiteral("length() == 0"));

    XMem noZero(QByteArray("abc"));
    EXPECT_EQ(noZero.stringLen(), 0u);
    EXPECT_EQ(noZero.get_string(), QStringLiteral("ab"));
    XMem fromStd;
    fromStd = std::string("a\0b", 3);
    EXPECT_EQ(fromStd.size(), 4u);
    EXPECT_EQ(fromStd.stringLen(), 1u);

    // The base setMem never grows; XMem's does.
    XMem small(QByteArray("1234"));
    EXPECT_FALSE(small.AbstractMemory::setMem("123456", 6));
    EXPECT_EQ(QByteArray(small.mem(), 4), QByteArray("1234"));
    EXPECT_TRUE(small.AbstractMemory::setMem("ab", 2));
    EXPECT_EQ(QByteArray(small.mem(), 4), QByteArray("ab34"));
    EXPECT_TRUE(small.setMem("123456", 6));
    EXPECT_EQ(small.size(), 6u);
    EXPECT_FALSE(small.setMem(nullptr, 1));
    // The text forms go through the virtual setMem: on an XMem they set the size.
    EXPECT_TRUE(small.AbstractMemory::setString("xy", false));
    EXPECT_EQ(QByteArray(small.mem(), static_cast<int>(small.size())), QByteArray("xy"));
    EXPECT_TRUE(small.setQString(QString::fromLatin1("q\xE9")));
    EXPECT_EQ(QByteArray(small.mem(), static_cast<int>(small.size())), QByteArray("q\xE9\0", 3));
    XByteArray fixed(QByteArray("123456"));
    EXPECT_TRUE(fixed.setString("xy", false));
    EXPECT_EQ(fixed, QByteArray("xy3456")) << "a byte array keeps its size";
    EXPECT_FALSE(fixed.setString("1234567", true));
    EXPECT_FALSE(fixed.setString(nullptr, true));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::setString, pString == null")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("AbstractMemory::set_mem_file, sz > length(), 6 > 4")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::stringLen - len is string len is bigger than capacity, return 0 now. 3 > 3")));
}

TEST(XMem, CopiesMovesAndBlockNumbers) {
    XMem a(QByteArray("data"));
    a.setErrno(5);
    const unsigned int na = a.getCounterMemBlock();
    XMem b(a);
    EXPECT_NE(b.getCounterMemBlock(), na);
    EXPECT_TRUE(b.isOK()) << "a copy does not take the error state";
    EXPECT_EQ(QByteArray(b.mem(), 4), QByteArray("data"));
    EXPECT_NE(b.mem(), a.mem());

    XMem c = a.copy();
    EXPECT_EQ(c.getCounterMemBlock(), na) << "copy() keeps the number for the copy";
    EXPECT_NE(a.getCounterMemBlock(), na) << "and gives the original a fresh one";
    EXPECT_EQ(c.getErrno(), 5u);

    const unsigned int nc = c.getCounterMemBlock();
    XMem d(std::move(c));
    EXPECT_EQ(d.getCounterMemBlock(), nc);
    EXPECT_EQ(d.getErrno(), 5u);
    EXPECT_EQ(c.mem(), nullptr);
    EXPECT_TRUE(c.isOK());
    EXPECT_TRUE(c.isEmpty());

    XMem e;
    const unsigned int ne = e.getCounterMemBlock();
    e = QByteArray("kept number");
    EXPECT_EQ(e.getCounterMemBlock(), ne);
    e = d;
    EXPECT_NE(e.getCounterMemBlock(), ne);
    EXPECT_EQ(QByteArray(e.mem(), 4), QByteArray("data"));
    e = XMem();  // an empty source
    EXPECT_TRUE(e.isEmpty());
    e = std::move(d);
    EXPECT_EQ(e.getCounterMemBlock(), nc);
    e = e;  // self-assignment keeps the bytes
    EXPECT_EQ(QByteArray(e.mem(), 4), QByteArray("data"));
}

TEST(XMem, DigestsRenderingsAndCopiesOut) {
    zortest::LogCapture cap;
    XMem a(QByteArray("0123456789"));
    XMem b(QByteArray("0123456789"));
    XMem c(QByteArray("012345678X"));
    EXPECT_TRUE(a.hasSameContents(b));
    EXPECT_FALSE(a.hasSameContents(c));
    EXPECT_FALSE(XMem().hasSameContents(a));
    EXPECT_FALSE(XMem().createMD5().isFinalized());
    EXPECT_EQ(a.createMD5().toString(), MD5("0123456789", 10u).toString());

    EXPECT_EQ(a.toString_Hex_MD5(2, 2), QStringLiteral("[10] = HEX{30 31  .. 38 39} MD5{") +
                                            MD5("0123456789", 10u).toString() + QStringLiteral("} "));
    EXPECT_EQ(XMem().toString(1, 1, true, true, true), QStringLiteral("mem() == nullptr"));

    EXPECT_EQ(a.charAt(0), '0');
    EXPECT_EQ(a.charAt(10), 0);
    EXPECT_EQ(XMem().charAt(0), -1);
    XMem cleared(QByteArray("x"));
    cleared.clear();
    EXPECT_EQ(cleared.charAt(0), 0) << "storage but empty";
    XMem neg(QByteArray("\xFF"));
    EXPECT_EQ(neg.charAt(0), -1) << "a signed char widened";

    char* copy = a.memCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::memcmp(copy, "0123456789", 10), 0);
    ::operator delete(copy);
    EXPECT_EQ(XMem().memCopy(), nullptr);

    XByteArray ba = a.createByteArray();
    EXPECT_EQ(ba, QByteArray("0123456789"));
    EXPECT_TRUE(XMem().createByteArray().isEmpty());
    QBuffer buf;
    EXPECT_TRUE(a.writeToQBuffer(buf));
    EXPECT_EQ(buf.data(), QByteArray("0123456789"));
    EXPECT_FALSE(XMem().writeToQBuffer(buf));

    XMem p(7);
    p.fillPattern(QStringLiteral("abc"));
    EXPECT_EQ(QByteArray(p.mem(), 7), QByteArray("abcabca"));
    XMem longPattern(1000);
    longPattern.fillPattern(QStringLiteral("0123456"));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(longPattern.mem()[i], '0' + i % 7) << i;
    p.fillPattern(QString());
    EXPECT_EQ(QByteArray(p.mem(), 7), QByteArray("abcabca"));
    p.fill('z');
    EXPECT_EQ(QByteArray(p.mem(), 7), QByteArray("zzzzzzz"));

    // The error state replaces the rendering in the base form.
    XByteArray err(QByteArray("x"));
    err.setZorError(ZOR_ERROR_TIMEOUT);
    EXPECT_TRUE(err.toString(1, 1, true, false, false).startsWith(QStringLiteral("AbstractMemory, error:")));

    const XRamInfo info = a.createRamInfo();
    EXPECT_EQ(info.bytes, 10);
    EXPECT_TRUE(info.md5 == a.createMD5());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("AbstractMemory::charAt, rnage problem, valid range 0-10, position to read:10")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("AbstractMemory::charAt, length() == nullptr")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("AbstractMemory::createMD5, mem() == nullptr")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::createByteArray, mem() == nullptr")));
}

TEST(MemoryAllocator, CountsWhatItHandsOut) {
    const unsigned long long before = MemoryAllocator::allocatedMemory();
    void* p = MemoryAllocator::getMemory(100);
    ASSERT_NE(p, nullptr);
    std::memset(p, 1, 100);
    EXPECT_EQ(MemoryAllocator::allocatedMemory(), before + 100);
    EXPECT_TRUE(MemoryAllocator::freeMemory(p, 100));
    EXPECT_EQ(MemoryAllocator::allocatedMemory(), before);
    EXPECT_FALSE(MemoryAllocator::freeMemory(nullptr, 0));
}

TEST(XMem, NullRawDataIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            XMem m;
            m.set_raw_data(nullptr, 3);
        },
        ::testing::ExitedWithCode(1), "pMem == NULL");
}
