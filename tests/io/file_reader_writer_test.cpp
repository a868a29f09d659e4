// FileReader and FileWriter: the binary encodings byte for byte, line reading, whole-file reads,
// bad names and shared use from threads.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

using namespace zor;

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using zortest::writeFile;

struct NoPause : testing::Test {
    void SetUp() override { FileReader::setFailurePause(0); }
    void TearDown() override { FileReader::setFailurePause(5000); }
};

}  // namespace

using FileIO = NoPause;

TEST_F(FileIO, BinaryEncodingsAreExactAndRoundTrip) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("values.bin"));
    {
        FileWriter w;
        ASSERT_TRUE(w.open(path));
        EXPECT_TRUE(w.writeChar('A'));
        EXPECT_TRUE(w.writeShort(-2));
        EXPECT_TRUE(w.writeInt(0x01020304));
        EXPECT_TRUE(w.writeUINT(0xFFFFFFFEu));
        EXPECT_TRUE(w.writeLONG(-3));
        EXPECT_TRUE(w.writeULONG(0x1122334455667788ull));
        EXPECT_TRUE(w.writeFloat(1.5f));
        EXPECT_TRUE(w.writeDouble(-0.25));
        EXPECT_TRUE(w.writeBool(true));
        EXPECT_TRUE(w.writeBool(false));
        EXPECT_TRUE(w.writeString(QString::fromLatin1("\xE4x")));  // Latin-1, no terminator
        EXPECT_TRUE(w.writeChar('\0'));
        EXPECT_TRUE(w.writeLineAscii(QStringLiteral("ok")));
        EXPECT_EQ(w.tell(), 1 + 2 + 4 + 4 + 8 + 8 + 4 + 8 + 1 + 1 + 2 + 1 + 3);
    }
    const QByteArray bytes = slurp(path);
    ASSERT_EQ(bytes.size(), 47);
    EXPECT_EQ(bytes.left(3), QByteArray("A\xFE\xFF", 3));
    EXPECT_EQ(bytes.mid(3, 4), QByteArray("\x04\x03\x02\x01", 4)) << "little-endian, no padding";
    EXPECT_EQ(bytes.mid(11, 8), QByteArray("\xFD\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(bytes.mid(39, 2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(bytes.mid(41, 3), QByteArray("\xE4x\0", 3));
    EXPECT_EQ(bytes.right(3), QByteArray("ok\n"));

    FileReader r(path);
    ASSERT_TRUE(r.isOpen());
    EXPECT_EQ(r.getLenOfBlock(), 47);
    EXPECT_EQ(r.readChar(), 'A');
    EXPECT_EQ(r.readShort(), -2);
    EXPECT_EQ(r.readInt(), 0x01020304);
    EXPECT_EQ(r.readUINT(), 0xFFFFFFFEu);
    EXPECT_EQ(r.readLONG(), -3);
    EXPECT_EQ(r.readULONG(), 0x1122334455667788ull);
    EXPECT_EQ(r.readFloat(), 1.5f);
    EXPECT_EQ(r.readDouble(), -0.25);
    EXPECT_TRUE(r.readBool());
    EXPECT_FALSE(r.readBool());
    EXPECT_TRUE(r.canReadMore());
    EXPECT_EQ(r.readString(), QString::fromLatin1("\xE4x"));
    EXPECT_EQ(r.toString(), path + QStringLiteral(", open, readPos:44"));
    ASSERT_TRUE(r.seek(38));
    EXPECT_EQ(r.getReadPos(), 38);

    // A bool is true only for the byte 1; the string runs to the end when there is no zero.
    writeFile(path, QByteArray("\x02xyz", 4));
    FileReader b(path);
    EXPECT_FALSE(b.readBool());
    EXPECT_EQ(b.readString(), QStringLiteral("xyz"));
    EXPECT_FALSE(b.isOpen()) << "the end of the file closes the stream";
    EXPECT_EQ(b.toString(), path + QStringLiteral(", not open reading"));
    EXPECT_EQ(b.readInt(), 0) << "reads after the close give zero";

    // Small values, a block larger than the writer's buffer, and small values again keep their order.
    const QByteArray big(200 * 1024, 'B');
    {
        FileWriter w;
        ASSERT_TRUE(w.open(path));
        EXPECT_TRUE(w.writeInt(7));
        EXPECT_EQ(w.write(big), static_cast<std::size_t>(big.size()));
        EXPECT_TRUE(w.writeChar('e'));
        EXPECT_EQ(w.tell(), 4 + big.size() + 1);
        EXPECT_TRUE(w.flushAndClose());
        EXPECT_FALSE(w.isOpen());
    }
    const QByteArray mixed = slurp(path);
    ASSERT_EQ(mixed.size(), 4 + big.size() + 1);
    EXPECT_EQ(mixed.left(4), QByteArray("\x07\0\0\0", 4));
    EXPECT_EQ(mixed.mid(4, big.size()), big);
    EXPECT_EQ(mixed.right(1), QByteArray("e"));
}

TEST_F(FileIO, LastLongLinesAndWholeFileReads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    writeFile(path, QByteArray(7, 'x'));
    FileReader seven(path);
    EXPECT_EQ(seven.readLastLONG(), -1);
    long long v = 42;
    writeFile(path, QByteArray(5, 'x') + QByteArray(reinterpret_cast<const char*>(&v), 8));
    FileReader withValue(path);
    EXPECT_EQ(withValue.readLastLONG(), 42);

    writeFile(path, " a \n\n# x\r\nb");
    FileReader lines(path);
    QStringList got;
    EXPECT_EQ(lines.readAllAsciiLines(got, 100, 2 | 4 | 8), 2);
    EXPECT_EQ(got, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_TRUE(lines.isEOF());
    EXPECT_EQ(lines.readAllAsciiLines(got, 100, 0), 0) << "nothing more once at the end";
    FileReader raw(path);
    QStringList all;
    EXPECT_EQ(raw.readAllAsciiLines(all, 100, 0), 4);
    EXPECT_EQ(all, QStringList({QStringLiteral(" a "), QString(), QStringLiteral("# x"), QStringLiteral("b")}))
        << "CR LF and LF both end a line";

    writeFile(path, QByteArray("abcdefghijklmnopqrst\n"));
    FileReader pieces(path);
    EXPECT_EQ(pieces.readAsciiLine(10), QStringLiteral("abcdefg"));
    EXPECT_EQ(pieces.readAsciiLine(10), QStringLiteral("hijklmn"));
    EXPECT_EQ(pieces.readAsciiLine(10), QStringLiteral("opqrst"));
    EXPECT_EQ(pieces.readAsciiLine(10), QString());
    EXPECT_TRUE(pieces.isEOF());
    FileReader tiny(path);
    QStringList one;
    EXPECT_EQ(tiny.readAllAsciiLines(one, 0, 0), 21) << "a silly limit still moves forward";

    writeFile(path, QByteArray(100, 'z'));
    EXPECT_TRUE(FileReader::readXByteArrayFromFile(path, 99).isEmpty());
    EXPECT_EQ(FileReader::readXByteArrayFromFile(path, 100).size(), 100);
    long long len = -5;
    EXPECT_EQ(FileReader::readBufferFromFile(path, len, 99), nullptr);
    EXPECT_EQ(len, 0);
    char* buf = FileReader::readBufferFromFile(path, len, 1000);
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(len, 100);
    EXPECT_EQ(buf[99], 'z');
    delete[] buf;
}

TEST_F(FileIO, BadNamesAndPathsGiveResultsAndLogLines) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing"));
    FileReader r(missing);
    EXPECT_FALSE(r.isOpen());
    EXPECT_EQ(r.getLenOfBlock(), -1);
    char c = 0;
    EXPECT_EQ(r.readBytes(&c, 1), 0u);
    QStringList none;
    EXPECT_EQ(r.readAsciiLine(10), QString());
    EXPECT_TRUE(FileReader::readXByteArrayFromFile(missing, 10).isEmpty());
    FileReader fromDir(dir.path());
    EXPECT_TRUE(FileReader::readXByteArrayFromFile(dir.path(), 1 << 20).isEmpty()) << "a directory is no file";

    // The C runtime gets the name in Latin-1: a name outside it cannot be opened, nor created.
    const QString greek = dir.filePath(QString::fromUtf8("\xCE\xA9mega.bin"));
    QFile real(greek);
    ASSERT_TRUE(real.open(QIODevice::WriteOnly));
    real.write("abc");
    real.close();
    FileReader g(greek);
    EXPECT_FALSE(g.isOpen());
    FileWriter gw;
    EXPECT_FALSE(gw.open(dir.filePath(QString::fromUtf8("\xE2\x82\xAC.bin"))));
    EXPECT_EQ(slurp(greek), QByteArray("abc")) << "nothing was overwritten";

    FileWriter w;
    EXPECT_FALSE(w.open(dir.path())) << "a directory cannot be written as a file";
    EXPECT_FALSE(w.open(dir.filePath(QStringLiteral("no/such/dir/f"))));

    const QString empty = dir.filePath(QStringLiteral("empty"));
    writeFile(empty, QByteArray());
    FileReader e(empty);
    EXPECT_TRUE(e.isOpen());
    EXPECT_EQ(e.readLONG(), 0);
    EXPECT_FALSE(e.isOpen());
    EXPECT_EQ(e.readLastLONG(), -1);
    EXPECT_TRUE(FileReader::readXByteArrayFromFile(empty, 10).isEmpty());

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileReader::open, file problems with '") + missing + QLatin1Char('\'')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("::readTheArray, fp == NULL")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileReader::readAsciiLine - file not open")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileReader::readXByteArrayFromFile, '") + missing +
                                 QStringLiteral("' does not exist")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileReader::open, file problems with '") + greek + QLatin1Char('\'')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileWriter::open, file problems - cannot open '") + dir.path() +
                                 QLatin1Char('\'')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("::readTheArray, within file '") + empty +
                                 QStringLiteral("' EOF, close file now!")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("FileReader::readLastLONG, len < 8")));
    Logger::quit();
}

TEST_F(FileIO, OneWriterSharedBetweenThreadsKeepsEveryValueWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shared.bin"));
    constexpr int kThreads = 4;
    constexpr int kEach = 5000;
    {
        FileWriter w;
        ASSERT_TRUE(w.open(path));
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&w, t] {
                for (int i = 0; i < kEach; ++i) w.writeLONG((static_cast<long long>(t) << 32) | i);
            });
        for (auto& th : threads) th.join();
    }
    FileReader r(path);
    ASSERT_EQ(r.getLenOfBlock(), 8LL * kThreads * kEach);
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i < kThreads * kEach; ++i) {
        const long long v = r.readLONG();
        const int t = static_cast<int>(v >> 32);
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(static_cast<int>(v & 0xFFFFFFFF), next[t]++) << "each thread's values in its order";
    }
}
