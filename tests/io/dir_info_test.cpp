// XFileFilter, XFindStats, XCacheDirInfo and XDirInfo: wildcard edges, areas, text extensions,
// exact texts, the scan cache, cancellation from another thread and trees that fight back
// (symbolic-link loops, very deep trees, vanishing and unreadable entries).
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/XCacheDirInfo.h>
#include <zor/XDirInfo.h>
#include <zor/XFileFilter.h>
#include <zor/XFindStats.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <thread>
#include <unistd.h>

using namespace zor;

namespace {

void put(const QString& path, const QByteArray& bytes) { zortest::writeFile(path, bytes); }

QStringList names(const std::vector<QFileInfo>& files) {
    QStringList out;
    for (const QFileInfo& fi : files) out << fi.fileName();
    out.sort();
    return out;
}

QStringList names(const std::vector<const QFileInfo*>& files) {
    QStringList out;
    for (const QFileInfo* fi : files) out << fi->fileName();
    out.sort();
    return out;
}

}  // namespace

TEST(XFileFilter, WildcardsOnTheAbsolutePath) {
    EXPECT_TRUE(XFileFilter::wildcardMatch("C:/Data/A.TXT", "*.txt")) << "case-insensitive";
    EXPECT_FALSE(XFileFilter::wildcardMatch("C:/a.txt.d/b.txt", "*.txt")) << "a piece is taken at its first occurrence";
    EXPECT_TRUE(XFileFilter::wildcardMatch("C:/Data/A.TXT", "c:/da")) << "one literal piece is a prefix test";
    EXPECT_FALSE(XFileFilter::wildcardMatch("/x/c:/da", "c:/da"));
    EXPECT_TRUE(XFileFilter::wildcardMatch("/src/a.cpp", "/src/*"));
    EXPECT_TRUE(XFileFilter::wildcardMatch("/src/a.cpp", "*"));
    EXPECT_TRUE(XFileFilter::wildcardMatch("/src/a.cpp", "**.cpp"));
    EXPECT_TRUE(XFileFilter::wildcardMatch("/src/a.cpp", "*src*a*"));
    EXPECT_FALSE(XFileFilter::wildcardMatch("/src/a.cpp", "*lib*"));
    EXPECT_FALSE(XFileFilter::wildcardMatch("", "*"));
    EXPECT_FALSE(XFileFilter::wildcardMatch("/a", ""));
    // The leading piece is anchored at the start but does not move the search position.
    EXPECT_TRUE(XFileFilter::wildcardMatch("ab", "ab*b"));
    EXPECT_FALSE(XFileFilter::wildcardMatch("ab_cd_cd", "ab*cd")) << "cd found first at 3, which does not end the path";
}

TEST(XFileFilter, PatternsNegationAndSetPattern) {
    QTemporaryDir dir;
    put(dir.filePath("keep/a.txt"), "x");
    put(dir.filePath("skip/b.txt"), "x");
    put(dir.filePath("keep/c.cpp"), "x");
    XFileFilter f;
    EXPECT_TRUE(f.match(QFileInfo(dir.filePath("keep/c.cpp")))) << "an empty filter passes everything";
    f.setPattern("  *.txt, *.cpp;*.h  ", false);
    ASSERT_EQ(f.patterns.size(), 3u);
    EXPECT_EQ(f.patterns[2], QStringLiteral("*.h"));
    f.setPattern("   ", false);
    EXPECT_EQ(f.patterns.size(), 3u) << "a blank text changes nothing";
    f.setPattern("*/skip/*", true);
    EXPECT_EQ(f.pattern(false), QStringLiteral("*.txt, *.cpp, *.h"));
    EXPECT_EQ(f.pattern(true), QStringLiteral("*/skip/*"));
    EXPECT_TRUE(f.has_Pattern() && f.has_not_Pattern());
    EXPECT_TRUE(f.match(QFileInfo(dir.filePath("keep/a.txt"))));
    EXPECT_TRUE(f.match(QFileInfo(dir.filePath("keep/c.cpp"))));
    EXPECT_FALSE(f.match(QFileInfo(dir.filePath("skip/b.txt")))) << "negative pattern";
    f.patterns = {QStringLiteral("*.md")};
    EXPECT_FALSE(f.match(QFileInfo(dir.filePath("keep/a.txt"))));
}

