#include <zor/Logger.h>
#include <zor/XNode.h>
#include <zor/XStringStream.h>

#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace zor;

TEST(XNodeWriter, ExactTextOfElementsTextsAndEmptyTags) {
    std::unique_ptr<XNode> list(XNode::createRoot("list", "", nullptr));
    list->setInt("n", 2);
    list->createNode("item", "a", nullptr)->setText("x");
    list->createNode("item", "", nullptr);
    EXPECT_EQ(XNode::saveNodeToString(*list),
              "<list n=\"2\" >\n"
              "    <item name=\"a\" >x</item>    <item/>\n"
              "</list>\n");
    XStringStream s;
    XNode::appendToStream(s, *list->nodeAt(1), 4);
    EXPECT_EQ(s.toString(), "    <item/>\n");

    XNode::atomicWriteFullEmptyTags = true;
    XNode a;
    a.setType("a");
    EXPECT_EQ(a.allAsString(0), "<a></a>");
    a.setString("k", "v");
    EXPECT_EQ(a.allAsString(0), "<a k=\"v\" />\n");
    XNode::atomicWriteFullEmptyTags = false;

    // A node with children writes its text right after the start tag.
    XNode p;
    p.setType("p");
    p.setText("t<x");
    p.createNode("c", "", nullptr);
    EXPECT_EQ(p.allAsString(0), "<p>\nt<x    <c/>\n</p>\n");

    // UTF-8 straight from the tree: the same bytes as the text converted, for every width of
    // character, a pair of surrogates and a lone half (which becomes '?'), appended to what the
    // bytes held.
    XNode u;
    u.setType(QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
    u.setString("k", QString::fromUtf8("a\xE2\x82\xAC\xF0\x9F\x98\x80") + QChar(0xD800) + "z");
    u.createNode("c", "", nullptr)->setText(QString(QChar(0xDC00)) + QString::fromUtf8("\xC3\x9F"));
    for (int i = 0; i < 2000; ++i) u.createNode("d", QString("n%1").arg(i), nullptr);  // past the first growth
    QByteArray bytes("head:");
    XNode::saveNodeToUtf8(u, bytes);
    EXPECT_EQ(bytes, "head:" + XNode::saveNodeToString(u).toUtf8());
}

TEST(XNodeWriter, LongAttributeListsWrapAfter141Characters) {
    XNode n;
    n.setType("e");
    for (int i = 0; i < 20; ++i) n.setString(QString("key%1").arg(i, 2, 10, QChar('0')), "value_value");
    const QStringList lines = n.allAsString(4).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("    <e key00=\"value_value\" "));
    // 5 characters of key and 11 of value: the count passes 141 after the 9th attribute.
    EXPECT_EQ(lines[0].count('='), 9);
    EXPECT_TRUE(lines[1].startsWith("            key09=")) << lines[1].toStdString();
    EXPECT_TRUE(lines.last().endsWith("/>"));
}

TEST(XNodeWriter, FilesHeaderCommentAndUnreadableValues) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    XNode n;
    n.setType("root");
    n.setString("q", "say \"hi\"");
    n.setText("\xc3\xa9t\xc3\xa9");
    const QString path = dir.filePath("a/b/n.xml");
    ASSERT_TRUE(n.saveNodeToXml(path, QString()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    EXPECT_EQ(lines[1], QString::fromUtf8("<root q=\"say \"hi\"\" >\xc3\xa9t\xc3\xa9</root>"));
    f.close();
    ASSERT_TRUE(n.saveNodeToXml(path, "made here"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<!--\nmade here\n-->\n\n<root "));
    f.close();
    // A directory where the file should go cannot be written.
    EXPECT_FALSE(n.saveNodeToXml(dir.path(), QString()));
    QByteArray latin;
    XNode::saveNodeToQByteArray(n, latin);
    EXPECT_TRUE(latin.endsWith("t\xe9</root>"));
    zortest::drainLogger();
    EXPECT_TRUE(
        cap.containsText("XNode::saveNode, <root> attribute 'q' holds a '\"' and cannot be read back as written"));
    EXPECT_TRUE(cap.containsText("XNode::saveNodeToXml, cannot write file '" + dir.path() + "'"));
}

TEST(XNodeWriter, ResourcePathsRelativeToTheTreeFile) {
    QTemporaryDir dir;
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(dir.filePath("conf/img/i.png"), QByteArray()));
    XNode root;
    root.setType("r");
    root.setFile(dir.filePath("conf/app.xml"));
    XNode* child = root.createNode("c", "", nullptr);
    child->setPathResource("icon", dir.filePath("conf/img/i.png"), false);
    EXPECT_EQ(child->getString("icon", ""), "img/i.png");
    EXPECT_EQ(child->pathResource("icon", "def"), dir.filePath("conf/img/i.png"));
    child->setPathResource("up", dir.filePath("other.png"), false);  // ".." refused unless forced
    EXPECT_FALSE(child->hasKey("up"));
    child->setPathResource("up", dir.filePath("other.png"), true);
    EXPECT_EQ(child->getString("up", ""), "../other.png");
    EXPECT_EQ(child->pathResource("up", "def"), "def");  // no such file
    EXPECT_EQ(child->pathResource("up", ""), dir.filePath("other.png"));
    EXPECT_EQ(child->pathResource("none", "def"), "def");
    EXPECT_EQ(child->absolutePath("img/i.png"), dir.filePath("conf/img/i.png"));
    EXPECT_EQ(child->buildResourcePath(dir.filePath("conf/img/i.png")), "img/i.png");
    EXPECT_EQ(getAbsPath("/a/b/c.xml", "d\\e.xml"), "/a/b/d/e.xml");
    EXPECT_EQ(getAbsPath("/a/b/", "e.xml"), "/a/b/e.xml");
    EXPECT_EQ(getAbsPath("", "e.xml"), "e.xml");
}
