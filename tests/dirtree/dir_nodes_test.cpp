// XNodeDir, XNodeFile, XDirFileCreator, SearchFilter and SearchFileName: depth limits, text forms,
// lazy reading, searches, mapToFile and trees with link loops or thousands of levels.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/SearchFileName.h>
#include <zor/XNodeDir.h>
#include <zor/XNodeFile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace zor;

namespace {

void put(const QString& path, const QByteArray& bytes) { zortest::writeFile(path, bytes); }

QStringList childNames(const XNode* n) {
    QStringList out;
    for (const XNode* c : n->children()) out << c->getName();
    return out;
}

// a/ (b.txt 1234 bytes, c/ (d.cpp), e.md), Z.txt
void makeTree(const QTemporaryDir& dir) {
    put(dir.filePath("root/a/b.txt"), QByteArray(1234, 'b'));
    put(dir.filePath("root/a/c/d.cpp"), "int d;");
    put(dir.filePath("root/a/e.md"), "");
    put(dir.filePath("root/Z.txt"), "z");
    put(dir.filePath("root/b.TXT"), "b");
}

}  // namespace

TEST(XNodeDir, ScanDepthOrderAndTexts) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    makeTree(dir);
    const QString root = dir.filePath("root");

    XDirScanParameter one;
    one.maxDepth = 1;
    std::unique_ptr<XNodeDir> top(XNodeDir::scanDir(root + "/", one));
    EXPECT_EQ(top->path(QString()), root) << "one trailing '/' is removed";
    EXPECT_EQ(top->getName(), QStringLiteral("root"));
    EXPECT_EQ(childNames(top.get()), (QStringList{"a", "b.TXT", "Z.txt"})) << "directories first, then by name ignoring case";
    EXPECT_EQ(one.dirs, 2u);
    EXPECT_EQ(one.files, 2u);
    auto* a = dynamic_cast<XNodeDir*>(top->nodeAt(0));
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isDirRead()) << "beyond maxDepth a directory stays unread";
    EXPECT_FALSE(a->hasChildren());
    EXPECT_EQ(a->toString(), QStringLiteral("[ a]"));
    EXPECT_EQ(top->toString(), QStringLiteral("[-root]:3"));
    top->setCollapsed(true, false);
    EXPECT_EQ(top->toString(), QStringLiteral("[+root]:3"));
    EXPECT_TRUE(cap.containsText("XDir::scanDir, directories:2, files:2"));

    // Reading the unread directory later.
    XNodeDir::scanDirSpecial(a);
    EXPECT_TRUE(a->isDirRead());
    EXPECT_EQ(childNames(a), (QStringList{"c", "b.txt", "e.md"}));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XDir::scanDirSpecial, read '%1/a', dirs:2, files:2, total:4").arg(root)));
    XNodeDir::scanDirSpecial(a);
    EXPECT_EQ(a->countChildren(), 3u) << "a second read replaces the children";
    auto* b = dynamic_cast<XNodeFile*>(a->nodeAt(1));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getSize(), 1234u);
    EXPECT_EQ(b->toString(), QStringLiteral("b.txt, 1.234"));
    EXPECT_EQ(b->fileName(), QStringLiteral("b.txt"));
    EXPECT_EQ(b->getType(), QStringLiteral("XNodeFile"));
    EXPECT_FALSE(b->isDir());
    b->setString("size", "lots");
    EXPECT_EQ(b->getSize(), 0u);

    // Full depth, the extension filter and directories only.
    XDirScanParameter all;
    all.extensions = {QStringLiteral("txt")};
    std::unique_ptr<XNodeDir> full(XNodeDir::scanDir(root, all));
    EXPECT_EQ(all.dirs, 3u);
    EXPECT_EQ(all.files, 3u) << "b.txt, b.TXT, Z.txt";
    XDirScanParameter dirsOnly;
    dirsOnly.dirsOnly = true;
    std::unique_ptr<XNodeDir> dirs(XNodeDir::scanDir(root, dirsOnly));
    EXPECT_EQ(dirsOnly.files, 0u);
    QList<AbstractFile*> nodes;
    dirs->fillVector(nodes);
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[1]->fileName(), QStringLiteral("c"));

    unsigned long nd = 0, nf = 0;
    int depth = 2;
    std::unique_ptr<XNodeDir> second(XNodeDir::scanDir(root, &nd, &nf, &depth, true, QSet<QString>()));
    EXPECT_EQ(nd, 3u);
    EXPECT_EQ(nf, 4u) << "d.cpp lies on the third level";
    std::unique_ptr<XNodeDir> nulls(XNodeDir::scanDir(root, nullptr, nullptr, nullptr, true, QSet<QString>()));
    EXPECT_EQ(nulls->sizeRecursive(false), 7u);

    std::unique_ptr<XNodeDir> missing(XNodeDir::scanDir(dir.filePath("none"), one));
    EXPECT_FALSE(missing->hasChildren());
    EXPECT_EQ(cap.linesStartingWith("XDir::scanDir, cannot read directory").size(), 1);
}