TEST(XFileFilter, SizeTimeAndTextExtensions) {
    QTemporaryDir dir;
    put(dir.filePath("s100.bin"), QByteArray(100, 'a'));
    put(dir.filePath("s101.bin"), QByteArray(101, 'a'));
    put(dir.filePath("README"), "text");
    put(dir.filePath("notes.TXT"), "text");
    const QFileInfo f100(dir.filePath("s100.bin")), f101(dir.filePath("s101.bin"));

    XFileFilter f;
    f.sizeArea = XFileFilter::AFTER;
    f.size1 = 100;
    EXPECT_TRUE(f.match(f101));
    EXPECT_FALSE(f.match(f100));
    f.sizeArea = XFileFilter::BEFORE;
    EXPECT_FALSE(f.match(f100));
    f.size1 = 101;
    EXPECT_TRUE(f.match(f100));
    f.sizeArea = XFileFilter::EQUAL;
    EXPECT_TRUE(f.match(f101));
    EXPECT_FALSE(f.match(f100));
    f.sizeArea = XFileFilter::BETWEEN;
    f.size1 = 100;
    f.size2 = 100;
    EXPECT_TRUE(f.match(f100));
    EXPECT_FALSE(f.match(f101));
    f.sizeArea = XFileFilter::MARK;
    EXPECT_TRUE(f.match(f101)) << "MARK imposes nothing";
    f.sizeArea = static_cast<XFileFilter::Area>(77);
    EXPECT_TRUE(f.match(f101)) << "an unknown area imposes nothing";
    f.sizeArea = XFileFilter::NO_AREA;

    zortest::LogCapture cap;
    const long long t = f100.lastModified().toMSecsSinceEpoch();
    f.timeArea = XFileFilter::AFTER;
    f.time1 = t;
    EXPECT_TRUE(f.match(f100)) << "AFTER includes the bound";
    f.time1 = t + 1;
    EXPECT_FALSE(f.match(f100));
    EXPECT_TRUE(cap.containsText("negative"));
    f.timeArea = XFileFilter::BEFORE;
    EXPECT_TRUE(f.match(f100));
    f.time1 = t - 1;
    EXPECT_FALSE(f.match(f100));
    f.timeArea = XFileFilter::BETWEEN;
    f.time1 = t - 10;
    f.time2 = t;
    EXPECT_TRUE(f.match(f100));
    f.time2 = t - 1;
    EXPECT_FALSE(f.match(f100));
    f.timeArea = XFileFilter::EQUAL;
    f.time1 = t;
    EXPECT_TRUE(f.match(f100));
    f.timeArea = XFileFilter::NO_AREA;

    f.textExtensions = {QStringLiteral("txt")};
    EXPECT_TRUE(f.match(QFileInfo(dir.filePath("notes.TXT"))));
    EXPECT_FALSE(f.match(QFileInfo(dir.filePath("README")))) << "no suffix fails";
    EXPECT_FALSE(f.match(f100));

    // The single comparisons use the bounds as the names say.
    f.size1 = 10;
    f.size2 = 20;
    EXPECT_TRUE(f.is_size_smaller(9) && !f.is_size_smaller(10));
    EXPECT_TRUE(f.is_size_between(10) && f.is_size_between(20) && !f.is_size_between(21));
    EXPECT_TRUE(f.is_size_bigger(21) && !f.is_size_bigger(20));
    f.time1 = 5;
    f.time2 = 7;
    EXPECT_TRUE(f.is_time_before(4) && f.is_time_equals(5) && f.is_time_between(7) && f.is_time_after(8));
}

