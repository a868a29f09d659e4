// Buffered reading over a file receiver and without one; the adapter listing.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/AdapterInfos.h>
#include <zor/ReadStream.h>
#include <zor/ReceiverFile.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zor;

namespace {
QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString name = dir.path() + QStringLiteral("/in.txt");
    zortest::writeFile(name, bytes);
    return name;
}
}  // namespace

TEST(ReadStream, LinesOverAFileInSmallRefills) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString name = writeFile(dir, "one\r\ntwo\n\n0123456789ABCD\nlast");
    ReceiverFile file;
    EXPECT_FALSE(file.openFile(dir.path() + "/missing"));
    EXPECT_TRUE(cap.containsText("ReceiverFile::open, problems open file '" + dir.path() + "/missing'"));
    EXPECT_EQ(file.receive(nullptr, 4, 0), -1);
    ASSERT_TRUE(file.openFile(name));
    EXPECT_EQ(file.getFileLength(), 29);

    ReadStream rs(&file, 8);  // lines cross the refills
    EXPECT_FALSE(rs.canReceive());
    bool ok = false;
    EXPECT_EQ(rs.readString(ok), QStringLiteral("one"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(rs.readString(ok), QStringLiteral("two"));
    EXPECT_EQ(rs.readString(ok), QString());
    EXPECT_TRUE(ok);  // an empty line is a line
    // Longer than the capacity: cut there, the rest is the next line.
    EXPECT_EQ(rs.readString(ok), QStringLiteral("01234567"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("string tooo long:")).size(), 1);
    EXPECT_EQ(rs.readString(ok), QStringLiteral("89ABCD"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(rs.readString(ok), QStringLiteral("last"));  // no LF at the end
    EXPECT_TRUE(ok);
    EXPECT_EQ(rs.readString(ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(rs.readByte(), -1);
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(cap.containsText("ReceiverFile::receive, within file '" + name + "' EOF, close file now!"));
}

TEST(ReadStream, ReadNeverPassesTheBufferOrTheCapacity) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ReceiverFile file;
    ASSERT_TRUE(file.openFile(writeFile(dir, QByteArray("abcdefghijklmnopqrstuvwxyz"))));
    ReadStream rs(&file, 10);
    char out[64] = {0};
    EXPECT_EQ(rs.read(out, 5), 0);  // read does not refill
    EXPECT_EQ(rs.readByte(), 'a');
    EXPECT_EQ(rs.countCanRead(), 9);
    EXPECT_EQ(rs.read(out, 64), 9);  // n larger than the capacity
    EXPECT_EQ(QByteArray(out, 9), QByteArray("bcdefghij"));
    EXPECT_EQ(rs.read(out, -1), -1);
    EXPECT_TRUE(cap.containsText(QStringLiteral("ReadStream::read, n == -1")));
    EXPECT_EQ(rs.readByte(), 'k');
    EXPECT_EQ(rs.pos(), 1u);

    // Without a receiver the buffer is full of zeros, and never refills.
    ReadStream zeros(nullptr, 4);
    EXPECT_EQ(zeros.countCanRead(), 4);
    EXPECT_EQ(zeros.read(out, 100), 4);
    EXPECT_EQ(QByteArray(out, 4), QByteArray(4, '\0'));
    EXPECT_EQ(zeros.readByte(), -1);
    zeros.fill_0123456789();
    EXPECT_EQ(zeros.read(out, 4), 4);
    EXPECT_EQ(QByteArray(out, 4), QByteArray("0123"));
    ReadStream letters(nullptr, 30);
    letters.fill_ABC();
    EXPECT_EQ(letters.read(out, 30), 30);
    EXPECT_EQ(QByteArray(out, 30), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"));
    letters.fill('q');
    EXPECT_EQ(letters.readByte(), 'q');

    // A zero capacity reads nothing and does not loop.
    ReceiverFile f2;
    ASSERT_TRUE(f2.openFile(dir.path() + "/in.txt"));
    ReadStream empty(&f2, 0);
    bool ok = true;
    EXPECT_EQ(empty.readString(ok), QString());
    EXPECT_FALSE(ok);
}

TEST(AdapterInfos, ListsLoopbackLast) {
    zortest::LogCapture cap;
    AdapterInfos infos;
    ASSERT_EQ(infos.enumAdapters(), 0);
    const QStringList list = infos.addresses();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.last(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(list.count(QStringLiteral("127.0.0.1")), 1);
    EXPECT_FALSE(list.contains(QStringLiteral("0.0.0.0")));
    infos.enumAdapters();  // a second listing replaces the first
    EXPECT_EQ(infos.addresses(), list);
    infos.show(0);
    EXPECT_TRUE(cap.containsText(QStringLiteral("adapters:%1").arg(list.size())));
    EXPECT_TRUE(cap.containsText(QStringLiteral("adapter 127.0.0.1")));
}
