// Whole files into memory blocks and back (FileReader::loadFromFile, FileWriter::saveToFile): parts,
// round trips, names outside Latin-1, and one error word and one text per failure for every entry.
#include "support/CaptureAppender.h"

#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/XMemFile.h>
#include <zor/ZorErrorCodes.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using namespace zor;

namespace {

QByteArray bytesOf(const XMem& m) { return QByteArray(m.mem(), static_cast<int>(m.size())); }

}  // namespace

TEST(WholeFile, XMemRoundTripsAndParts) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("m.bin"));
    XMem m(QByteArray("0123456789"));
    ASSERT_TRUE(FileWriter::saveToFile(m, path));
    XMem r;
    ASSERT_TRUE(FileReader::loadMem(r, path));
    EXPECT_EQ(bytesOf(r), QByteArray("0123456789"));
    ASSERT_TRUE(FileReader::loadFromFile(r, path, 3));
    EXPECT_EQ(bytesOf(r), QByteArray("012"));
    ASSERT_TRUE(FileReader::loadFromFile(r, path, 100));
    EXPECT_EQ(r.size(), 10u) << "the part is cut to the file";
    ASSERT_TRUE(FileReader::loadFromFileAsString(r, path));
    EXPECT_EQ(r.size(), 11u);
    EXPECT_EQ(r.stringLen(), 10u);

    EXPECT_FALSE(FileWriter::saveToFile(m, path, 11));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_OUT_OF_RANGE));
    XMem back;
    ASSERT_TRUE(FileReader::loadMem(back, path));
    EXPECT_EQ(back.size(), 10u) << "a refused save does not touch the file";
    ASSERT_TRUE(FileWriter::saveToFile(m, path, 4));
    ASSERT_TRUE(FileReader::loadMem(back, path));
    EXPECT_EQ(bytesOf(back), QByteArray("0123"));
    ASSERT_TRUE(FileWriter::saveMem(m, path));
    ASSERT_TRUE(FileReader::loadMem(back, path));
    EXPECT_EQ(back.size(), 10u);

    XMem none;
    EXPECT_FALSE(FileWriter::saveToFile(none, path));
    EXPECT_TRUE(none.isZorError(ZOR_ERROR_NOT_INITIALIZED));
    EXPECT_FALSE(FileWriter::saveMem(none, path));
    ASSERT_TRUE(FileReader::loadMem(back, path));
    EXPECT_EQ(back.size(), 10u) << "an empty block writes nothing";

    // A name outside Latin-1 is written and read back as the same file that QFile sees.
    const QString greek = dir.filePath(QString::fromUtf8("\xCE\xB1\xCE\xB2.bin"));
    ASSERT_TRUE(FileWriter::saveToFile(m, greek));
    EXPECT_TRUE(QFile::exists(greek));
    XMem g;
    ASSERT_TRUE(FileReader::loadFromFile(g, greek));
    EXPECT_EQ(bytesOf(g), QByteArray("0123456789"));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::loadFromFile, # s:'") + path + QStringLiteral("', szPart:3")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMem::saveToFile, szPart:11 > size:10 for '") + path + QLatin1Char('\'')));
}

TEST(WholeFile, XByteArrayRoundTripsAndParts) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.bin"));
    XByteArray a(QByteArray("0123456789"));
    ASSERT_TRUE(FileWriter::saveToFile(a, path));
    EXPECT_EQ(FileReader::load(path), QByteArray("0123456789"));
    ASSERT_TRUE(FileWriter::saveToFile(a, path, 4));
    EXPECT_EQ(FileReader::load(path), QByteArray("0123"));
    EXPECT_FALSE(FileWriter::saveToFile(a, path, 11));
    EXPECT_TRUE(a.isZorError(ZOR_ERROR_OUT_OF_RANGE));
    EXPECT_EQ(FileReader::load(path), QByteArray("0123")) << "a refused save leaves the file alone";

    XByteArray part;
    EXPECT_TRUE(FileReader::loadFromFile(part, path, 2));
    EXPECT_EQ(part, QByteArray("01"));
    XByteArray tooMuch(QByteArray("keep"));
    EXPECT_FALSE(FileReader::loadFromFile(tooMuch, path, 5));
    EXPECT_TRUE(tooMuch.isZorNumberTooBig());
    EXPECT_EQ(tooMuch, QByteArray("keep")) << "a refused load leaves the array alone";

    XByteArray emptyArray;
    const QString zero = dir.filePath(QStringLiteral("zero"));
    EXPECT_TRUE(FileWriter::saveToFile(emptyArray, zero)) << "an empty array is an empty file";
    EXPECT_TRUE(QFile::exists(zero));
    EXPECT_EQ(QFileInfo(zero).size(), 0);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::saveToFile,  '") + path + QStringLiteral("'  - bytes:10")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::saveToFile, szPart:11 > size:10 for '") + path +
                                 QLatin1Char('\'')));
}