TEST(XFileFilter, ExactTexts) {
    XFileFilter f;
    EXPECT_EQ(f.toString(), QStringLiteral("{} ~{} SIZE:{NO_AREA} TIME:{NO_AREA}"));
    f.setPattern("*.txt;*.h", false);
    f.setPattern("*/tmp/*", true);
    f.sizeArea = XFileFilter::BETWEEN;
    f.size1 = 100;
    f.size2 = 200;
    f.timeArea = XFileFilter::BETWEEN;
    f.time1 = 1000;
    f.time2 = 2000;
    EXPECT_EQ(f.toString(), QStringLiteral("{*.txt, *.h} ~{*/tmp/*} SIZE:{<.> >= 100 & <=200} TIME:{<.> >= 1000  <= 2000}"));
    f.sizeArea = XFileFilter::AFTER;
    f.timeArea = XFileFilter::BEFORE;
    EXPECT_EQ(f.toString(), QStringLiteral("{*.txt, *.h} ~{*/tmp/*} SIZE:{> 100} TIME:{< 1000}"));
    const char* names[] = {"NO_AREA", "BEFORE", "EQUAL", "BETWEEN", "AFTER", "MARK", "UNKNOWN"};
    const char* ops[] = {"NO_AREA", "<", "=", "<.>", ">", "<.>", "UNKNOWN"};
    for (unsigned int a = 0; a < 7; ++a) {
        EXPECT_EQ(XFileFilter::area_to_String(a), QString::fromLatin1(names[a]));
        EXPECT_EQ(XFileFilter::area_to_String_operator(a), QString::fromLatin1(ops[a]));
    }

    XFindStats st;
    st.filesTotal = 1234567;
    st.files = 3;
    st.lines = 10;
    st.bytes = 1500;
    st.hits = 2;
    const XFindStats copy = st;
    EXPECT_EQ(copy.toString(), QStringLiteral("files total:1.234.567, files :3, lines :10, bytes :1.50 KB, hits :2"));
    st.reset();
    EXPECT_EQ(st.toString(), QStringLiteral("files total:0, files :0, lines :0, bytes :0.00 KB, hits :0"));
}

TEST(XCacheDirInfo, OperationsAndMissingKeys) {
    zortest::LogCapture cap;
    XCacheDirInfo cache;
    cache.put("/a", {QFileInfo("/a/x")});
    std::vector<QFileInfo> moved{QFileInfo("/b/y"), QFileInfo("/b/z")};
    cache.move("/b", std::move(moved));
    EXPECT_EQ(cache.countEntries(), 2u);
    EXPECT_TRUE(cache.containsKey("/b"));
    EXPECT_EQ(cache.get("/b").size(), 2u);
    EXPECT_TRUE(cache.get("/none").empty());
    EXPECT_TRUE(cap.containsText("XCacheDirInfo::get, invalid map<K, T> key '/none'"));
    cache.deleteEntry(QString());
    EXPECT_TRUE(cap.containsText("XCacheDirInfo::deleteEntry, key is empty or null !"));
    cache.deleteEntry("/a");
    cache.deleteEntry("/a");
    EXPECT_EQ(cache.countEntries(), 1u);
    cache.show(0);
    EXPECT_TRUE(cap.containsText("XCacheDirInfo, map entries:1"));
    EXPECT_TRUE(cap.containsText("elements [2] - key '/b'"));
    cache.clear();
    EXPECT_EQ(cache.countEntries(), 0u);
}

