// Whole files into memory blocks and back, through the blocks' own members (XMem::loadFromFile,
// XByteArray::saveToFile...): parts, round trips, names outside Latin-1, and each entry's failure
// line, level and error code (library codes, never the system's errno).
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/LogLevel.h>
#include <zor/XMemFile.h>
#include <zor/ZorErrorCodes.h>

#include <QDir>
#include <cerrno>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zor;

namespace {

QByteArray bytesOf(const XMem& m) { return QByteArray(m.mem(), static_cast<int>(m.size())); }

// The level flags of the first line that begins with prefix; 0 when there is none.
unsigned int levelOf(const zortest::LogCapture& cap, const QString& prefix) {
    for (const zortest::Captured& c : cap.messages())
        if (c.text.startsWith(prefix)) return c.level & 0x1FFEu;
    return 0;
}

}  // namespace

TEST(WholeFile, XMemRoundTripsAndParts) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("m.bin"));
    XMem m(QByteArray("0123456789"));
    ASSERT_TRUE(m.saveToFile(path));
    XMem r;
    ASSERT_TRUE(r.loadMem(path));
    EXPECT_EQ(bytesOf(r), QByteArray("0123456789"));
    ASSERT_TRUE(r.loadFromFile(path, 3));
    EXPECT_EQ(bytesOf(r), QByteArray("012"));
    ASSERT_TRUE(r.loadFromFile(path, 100));
    EXPECT_EQ(r.size(), 10u) << "the part is cut to the file";
    ASSERT_TRUE(r.loadFromFileAsString(path));
    EXPECT_EQ(r.size(), 11u);
    EXPECT_EQ(r.stringLen(), 10u);

    EXPECT_FALSE(m.saveToFile(path, 11));
    EXPECT_TRUE(m.isZorError(ZOR_ERROR_OUT_OF_RANGE));
    XMem back;
    ASSERT_TRUE(back.loadMem(path));
    EXPECT_EQ(back.size(), 10u) << "a refused save does not touch the file";
    ASSERT_TRUE(m.saveToFile(path, 4));
    // A block that held longer contents: the terminator is where the file ends.
    ASSERT_TRUE(back.loadFromFileAsString(path));
    EXPECT_EQ(bytesOf(back), QByteArray("0123", 5));
    ASSERT_TRUE(m.saveMem(path));
    ASSERT_TRUE(FileReader::loadMem(back, path)) << "the file layer's entries are the same path";
    EXPECT_EQ(back.size(), 10u);

    XMem none;
    EXPECT_FALSE(none.saveToFile(path));
    EXPECT_TRUE(none.isZorError(ZOR_ERROR_NOT_INITIALIZED));
    EXPECT_FALSE(FileWriter::saveMem(none, path));
    ASSERT_TRUE(back.loadMem(path));
    EXPECT_EQ(back.size(), 10u) << "an empty block writes nothing";

    // A name outside Latin-1 is written and read back as the same file that QFile sees.
    const QString greek = dir.filePath(QString::fromUtf8("\xCE\xB1\xCE\xB2.bin"));
    ASSERT_TRUE(m.saveToFile(greek));
    EXPECT_TRUE(QFile::exists(greek));
    XMem g;
    ASSERT_TRUE(g.loadFromFile(greek));
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
    ASSERT_TRUE(a.saveToFile(path));
    EXPECT_EQ(XByteArray::load(path), QByteArray("0123456789"));
    ASSERT_TRUE(a.saveToFile(path, 4));
    EXPECT_EQ(FileReader::load(path), QByteArray("0123"));
    EXPECT_FALSE(a.saveToFile(path, 11));
    EXPECT_TRUE(a.isZorError(ZOR_ERROR_OUT_OF_RANGE));
    EXPECT_EQ(XByteArray::load(path), QByteArray("0123")) << "a refused save leaves the file alone";

    XByteArray part;
    EXPECT_TRUE(part.loadFromFile(path, 2));
    EXPECT_EQ(part, QByteArray("01"));
    XByteArray tooMuch(QByteArray("keep"));
    EXPECT_FALSE(tooMuch.loadFromFile(path, 5));
    EXPECT_TRUE(tooMuch.isZorNumberTooBig());
    EXPECT_EQ(tooMuch, QByteArray("keep")) << "a refused load leaves the array alone";

    XByteArray emptyArray;
    const QString zero = dir.filePath(QStringLiteral("zero"));
    EXPECT_TRUE(emptyArray.saveToFile(zero)) << "an empty array is an empty file";
    EXPECT_TRUE(QFile::exists(zero));
    EXPECT_EQ(QFileInfo(zero).size(), 0);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::saveToFile,  '") + path + QStringLiteral("'  - bytes:10")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XByteArray::saveToFile, szPart:11 > size:10 for '") + path +
                                 QLatin1Char('\'')));
}

