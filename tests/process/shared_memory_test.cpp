// XSharedMemory and XLockerSharedMem: failures without a block or with sizes the system refuses,
// round trips, the size check that leaves the block alone, concurrent writers that never tear,
// and the exchange with a second process.
#include "child_helper.h"
#include "support/CaptureAppender.h"

#include <zor/XLockerSharedMem.h>
#include <zor/XMem.h>
#include <zor/XSharedMemory.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace zor;

namespace {

// A source that claims more bytes than it has: the copy must be refused before anything is read.
class ClaimsHuge : public AbstractMemory {
public:
    const char* mem() const override { return m_byte; }
    char* mem() override { return m_byte; }
    std::size_t length() const override { return 3000000000u; }
    XByteArray createByteArray() override { return XByteArray(); }

private:
    char m_byte[1] = {0};
};

}  // namespace

TEST(XSharedMemory, FailsCleanlyWithoutBlockOrWithRefusedSizes) {
    zortest::LogCapture cap;
    XSharedMemory shm(zortest::uniqueKey("none"));
    XMem m(QByteArray("abc"));
    EXPECT_EQ(shm.toString(), QStringLiteral("not attached"));
    EXPECT_EQ(shm.mem(), nullptr);
    EXPECT_EQ(shm.length(), 0u);
    EXPECT_FALSE(shm.readMem(m));
    EXPECT_FALSE(shm.writeMem(m));
    EXPECT_TRUE(shm.createByteArray().isEmpty());
    EXPECT_EQ(m.size(), 3u) << "the destination is untouched";
    EXPECT_TRUE(cap.containsText(QStringLiteral("XSharedMemory::readMem, NOT ATTACHED !, size:0"))) << cap.lastLines(5);
    EXPECT_TRUE(cap.containsText(QStringLiteral("XSharedMemory::writeMem, NOT ATTACHED !")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XSharedMemory::createByteArray, not attached !")));
    EXPECT_TRUE(shm.isError());

    EXPECT_FALSE(shm.createMem(0));
    EXPECT_FALSE(shm.createMem(0x80000000u)) << "beyond what the system interface takes";
    EXPECT_FALSE(shm.isAttached());
    XMem empty;
    EXPECT_FALSE(shm.writeCreateMem(empty));
    ClaimsHuge huge;
    EXPECT_FALSE(shm.writeCreateMem(huge));
    EXPECT_TRUE(cap.containsText(QStringLiteral(
        "XSharedMemory::writeCreateMem, cannot create_growable shared memory 3000000000 bytes, err:size out of range")));
    EXPECT_FALSE(shm.isAttached());
    XSharedMemory other(zortest::uniqueKey("none"));
    EXPECT_FALSE(other.attach()) << "nothing was left behind";
}

TEST(XSharedMemory, RoundTripAndSizeCheck) {
    zortest::LogCapture cap;
    const QString key = zortest::uniqueKey("trip");
    XSharedMemory writer(key);
    XMem text("hello world");  // 12 bytes with the terminator
    ASSERT_TRUE(writer.writeCreateMem(text));
    EXPECT_EQ(writer.toString(), QStringLiteral("attached, size:12"));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XSharedMemory::writeCreateMem, size is now:12")));

    XSharedMemory reader(key);
    ASSERT_TRUE(reader.attach());
    XMem copy;
    ASSERT_TRUE(reader.readMem(copy));
    EXPECT_EQ(copy.get_string(), QStringLiteral("hello world"));
    EXPECT_EQ(QByteArray(reader.createByteArray()), QByteArray("hello world", 12));
    EXPECT_TRUE(reader.hasSameContents(text)) << "the block is an AbstractMemory like any other";

    XMem tooBig(13, 'x');
    EXPECT_FALSE(writer.writeMem(tooBig));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XSharedMemory::writeMem, xmem.size() > sharedMem.Size(), 13 > 12")));
    EXPECT_EQ(QByteArray(reader.createByteArray()), QByteArray("hello world", 12)) << "left unchanged";

    XMem shorter(QByteArray("HELLO"));
    ASSERT_TRUE(writer.writeMem(shorter));
    EXPECT_EQ(QByteArray(reader.createByteArray()), QByteArray("HELLO world", 12)) << "written to the start only";

    XMem bigger(QByteArray(100, 'b'));
    EXPECT_FALSE(writer.writeCreateMem(bigger)) << "the reader still holds the block of the key";
    EXPECT_FALSE(cap.linesStartingWith(QStringLiteral("XSharedMemory::writeCreateMem, cannot create_growable shared memory 100 bytes, err:")).isEmpty());
    reader.detach();
    ASSERT_TRUE(writer.writeCreateMem(bigger)) << "creating again on a new size";
    EXPECT_EQ(writer.length(), 100u);
    {
        XLockerSharedMem lock(writer);
        EXPECT_TRUE(lock.isLocked());
        EXPECT_EQ(writer.mem()[99], 'b');
    }
    XLockerSharedMem again(writer);
    EXPECT_TRUE(again.isLocked()) << "the first locker released the lock";
}

TEST(XSharedMemory, ConcurrentWritersNeverTear) {
    const QString key = zortest::uniqueKey("tear");
    constexpr int kBlock = 64 * 1024;
    XSharedMemory owner(key);
    XMem first(kBlock, 'a');
    ASSERT_TRUE(owner.writeCreateMem(first));
    std::atomic<int> torn{0}, failed{0};
    auto writer = [&](char c) {
        XSharedMemory shm(key);
        if (!shm.attach()) {
            ++failed;
            return;
        }
        XMem src(kBlock, c);
        for (int i = 0; i < 300; ++i)
            if (!shm.writeMem(src)) ++failed;
    };
    auto reader = [&] {
        XSharedMemory shm(key);
        if (!shm.attach()) {
            ++failed;
            return;
        }
        XMem dest;
        for (int i = 0; i < 300; ++i) {
            if (!shm.readMem(dest) || dest.size() != static_cast<std::size_t>(kBlock)) {
                ++failed;
                continue;
            }
            const char c = dest.mem()[0];
            for (int k = 1; k < kBlock; ++k)
                if (dest.mem()[k] != c) {
                    ++torn;
                    break;
                }
        }
    };
    std::thread t1(writer, 'b'), t2(writer, 'c'), t3(reader);
    t1.join();
    t2.join();
    t3.join();
    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(torn.load(), 0);
}

TEST(XSharedMemory, ExchangeWithSecondProcess) {
    const QString key = zortest::uniqueKey("xproc");
    XSharedMemory shm(key);
    XMem data(1024 * 1024);
    data.fillPattern(QStringLiteral("zor shared memory "));
    ASSERT_TRUE(shm.writeCreateMem(data));

    zortest::HelperResult r = zortest::runHelper(QStringLiteral("shm-read"), key);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromLatin1(r.out.trimmed()), data.toString_MD5() + QStringLiteral(" 1048576"));

    r = zortest::runHelper(QStringLiteral("shm-read"), zortest::uniqueKey("absent"));
    EXPECT_EQ(r.exitCode, 4) << "a block that does not exist cannot be attached";
}