TEST(XDirInfo, ScanCountsCacheAndReload) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    put(dir.filePath("a.txt"), "hello");
    put(dir.filePath("empty.log"), "");
    put(dir.filePath("bin/data.bin"), QByteArray("\0\1\2\3", 4));
    put(dir.filePath("bin/deeper/z.cpp"), "int x;");
    put(dir.filePath(".hidden"), "h");
    const QString root = dir.path();

    XDirInfo info;
    ASSERT_TRUE(info.scan_dir(root));
    EXPECT_EQ(names(info.get_files()), (QStringList{"a.txt", "data.bin", "empty.log", "z.cpp"}));
    EXPECT_EQ(info.countFiles.load(), 4u);
    EXPECT_EQ(info.countDirs.load(), 2u);
    EXPECT_GE(info.countBytes.load(), 15u) << "files plus the sizes of the directories";
    EXPECT_TRUE(XDirInfo::cacheDir.containsKey(root));

    // A second scan comes from the cache: it does not see the disk.
    QFile::remove(dir.filePath("a.txt"));
    put(dir.filePath("new.txt"), "n");
    XDirInfo second;
    ASSERT_TRUE(second.scan_dir(root));
    EXPECT_EQ(names(second.get_files()), (QStringList{"a.txt", "data.bin", "empty.log", "z.cpp"}));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XDirInfo::scan_dir, <<<%1>>> from cache").arg(root)));
    EXPECT_EQ(second.countFiles.load(), 4u);

    second.reload = true;
    ASSERT_TRUE(second.scan_dir(root));
    EXPECT_FALSE(second.reload.load());
    EXPECT_EQ(names(second.get_files()), (QStringList{"data.bin", "empty.log", "new.txt", "z.cpp"}));

    XDirInfo hidden;
    hidden.setHiddenFiles(true);
    hidden.reload = true;
    ASSERT_TRUE(hidden.scan_dir(root));
    EXPECT_TRUE(names(hidden.get_files()).contains(".hidden"));

    // Filtered and text views; copies point into their own list.
    XFileFilter f;
    f.setPattern("*.txt *.cpp", false);
    const XFindStats st = second.setup_filtered_files(f, true);
    EXPECT_EQ(st.filesTotal.load(), 4u);
    EXPECT_EQ(st.files.load(), 2u);
    EXPECT_EQ(names(second.get_view_filtered_files()), (QStringList{"new.txt", "z.cpp"}));
    second.setupTextFiles();
    EXPECT_EQ(names(second.get_text_files()), (QStringList{"empty.log", "new.txt", "z.cpp"}));
    EXPECT_EQ(second.countTextBytes.load(), 7u);
    XDirInfo copy(second);
    second.scan_dir(dir.filePath("bin"));
    EXPECT_EQ(names(copy.get_view_filtered_files()), (QStringList{"new.txt", "z.cpp"}));
    EXPECT_EQ(names(copy.get_text_files()), (QStringList{"empty.log", "new.txt", "z.cpp"}));
    EXPECT_TRUE(copy.isTextFile("x.TXT"));
    EXPECT_FALSE(copy.isTextFile("Makefile"));

    XDirInfo counted;
    counted.countDirs = 1234;
    counted.countFiles = 5;
    counted.countBytes = 1500;
    counted.countTextFiles = 2;
    counted.countTextBytes = 2500000;
    EXPECT_EQ(counted.toString(), QStringLiteral("dirs:1.234, files:5, bytes:1.50 KB, text files:2, text bytes:2.50 MB"));

    // Bad input: nothing there, a file, an empty path.
    cap.clear();
    EXPECT_FALSE(info.scan_dir(dir.filePath("missing")));
    EXPECT_FALSE(info.scan_dir(dir.filePath("bin/data.bin")));
    EXPECT_FALSE(info.scan_dir(QString()));
    EXPECT_EQ(info.countFiles.load(), 0u);
    EXPECT_EQ(cap.linesStartingWith("XDirInfo::scan_dir, cannot read directory").size(), 2);
    EXPECT_FALSE(XDirInfo::cacheDir.containsKey(dir.filePath("missing")));
}