// The same failure gives the same error word and the same text, whichever block and entry it came through.
TEST(WholeFile, FailuresAreTheSameForEveryEntry) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString noDir = dir.filePath(QStringLiteral("no/such/dir"));

    XMem f, g, s;
    XByteArray b;
    EXPECT_FALSE(FileReader::loadFromFile(f, missing));
    EXPECT_FALSE(FileReader::loadMem(g, missing));
    EXPECT_FALSE(FileReader::loadFromFileAsString(s, missing));
    EXPECT_FALSE(FileReader::loadFromFile(b, missing));
    for (const AbstractMemory* m : {static_cast<const AbstractMemory*>(&f), static_cast<const AbstractMemory*>(&g),
                                    static_cast<const AbstractMemory*>(&s), static_cast<const AbstractMemory*>(&b)})
        EXPECT_EQ(m->getErrno(), static_cast<unsigned>(ENOENT));
    EXPECT_TRUE(FileReader::load(missing).isEmpty());

    XMem h, i;
    XByteArray e;
    EXPECT_FALSE(FileReader::loadMem(h, empty));
    EXPECT_FALSE(FileReader::loadFromFile(i, empty));
    EXPECT_FALSE(FileReader::loadFromFile(e, empty));
    EXPECT_TRUE(h.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    EXPECT_TRUE(i.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    EXPECT_TRUE(e.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));

    XMem d;
    XByteArray res;
    EXPECT_FALSE(FileReader::loadMem(d, dir.path())) << "a directory is no file and gives no pause";
    EXPECT_EQ(d.getErrno(), static_cast<unsigned>(EISDIR));
    EXPECT_FALSE(FileReader::loadFromFile(res, QStringLiteral(":/no/such/resource")));
    EXPECT_EQ(res.getErrno(), static_cast<unsigned>(ENOENT));

    XMem m(QByteArray("x"));
    XMem m2(QByteArray("x"));
    XByteArray w(QByteArray("x"));
    EXPECT_FALSE(FileWriter::saveToFile(m, noDir));
    EXPECT_FALSE(FileWriter::saveMem(m2, noDir));
    EXPECT_FALSE(FileWriter::saveToFile(w, noDir));
    EXPECT_EQ(m.getErrno(), static_cast<unsigned>(ENOENT));
    EXPECT_EQ(m2.getErrno(), static_cast<unsigned>(ENOENT));
    EXPECT_EQ(w.getErrno(), static_cast<unsigned>(ENOENT));

    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XMem::loadFromFile, cannot open file '") + missing +
                                    QStringLiteral("' for reading"))
                  .size(),
              5);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XMem::loadFromFile, cannot open file '") + empty +
                                    QStringLiteral("' for reading, file is empty - 0 bytes"))
                  .size(),
              3);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XMem::saveToFile, cannot open file '") + noDir +
                                    QStringLiteral("' for writing"))
                  .size(),
              3);
    EXPECT_FALSE(cap.containsText(QStringLiteral("FileWriter::open, file problems"))) << "one line per failure";
}

TEST(WholeFile, XMemFileKeepsItsTypeAndErrors) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    XMemFile bad;
    EXPECT_FALSE(bad.loadFromFile(dir.filePath(QStringLiteral("none.jpg"))));
    EXPECT_EQ(bad.getErrno(), static_cast<unsigned>(ENOENT));
    XMemFile res;
    EXPECT_FALSE(res.loadFromFile(QStringLiteral(":/none.png")));
    EXPECT_EQ(res.getErrno(), static_cast<unsigned>(ENOENT));
}