// Each entry reports a failure with its own line and value: a file that cannot be opened or
// created is code 100, an empty file no code (but an error where the disk path says so), a missing
// file for an array a DEBUG line.
TEST(WholeFile, FailureLinesAndCodesOfEachEntry) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString noDir = dir.filePath(QStringLiteral("no/such/dir"));
    const QString cannotRead = QStringLiteral("XMem::loadFromFile, cannot open file '%1' for reading");

    // loadFromFile and loadFromFileAsString open through Qt and set code 100; loadMem reads a disk
    // file through FileReader and keeps the system's errno.
    XMem f, s, g;
    EXPECT_FALSE(f.loadFromFile(missing));
    EXPECT_FALSE(s.loadFromFileAsString(missing));
    EXPECT_FALSE(g.loadMem(missing));
    for (const XMem* m : {&f, &s})
        EXPECT_TRUE(m->isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE)) << m->errAsString().toStdString();
    EXPECT_EQ(g.getErrno(), static_cast<unsigned>(ENOENT)) << g.errAsString().toStdString();
    XByteArray b;
    EXPECT_FALSE(b.loadFromFile(missing));
    EXPECT_TRUE(b.isOK()) << "a missing file is no error of the array";
    EXPECT_TRUE(XByteArray::load(missing).isEmpty());

    XMem i(QByteArray("old")), j, h;
    XByteArray e;
    EXPECT_FALSE(i.loadFromFile(empty));
    EXPECT_TRUE(i.isOK());
    EXPECT_EQ(i.size(), 0u) << "the block holds what the file held";
    EXPECT_FALSE(j.loadFromFileAsString(empty));
    EXPECT_TRUE(j.isOK());
    EXPECT_FALSE(h.loadMem(empty));
    EXPECT_TRUE(h.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    EXPECT_FALSE(e.loadFromFile(empty));
    EXPECT_TRUE(e.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));

    XMem d, rm;
    XByteArray res;
    EXPECT_FALSE(d.loadMem(dir.path())) << "a directory is no file and gives no pause";
    EXPECT_EQ(d.getErrno(), static_cast<unsigned>(EISDIR));
    EXPECT_FALSE(rm.loadFromFile(QStringLiteral(":/no/such/resource")));
    EXPECT_TRUE(rm.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    EXPECT_FALSE(res.loadFromFile(QStringLiteral(":/no/such/resource")));
    EXPECT_TRUE(res.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));

    XMem m(QByteArray("x")), m2(QByteArray("x"));
    XByteArray w(QByteArray("x"));
    // XMem::saveToFile keeps the system's errno; saveMem and the array's saveToFile set code 100.
    EXPECT_FALSE(m.saveToFile(noDir));
    EXPECT_FALSE(m2.saveMem(noDir));
    EXPECT_FALSE(w.saveToFile(noDir));
    EXPECT_EQ(m.getErrno(), static_cast<unsigned>(ENOENT)) << m.errAsString().toStdString();
    for (const AbstractMemory* x : {static_cast<const AbstractMemory*>(&m2), static_cast<const AbstractMemory*>(&w)})
        EXPECT_TRUE(x->isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE)) << x->errAsString().toStdString();
    XByteArray unreadableArray;
    const QString unreadable = dir.filePath(QStringLiteral("unreadable"));
    zortest::writeFile(unreadable, QByteArray("x"));
    QFile::setPermissions(unreadable, QFileDevice::WriteOwner);
    if (::geteuid() != 0) {  // root reads anything
        EXPECT_FALSE(unreadableArray.loadFromFile(unreadable));
        EXPECT_EQ(unreadableArray.getErrno(), static_cast<unsigned>(EACCES)) << "the array keeps the system's errno";
    }

    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith(cannotRead.arg(missing)).size(), 3);
    EXPECT_EQ(levelOf(cap, cannotRead.arg(missing)), static_cast<unsigned>(XERROR));
    const QString doesNotExist = QStringLiteral("XMem::loadFromFile, file '%1' does not exist").arg(missing);
    EXPECT_EQ(cap.linesStartingWith(doesNotExist).size(), 2);
    EXPECT_EQ(levelOf(cap, doesNotExist), static_cast<unsigned>(DEBUG));
    EXPECT_EQ(cap.linesStartingWith(cannotRead.arg(empty) + QStringLiteral(", file is empty - 0 bytes")).size(), 2);
    EXPECT_EQ(cap.linesStartingWith(cannotRead.arg(empty)).size(), 2) << "an empty file is no error for the others";
    EXPECT_TRUE(cap.containsText(cannotRead.arg(QStringLiteral(":/no/such/resource"))));
    const QString internal =
        QStringLiteral("XMem::loadFromFile, INTERNAL, cannot open file ':/no/such/resource' for reading");
    EXPECT_TRUE(cap.containsText(internal));
    EXPECT_EQ(levelOf(cap, internal), static_cast<unsigned>(XERROR));
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XMem::saveToFile, cannot open file '") + noDir +
                                    QStringLiteral("' for writing"))
                  .size(),
              3);
    EXPECT_FALSE(cap.containsText(QStringLiteral("FileWriter::open, file problems"))) << "one line per failure";
}

TEST(WholeFile, XMemFileOverridesTheLoadAndKeepsItsType) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("p.PNG"));
    zortest::writeFile(png, QByteArray("\x89PNG"));
    XMemFile file;
    XMem& asBlock = file;
    ASSERT_TRUE(asBlock.loadFromFile(png)) << "called through the block, the file's own load runs";
    EXPECT_EQ(file.getMimeType(), XMimeType(QStringLiteral("image"), QStringLiteral("png")));
    EXPECT_EQ(bytesOf(file), QByteArray("\x89PNG"));

    XMemFile bad, res;
    const QString none = dir.filePath(QStringLiteral("none.jpg"));
    EXPECT_FALSE(bad.loadFromFile(none));
    EXPECT_TRUE(bad.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    EXPECT_FALSE(res.loadFromFile(QStringLiteral(":/none.png")));
    EXPECT_TRUE(res.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    zortest::drainLogger();
    EXPECT_TRUE(
        cap.containsText(QStringLiteral("XFileMem::loadFromFile, cannot open file '%1' for reading").arg(none)));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMem::loadFromFile, cannot open file ':/none.png' for reading")));
}
