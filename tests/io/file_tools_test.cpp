// XFileMapper, XMemFile, XMimeType, XFile and the free file tools: mapping life cycle, files that
// change size while mapped, the text-file test, wildcards, names and environment variables.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/FileTools.h>
#include <zor/Logger.h>
#include <zor/XFile.h>
#include <zor/XFileMapper.h>
#include <zor/XMemFile.h>
#include <zor/ZorErrorCodes.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using namespace zor;

namespace {

QString make(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    zortest::writeFile(path, bytes);
    return path;
}

}  // namespace

TEST(XFileMapper, LifeCycleAndFilesThatChangeSize) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString path = make(dir, QStringLiteral("m.bin"), QByteArray(3 * 4096, 'q'));
    XFileMapper map(path);
    EXPECT_EQ(map.mem(), nullptr);
    EXPECT_EQ(map.lastChar(), nullptr);
    EXPECT_TRUE(map.createByteArray().isEmpty());
    EXPECT_FALSE(map.unMap());
    ASSERT_TRUE(map.mapReadOnly());
    ASSERT_NE(map.mem(), nullptr);
    EXPECT_TRUE(map.isMapped());
    EXPECT_EQ(map.length(), 3u * 4096);
    EXPECT_EQ(*map.lastChar(), 'q');
    EXPECT_FALSE(map.mapReadOnly());
    EXPECT_FALSE(map.mapReadWrite());
    EXPECT_TRUE(map.isFileName(path));

    // Another writer shortens the file: length() follows it, so readers stay inside the file.
    ASSERT_TRUE(QFile::resize(path, 100));
    EXPECT_EQ(map.length(), 100u);
    const XByteArray copy = map.createByteArray();
    EXPECT_EQ(copy.size(), 100);
    long long sum = 0;
    for (std::size_t i = 0; i < map.length(); ++i) sum += map.mem()[i];
    EXPECT_EQ(sum, 100LL * 'q');
    ASSERT_TRUE(QFile::resize(path, 5 * 4096));
    EXPECT_EQ(map.length(), 3u * 4096) << "growth is not mapped until the file is mapped again";
    EXPECT_TRUE(map.unMap());
    EXPECT_FALSE(map.isMapped());
    EXPECT_EQ(map.length(), 5u * 4096);

    // Read-write mapping writes through to the file; resize drops and remakes the mapping.
    ASSERT_TRUE(map.mapReadWrite());
    map.mem()[0] = 'W';
    ASSERT_TRUE(map.resize(10));
    EXPECT_EQ(map.length(), 10u);
    EXPECT_EQ(map.mem()[0], 'W');
    EXPECT_TRUE(map.unMap());

    const QString empty = make(dir, QStringLiteral("empty"), QByteArray());
    XFileMapper e(QFileInfo{empty});
    ASSERT_TRUE(e.mapReadOnly());
    EXPECT_EQ(e.mem(), nullptr);
    EXPECT_EQ(e.length(), 0u);
    XFileMapper missing(dir.filePath(QStringLiteral("none")));
    EXPECT_FALSE(missing.mapReadOnly());
    XFileMapper directory(dir.path());
    EXPECT_FALSE(directory.mapReadOnly() && directory.mem() != nullptr) << "a directory maps nothing";

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::mem, forgot to call 'mapReadOnly' ?")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::lastChar, pMap == nullptr")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::createByteArray, NOT mapped - call")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::mapReadyOnly, was NOT mapped !")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::mapReadOnly, already mapped !")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::mapReadWrite, already mapped !")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMapper::length, '") + path +
                                 QStringLiteral("' changed size while mapped, mapped:12288, now:100")));
    Logger::quit();
}