TEST(XDirInfo, StaticListings) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    put(dir.filePath("b.txt"), QByteArray(30, 'b'));
    put(dir.filePath("A.txt"), QByteArray(10, 'a'));
    put(dir.filePath("c.txt"), QByteArray(20, 'c'));
    put(dir.filePath("sub/d.txt"), QByteArray(5, 'd'));
    {
        QFile old(dir.filePath("c.txt"));
        ASSERT_TRUE(old.open(QIODevice::ReadWrite));
        ASSERT_TRUE(old.setFileTime(QDateTime::fromMSecsSinceEpoch(1000000000000), QFileDevice::FileModificationTime));
    }

    auto order = [](const std::vector<QFileInfo>& v) {
        QStringList out;
        for (const QFileInfo& fi : v) out << fi.fileName();
        return out;
    };
    EXPECT_EQ(order(XDirInfo::get_files_only(dir.path(), XDirInfo::SORT_NAME, XDirInfo::SORT_ASCENDING)),
              (QStringList{"A.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(order(XDirInfo::get_files_only(dir.path(), XDirInfo::SORT_SIZE, XDirInfo::SORT_DESCENDING)),
              (QStringList{"b.txt", "c.txt", "A.txt"}));
    EXPECT_EQ(order(XDirInfo::get_files_only(QDir(dir.path()), XDirInfo::SORT_TIME, XDirInfo::SORT_ASCENDING)).first(),
              QStringLiteral("c.txt"));
    EXPECT_EQ(XDirInfo::count_bytes(dir.path(), false), 60);
    EXPECT_EQ(XDirInfo::count_bytes(QDir(dir.path()), true), 65);
    EXPECT_EQ(order(XDirInfo::get_flat_directory_info(dir.path())), (QStringList{"sub", "A.txt", "b.txt", "c.txt"}));
    EXPECT_TRUE(XDirInfo::get_flat_directory_info(dir.filePath("nope")).empty());
    EXPECT_EQ(cap.linesStartingWith("XDirInfo::get_flat_directory_info").size(), 1);
}

TEST(XDirInfo, LinksLoopsDepthAndVanishingEntries) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    put(dir.filePath("top/f.txt"), "f");
    // Links back to the top and to itself: a walk that followed them would never end.
    ASSERT_TRUE(QFile::link(dir.filePath("top"), dir.filePath("top/loop")));
    ASSERT_TRUE(QFile::link(dir.filePath("top/self"), dir.filePath("top/self")));
    ASSERT_TRUE(QFile::link(dir.filePath("top/f.txt"), dir.filePath("top/f-link.txt")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("top/dangling")));
    XDirInfo info;
    info.reload = true;
    ASSERT_TRUE(info.scan_dir(dir.filePath("top")));
    EXPECT_EQ(names(info.get_files()), (QStringList{"f-link.txt", "f.txt"}));
    EXPECT_EQ(info.countDirs.load(), 1u) << "the link to a directory is counted, not followed";
    EXPECT_EQ(cap.linesStartingWith("XDirInfo::scan_dir, entry vanished").size(), 0);
    // The walk without lists sees the same files, with the listing's sizes, as they are read.
    std::map<QString, long long> walked;
    EXPECT_TRUE(XDirInfo::walk_files(dir.filePath("top"), false, nullptr, [&walked](QString&& p, long long size) {
        walked[QFileInfo(p).fileName()] = size;
    }));
    EXPECT_EQ(walked, (std::map<QString, long long>{{"f-link.txt", 1}, {"f.txt", 1}}));
    std::atomic<bool> stop{true};
    EXPECT_FALSE(XDirInfo::walk_files(dir.filePath("top"), false, &stop, [](QString&&, long long) { FAIL(); }));
    EXPECT_FALSE(XDirInfo::walk_files(dir.filePath("nowhere"), false, nullptr, [](QString&&, long long) { FAIL(); }));

    // 2,000 levels: the walk keeps its directories on the heap.
    QString deep = dir.filePath("deep");
    QString path = deep;
    for (int i = 0; i < 2000; ++i) path += QStringLiteral("/d");
    ASSERT_TRUE(QDir().mkpath(path));
    put(path + "/leaf.txt", "leaf");
    info.reload = true;
    ASSERT_TRUE(info.scan_dir(deep));
    EXPECT_EQ(info.countDirs.load(), 2000u);
    ASSERT_EQ(info.get_files().size(), 1u);
    EXPECT_EQ(info.get_files()[0].size(), 4);
    EXPECT_EQ(XDirInfo::count_bytes(deep, true), 4);

    // A directory that cannot be read costs one line and is left out (root reads everything).
    put(dir.filePath("locked/inner/x.txt"), "x");
    put(dir.filePath("locked/y.txt"), "y");
    if (geteuid() != 0) {
        QFile::setPermissions(dir.filePath("locked/inner"), QFileDevice::Permissions());
        cap.clear();
        info.reload = true;
        ASSERT_TRUE(info.scan_dir(dir.filePath("locked")));
        EXPECT_EQ(names(info.get_files()), (QStringList{"y.txt"}));
        EXPECT_EQ(cap.linesStartingWith("XDirInfo::scan_dir, cannot read directory").size(), 1);
        QFile::setPermissions(dir.filePath("locked/inner"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST(XDirInfo, CancelFromAnotherThread) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    for (int d = 0; d < 40; ++d) {
        const QString sub = dir.filePath(QStringLiteral("d%1").arg(d));
        QDir().mkpath(sub);
        for (int f = 0; f < 100; ++f) {
            QFile file(QStringLiteral("%1/f%2").arg(sub).arg(f));
            file.open(QIODevice::WriteOnly);
        }
    }
    XDirInfo info;
    info.reload = true;
    std::atomic<bool> finished{false}, watching{false};
    std::thread viewer([&] {
        // Cancels once the scan shows progress; ends with the scan in any case.
        watching = true;
        while (!finished.load() && info.countFiles.load() < 10) std::this_thread::yield();
        info.cancel = true;
    });
    // The scan starts only once the viewer watches it (starting a thread can take long on a busy machine).
    while (!watching.load()) std::this_thread::yield();
    const bool done = info.scan_dir(dir.path());
    finished = true;
    viewer.join();
    EXPECT_FALSE(done);
    EXPECT_LT(info.countFiles.load(), 4000u);
    EXPECT_FALSE(XDirInfo::cacheDir.containsKey(dir.path())) << "a cancelled scan is not cached";
    // The next scan clears cancel and finishes.
    ASSERT_TRUE(info.scan_dir(dir.path()));
    EXPECT_EQ(info.countFiles.load(), 4000u);
    EXPECT_TRUE(XDirInfo::cacheDir.containsKey(dir.path()));
}