TEST(XNodeDir, SearchAndMapToFile) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    makeTree(dir);
    const QString root = dir.filePath("root");
    XDirScanParameter p;
    std::unique_ptr<XNodeDir> top(XNodeDir::scanDir(root, p));

    EXPECT_EQ(top->mapToFile("d.cpp"), root + "/a/c/d.cpp");
    EXPECT_EQ(top->mapToFile("other/dir/d.cpp"), root + "/a/c/d.cpp") << "only the last part counts";
    EXPECT_EQ(top->mapToFile("nothing.h"), QString());
    EXPECT_EQ(top->mapToFile("/abs/d.cpp"), QString());
    EXPECT_TRUE(cap.containsText("XDir::mapToFile, absolute path not allowed, strFile '/abs/d.cpp'"));
    EXPECT_EQ(top->mapToFile("C:d.cpp"), QString());
    EXPECT_TRUE(cap.containsText("XDir::mapToFile, strFile contains drive Letter:, strFile 'C:d.cpp'"));

    SearchFileName txt(QStringLiteral("B.TXT"), true);
    top->search(txt);
    ASSERT_EQ(txt.results.size(), 2u);
    EXPECT_EQ(txt.results[0]->fileName(), QStringLiteral("b.txt")) << "depth-first: a/ comes first";
    SearchFileName exact(QStringLiteral("B.TXT"));
    top->search(exact);
    EXPECT_FALSE(exact.hasResult());
    SearchFileName inside(QStringLiteral("/a/"), false, true);
    inside.stopAtFirst = true;
    top->search(inside);
    ASSERT_EQ(inside.results.size(), 1u);
    EXPECT_EQ(inside.results[0]->fileName(), QStringLiteral("c"));
    EXPECT_FALSE(inside.match(nullptr));
    inside.show(0);
    exact.show(0);
    EXPECT_TRUE(cap.containsText("results:1"));
    EXPECT_TRUE(cap.containsText("NO RESULT"));

    AbstractFile* file = txt.results[0];
    EXPECT_EQ(file->path("/base"), file->path(QString())) << "an absolute path stays";
    file->setPath("rel/x.txt");
    EXPECT_EQ(file->path("/base/"), QStringLiteral("/base/rel/x.txt"));
    EXPECT_EQ(file->path(":/icons"), QStringLiteral(":/icons/rel/x.txt"));

    // The creator rebuilds the node classes by type name.
    std::unique_ptr<XNode> made(XNodeDir::creatorDirFile.create("XNodeDir"));
    EXPECT_NE(dynamic_cast<XNodeDir*>(made.get()), nullptr);
    std::unique_ptr<XNode> plain(XNodeDir::creatorDirFile.create("item"));
    EXPECT_EQ(dynamic_cast<AbstractFile*>(plain.get()), nullptr);
    EXPECT_EQ(plain->getType(), QStringLiteral("item"));
}

TEST(XNodeDir, LinkLoopsAndDeepTrees) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    put(dir.filePath("top/sub/f.txt"), "f");
    ASSERT_TRUE(QFile::link(dir.filePath("top"), dir.filePath("top/sub/up")));
    XDirScanParameter p;
    std::unique_ptr<XNodeDir> top(XNodeDir::scanDir(dir.filePath("top"), p));
    EXPECT_EQ(p.dirs, 3u) << "top, sub and the link";
    EXPECT_EQ(p.files, 1u);
    auto* up = dynamic_cast<XNodeDir*>(top->nodeAt(0)->nodeAt(0));
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->getName(), QStringLiteral("up"));
    EXPECT_FALSE(up->isDirRead()) << "a link to a directory is not followed";

    QString path = dir.filePath("deep");
    for (int i = 0; i < 2000; ++i) path += QStringLiteral("/d");
    ASSERT_TRUE(QDir().mkpath(path));
    put(path + "/leaf.txt", "leaf");
    XDirScanParameter deep;
    deep.maxDepth = 5000;
    std::unique_ptr<XNodeDir> tree(XNodeDir::scanDir(dir.filePath("deep"), deep));
    EXPECT_EQ(deep.dirs, 2001u);
    EXPECT_EQ(deep.files, 1u);
    EXPECT_EQ(tree->mapToFile("leaf.txt"), path + "/leaf.txt");
    top->show(0);
    EXPECT_TRUE(cap.containsText("[-top]:1"));
}