TEST(FileTools, TextFileTest) {
    QTemporaryDir dir;
    EXPECT_TRUE(is_text_file(make(dir, QStringLiteral("a.txt"), "line one\r\n\tline two\b\n")));
    EXPECT_TRUE(is_text_file(make(dir, QStringLiteral("d.xml"), QByteArray("<!DOCTYPE html>\0\x01\x02", 18))));
    EXPECT_FALSE(is_text_file(make(dir, QStringLiteral("short"), QByteArray("<!xml\0", 6)))) << "9 bytes at least";
    EXPECT_FALSE(is_text_file(make(dir, QStringLiteral("u.txt"), QByteArray("gr\xC3\xBC\xC3\x9F"))));
    QByteArray late(2000, 'a');
    late[1500] = '\0';
    EXPECT_TRUE(is_text_file(make(dir, QStringLiteral("late"), late)));
    late[1023] = '\x1F';
    EXPECT_FALSE(is_text_file(make(dir, QStringLiteral("edge"), late)));
    EXPECT_FALSE(is_text_file(make(dir, QStringLiteral("ff"), QByteArray("\x0C"))));
    EXPECT_FALSE(is_text_file(make(dir, QStringLiteral("empty"), QByteArray())));
    EXPECT_FALSE(is_text_file(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(is_text_file(dir.path()));
    EXPECT_TRUE(is_text_file(QFileInfo(make(dir, QString::fromUtf8("\xE2\x82\xAC.txt"), "euro"))))
        << "names outside Latin-1 work through Qt";
}

TEST(FileTools, WildcardsExtensionsAndNames) {
    EXPECT_TRUE(pattern_match_wild_card(QStringLiteral("a.TXT"), QStringLiteral("*.txt")));
    EXPECT_TRUE(pattern_match_wild_card(QStringLiteral("abc"), QStringLiteral("ab*")));
    EXPECT_FALSE(pattern_match_wild_card(QStringLiteral("a.txt.bak"), QStringLiteral("*.txt")));
    EXPECT_TRUE(pattern_match_wild_card(QStringLiteral("abc"), QStringLiteral("ab")));
    EXPECT_FALSE(pattern_match_wild_card(QStringLiteral("xabc"), QStringLiteral("ab")));
    EXPECT_TRUE(pattern_match_wild_card(QStringLiteral("report-2024.log"), QStringLiteral("rep*20*.log")));
    EXPECT_FALSE(pattern_match_wild_card(QStringLiteral("report.log"), QStringLiteral("rep*20*.log")));
    EXPECT_TRUE(pattern_match_wild_card(QStringLiteral("anything"), QStringLiteral("*")));
    EXPECT_FALSE(pattern_match_wild_card(QString(), QStringLiteral("*")));
    EXPECT_FALSE(pattern_match_wild_card(QStringLiteral("a"), QString()));
    EXPECT_TRUE(pattern_match_wild_card(QFileInfo(QStringLiteral("/tmp/x/notes.md")), QStringLiteral("*/x/*.MD")));

    EXPECT_EQ(getFileExtension(QStringLiteral("archive.TAR.GZ"), true), QStringLiteral("gz"));
    EXPECT_EQ(getFileExtension(QStringLiteral("archive.TAR.GZ"), false), QStringLiteral("GZ"));
    EXPECT_EQ(getFileExtension(QStringLiteral("x"), true), QString());
    EXPECT_EQ(getFileExtension(QStringLiteral("/a.b/noext"), true), QString()) << "only the file name counts";
    EXPECT_EQ(getFileExtension(QFileInfo(QStringLiteral("p.Png")), true), QStringLiteral("png"));
    EXPECT_EQ(getPureFilename(QStringLiteral("/a/b/c.txt")), QStringLiteral("c.txt"));
    EXPECT_EQ(getRelPath(QStringLiteral("/a/b"), QStringLiteral("/a/b/c/d.txt")), QStringLiteral("c/d.txt"));
    EXPECT_EQ(getTmpFilename(QString()), QDir::toNativeSeparators(QDir::tempPath()));
    EXPECT_EQ(getTmpFilename(QStringLiteral("x.log")), QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/x.log")));
    EXPECT_EQ(XFile::createTmpFileName(QStringLiteral("y")), QDir::tempPath() + QStringLiteral("/y"));
}

TEST(FileTools, ExistenceReadingWritingDirectoriesAndDeletion) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString path = make(dir, QStringLiteral("t.txt"), "h\xC3\xA9llo");
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(fileExists(path.toUtf8().constData()));
    EXPECT_FALSE(fileExists(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(fileExists(QString()));
    EXPECT_FALSE(fileExists(dir.path())) << "a directory is not a file";
    EXPECT_TRUE(dirExists(dir.path()));
    EXPECT_FALSE(dirExists(path));
    EXPECT_EQ(getFileLength(path), 6);
    EXPECT_EQ(getFileLength(dir.filePath(QStringLiteral("none"))), -1);
    EXPECT_EQ(readAsciiFile(path), QString::fromUtf8("h\xC3\xA9llo"));
    EXPECT_EQ(readAsciiFileByteArray(path), QByteArray("h\xC3\xA9llo"));
    EXPECT_EQ(readAsciiFile(dir.path()), QString());
    EXPECT_TRUE(readAsciiFileByteArray(dir.filePath(QStringLiteral("none"))).isEmpty());

    const QString out = dir.filePath(QStringLiteral("out.bin"));
    EXPECT_TRUE(writeByteArrayToFile(QByteArray("\0\1\2", 3), out));
    EXPECT_EQ(readAsciiFileByteArray(out), QByteArray("\0\1\2", 3));
    EXPECT_TRUE(writeByteArrayToFile(QByteArray(), out));
    EXPECT_EQ(getFileLength(out), 0);
    EXPECT_FALSE(writeByteArrayToFile(QByteArray("x"), dir.path()));

    EXPECT_TRUE(mkDirPath(dir.filePath(QStringLiteral("a/b/c")), true));
    EXPECT_TRUE(dirExists(dir.filePath(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(mkDirPath(dir.filePath(QStringLiteral("p/q/file.txt")), false));
    EXPECT_TRUE(dirExists(dir.filePath(QStringLiteral("p/q"))));
    EXPECT_FALSE(dirExists(dir.filePath(QStringLiteral("p/q/file.txt"))));
    EXPECT_FALSE(mkDirPath(QStringLiteral("plain"), false));
    EXPECT_FALSE(mkDirPath(path + QStringLiteral("/under/a/file"), true)) << "a file stands in the way";

    EXPECT_TRUE(deleteFile(out));
    EXPECT_FALSE(fileExists(out));
    EXPECT_FALSE(deleteFile(out));
    const QString euro = make(dir, QString::fromUtf8("\xE2\x82\xAC.txt"), "e");
    EXPECT_TRUE(deleteFile(QFileInfo(euro))) << "deletion takes the UTF-8 name";
    EXPECT_FALSE(QFile::exists(euro));

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("zor::readAsciiFile, '") + dir.path() + QStringLiteral("' open problem")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("zor::writeByteArrayToFile, cannot write to '") + dir.path() +
                                 QLatin1Char('\'')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("mkDirPath 'plain', flagAll:false, problems")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("file_tools::deleteFile not working for '") + out + QStringLiteral("' ")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("file_tools::deleteFile, No such file or directory")));
    Logger::quit();
}

TEST(FileTools, FileInfoEnvironment) {
    QTemporaryDir dir;
    const QString path = make(dir, QString::fromUtf8("r\xC3\xA9sum\xC3\xA9.tar.gz"), "x");
    const QFileInfo fi(path);
    fileInfo_to_env(fi);
    EXPECT_EQ(QString::fromUtf8(qgetenv("G_PATH")), fi.absoluteFilePath());
    EXPECT_EQ(QString::fromUtf8(qgetenv("G_DIR")), fi.absolutePath());
    EXPECT_EQ(QString::fromUtf8(qgetenv("G_FILE")), QString::fromUtf8("r\xC3\xA9sum\xC3\xA9.tar.gz"));
    EXPECT_EQ(QString::fromUtf8(qgetenv("G_SUFFIX")), QStringLiteral("gz"));
    EXPECT_EQ(QString::fromUtf8(qgetenv("G_BASE")), QString::fromUtf8("r\xC3\xA9sum\xC3\xA9"));

    zortest::LogCapture cap;
    fileInfo_env_show(2);
    zortest::drainLogger();
    // The indentation goes to the message, the text stays bare.
    bool found = false;
    for (const auto& m : cap.messages()) {
        if (m.text != QStringLiteral("G_SUFFIX:'gz'")) continue;
        found = true;
        EXPECT_EQ(m.space, 2u);
    }
    EXPECT_TRUE(found);
    Logger::quit();
}

TEST(XMemFile, MimeTypeLoadingAndContents) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString png = make(dir, QStringLiteral("Pic.PNG"), "\x89PNG");
    XMemFile m;
    ASSERT_TRUE(m.loadFromFile(png));
    EXPECT_EQ(m.size(), 4u);
    EXPECT_TRUE(m.hasMimeType());
    EXPECT_EQ(m.getMimeType().toString(), QStringLiteral("image/png {") + png + QLatin1Char('}'));
    EXPECT_TRUE(m.getMimeType().isQtImage());
    m.set_raw_data("ab", 2);
    EXPECT_FALSE(m.hasMimeType()) << "new contents drop the type";
    EXPECT_EQ(m.asString(), QStringLiteral("ab"));
    ASSERT_TRUE(m.loadFromFile(png));
    m.setString("t");
    EXPECT_FALSE(m.hasMimeType());
    ASSERT_TRUE(m.loadFromFile(png, 2));
    EXPECT_EQ(m.size(), 2u);
    EXPECT_FALSE(m.hasMimeType()) << "a part load leaves the type alone";

    XMemFile moved(std::move(m));
    EXPECT_EQ(moved.size(), 2u);
    EXPECT_TRUE(m.isEmpty());
    moved.setMimeType(XMimeType::fromFileExtension(QStringLiteral(".Txt")));
    XMemFile copied(moved);
    EXPECT_EQ(copied.getMimeType(), XMimeType(QStringLiteral("text"), QStringLiteral("plain")));
    copied.clear();
    EXPECT_TRUE(copied.isEmpty());
    EXPECT_FALSE(copied.hasMimeType());

    XMemFile bad;
    EXPECT_FALSE(bad.loadFromFile(dir.filePath(QStringLiteral("none.jpg"))));
    EXPECT_TRUE(bad.isZorError(ZOR_ERROR_CANNOT_READ_RESOURCE));
    XMemFile empty;
    EXPECT_FALSE(empty.loadFromFile(make(dir, QStringLiteral("e.txt"), QByteArray())));
    EXPECT_TRUE(empty.isOK()) << "an empty file is no error";

    EXPECT_EQ(XMemFile::fromFile(make(dir, QStringLiteral("u.txt"), "\xC3\xA4")), QString::fromUtf8("\xC3\xA4"));
    EXPECT_EQ(XMemFile::fromFile(QFileInfo(dir.filePath(QStringLiteral("none")))), QString());

    EXPECT_EQ(XMimeType::fromFileExtension(QStringLiteral("weird")).toString(), QStringLiteral("application/octet-stream"));
    EXPECT_TRUE(XMimeType::fromFileExtension(QStringLiteral("")).isDefault());
    EXPECT_EQ(XMimeType::fromFile(QStringLiteral("/x/a.HTML")).toString(), QStringLiteral("text/html"));
    EXPECT_FALSE(XMimeType::fromFile(QStringLiteral("noext")).hasType());
    EXPECT_EQ(XMimeType::fromFileExtension(QStringLiteral("mpe")).getFileExtension(), QStringLiteral("mpeg"));
    XMimeType z;
    z.setZorMime();
    EXPECT_TRUE(z.isZorMime());

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XFileMem::loadFromFile, cannot open file '") +
                                 dir.filePath(QStringLiteral("none.jpg")) + QStringLiteral("' for reading")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMemFile::load, cannot load_thumb <<<") +
                                 QFileInfo(dir.filePath(QStringLiteral("none"))).absoluteFilePath() +
                                 QStringLiteral(">>>, return empty QString")));
    Logger::quit();
}

TEST(XFile, WritesUtf8LinesOnlyInWriteMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.txt"));
    {
        XFile f(path, XFile::MODE_WRITE);
        ASSERT_TRUE(static_cast<bool>(f));
        EXPECT_TRUE(f.write(QString::fromUtf8("\xC3\xBC"), true));
        EXPECT_TRUE(f.write(QStringLiteral("no end"), false));
        EXPECT_TRUE(f.write_cstring("!\n"));
        EXPECT_TRUE(f.write_random_line(20));
    }
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = in.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("\xC3\xBC"));
    EXPECT_EQ(lines[1], QByteArray("no end!"));
    EXPECT_EQ(lines[2].size(), 20);
    XFile readMode(path, XFile::MODE_READ);
    EXPECT_FALSE(static_cast<bool>(readMode));
    XFile inDir(dir.filePath(QStringLiteral("no/dir/x")), XFile::MODE_WRITE);
    EXPECT_FALSE(static_cast<bool>(inDir));
}
