#include "support/TestFiles.h"
#include <zor/Environment.h>
#include <zor/Logger.h>
#include <zor/XMem.h>
#include <zor/XNode.h>
#include <zor/XNode_Parse_Control.h>
#include <zor/XmlNodeCreator.h>
#include <zor/ZorSaxParser.h>

#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <future>
#include <memory>
#include <thread>

using namespace zor;

namespace {

using Tree = std::unique_ptr<XNode>;

Tree load(const QString& xml) { return Tree(XNode::parseString(xml, nullptr)); }

using zortest::writeFile;

QString attrs(const XNode& n) { return n.toStringAttributes(); }

// A document of about `bytes` characters: many flat records under one root.
QByteArray bigDocument(int bytes) {
    QByteArray doc = "<root>\n";
    for (int i = 0; doc.size() < bytes; ++i)
        doc += "  <rec id=\"" + QByteArray::number(i) + "\" kind=\"plain\" size=\"12\">some text</rec>\n";
    return doc + "</root>\n";
}

// Blocks the load at the element "gate" until the test lets it go on.
struct GateCreator : XmlNodeCreator {
    std::promise<void> reached;
    std::shared_future<void> go;
    XNode* create(const QString& type) const override {
        if (type == "gate") {
            const_cast<GateCreator*>(this)->reached.set_value();
            go.wait();
        }
        return XmlNodeCreator::create(type);
    }
};

}  // namespace

TEST(XNodeParse, TheAcceptedLanguageEdgeCases) {
    Tree t = load("<a x='1' y=\"2\"/>");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->getType(), "a");
    EXPECT_EQ(attrs(*t), "x: '1', y: '2'");
    EXPECT_EQ(t->getFile(), ":MEMORY");

    // How the scanner reads quotes, text runs, end tags and references is the SaxParser tests'
    // business; the tree gets exactly what it reports.
    t = load("<a/><b/>");  // a second top-level element goes under the first
    ASSERT_EQ(t->size(), 1u);
    EXPECT_EQ(t->nodeAt(0)->getType(), "b");

    t = load("<?xml version=\"1.0\"?>\n<!-- c -->\n<r><x/><!-- in --><y/></r>");
    EXPECT_EQ(t->sizeRecursive(false), 2u);

    // Equal names are kept as they were read (the loader names nodes after adding them).
    t = load("<r><i name=\"a\"/><i name=\"a\"/></r>");
    EXPECT_EQ(t->size(), 2u);
    EXPECT_TRUE(t->checkDuplicateNames());
    Tree copy(t->deepCopy(nullptr));  // and copied whole
    EXPECT_EQ(copy->size(), 2u);
    EXPECT_EQ(copy->getMD5(true), t->getMD5(true));
}

TEST(XNodeParse, EnvironmentReferencesInAttributeValues) {
    setEnv("ZOR_XML_T_HOME", "D:/data");
    setEnv("ZOR_XML_T_QUOTED", "a\"b");
    Tree t = load(
        "<a p=\"$(ZOR_XML_T_HOME)/x\" u=\"$(ZOR_XML_T_UNSET)/x\" d=\"a$b\" q=\"$(ZOR_XML_T_QUOTED)\""
        " open=\"x$(ZOR_XML_T_HOME\" blank=\" $(ZOR_XML_T_HOME)\"/>");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->getString("p", ""), "D:/data/x");
    EXPECT_EQ(t->getString("u", ""), "$(ZOR_XML_T_UNSET)/x");
    EXPECT_EQ(t->getString("d", ""), "ab");
    EXPECT_EQ(t->getString("q", ""), "ab");  // values cannot hold a double quote
    EXPECT_EQ(t->getString("open", ""), "x");
    EXPECT_EQ(t->getString("blank", ""), " $(ZOR_XML_T_HOME)");
}

TEST(XNodeParse, EveryFailureTextOfTheLoader) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    EXPECT_EQ(XNode::parseString("<a ='v'/>", nullptr), nullptr);
    EXPECT_EQ(XNode::parseString("<a>\n  <b></b", nullptr), nullptr);
    EXPECT_EQ(ZorSaxParser::lastStop().file, ":MEMORY");
    EXPECT_EQ(ZorSaxParser::lastStop().line, 2);
    EXPECT_EQ(ZorSaxParser::lastStop().column, 9);  // at the end of the text
    EXPECT_EQ(XNode::parseString("", nullptr), nullptr);
    EXPECT_EQ(XNode::parseString("no element here", nullptr), nullptr);
    EXPECT_FALSE(ZorSaxParser::lastStop().isSet());
    EXPECT_EQ(XNode::parseQByteArray(QByteArray(), nullptr), nullptr);
    EXPECT_EQ(XNode::parseQByteArray("<a><b>", nullptr), nullptr);
    EXPECT_EQ(XNode::parseFile(QString(), nullptr, nullptr), nullptr);
    const QString missing = dir.filePath("missing.xml");
    EXPECT_EQ(XNode::parseFile(missing, nullptr, nullptr), nullptr);
    EXPECT_EQ(XNode::parseFile(QFileInfo(missing), nullptr, nullptr), nullptr);
    EXPECT_EQ(XNode::parseFile(QFileInfo(dir.path()), nullptr, nullptr), nullptr);
    EXPECT_EQ(XNode::parseFile(dir.filePath("$(X)/a.xml"), nullptr, nullptr), nullptr);
    EXPECT_EQ(XNode::parseFile(":/no/such/resource.xml", nullptr, nullptr), nullptr);
    const QString bad = dir.filePath("bad.xml");
    writeFile(bad, "<a>\n<b>\n</b>\n<c");
    XNode_Parse_Control ctl;
    EXPECT_EQ(XNode::parseFile(bad, nullptr, &ctl), nullptr);
    EXPECT_EQ(ctl.percent.load(), 100u);
    EXPECT_EQ(ZorSaxParser::lastStop().file, bad);
    EXPECT_EQ(ZorSaxParser::lastStop().line, 4);
    zortest::drainLogger();
    const QStringList expected = {
        "ZorSaxParser::inspectTypeAttribs, (((:MEMORY))), key == '' - problems",
        "XNode::parseString, cannot parse memory !",
        "XNode::parseString, the scanner stopped at line 2, column 9",
        "SaxParser::parseTag, '>' missing",
        "XNode::parseString, strXmlInMemory.length() == 0",
        "XNode::parseString, no element found",
        "XNode::parseQByteArray, ar.size() == 0",
        "XNode::parseQByteArray, cannot parse memory !",
        "XNode::parseFile, s.length() == 0 !, no file ?",
        "XNode::parseFile,  file '" + missing + "' does not exist",
        "XNode::parseFile <<<" + missing + ">>> not a file",
        "XNode::parseFile <<<" + dir.path() + ">>> not a file",
        "XNode::parseFile, DOLLAR signes where not resolved!",
        "XNode::parseFile, problems opening ':/no/such/resource.xml'",
        "XNode::parseFile,2, cannot parse file '" + bad + "'",
        "XNode::parseFile, the scanner stopped at line 4, column 3 of '" + bad + "'",
        "XNode::parseFile,3, delete nRoot ( partial parsed stuff )",
    };
    for (const QString& text : expected) EXPECT_TRUE(cap.containsText(text)) << text.toStdString();
}

TEST(XNodeParse, IncludesFoundMissingSplicedAndCyclic) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("parts"));
    setEnv("ZOR_XML_T_PARTS", "parts");
    writeFile(dir.filePath("parts/one.xml"), "<one a=\"1\"><x/><y/></one>");
    writeFile(dir.filePath("main.xml"),
              "<main>\n"
              "  <keep><INCLUDE file=\"$(ZOR_XML_T_PARTS)/one.xml\"/></keep>\n"
              "  <splice><INCLUDE file=\"parts\\one.xml\" includeRoot=\"false\"/></splice>\n"
              "  <gone><INCLUDE file=\"parts/none.xml\"/></gone>\n"
              "  <self><INCLUDE file=\"main.xml\"/></self>\n"
              "</main>\n");
    Tree t(XNode::parseFile(dir.filePath("main.xml"), nullptr, nullptr));
    ASSERT_TRUE(t);
    const XNode* keep = t->query("keep/one");
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->getString("a", ""), "1");
    EXPECT_EQ(keep->size(), 2u);
    EXPECT_EQ(keep->getFile(), dir.filePath("parts/one.xml"));  // an included root keeps its file
    EXPECT_EQ(t->query("splice")->size(), 2u);
    EXPECT_NE(t->query("splice/y"), nullptr);
    EXPECT_FALSE(t->query("gone")->hasChildren());
    EXPECT_FALSE(t->query("self")->hasChildren());

    // A cycle through another file: a includes b includes a.
    writeFile(dir.filePath("a.xml"), "<a><INCLUDE file=\"b.xml\"/></a>");
    writeFile(dir.filePath("b.xml"), "<b><INCLUDE file=\"a.xml\"/></b>");
    Tree c(XNode::parseFile(dir.filePath("a.xml"), nullptr, nullptr));
    ASSERT_TRUE(c);
    EXPECT_NE(c->query("b"), nullptr);
    EXPECT_EQ(c->sizeRecursive(true), 2u);

    // A failing include skips the element and names its own file.
    writeFile(dir.filePath("broken.xml"), "<x>\n<y");
    writeFile(dir.filePath("c.xml"), "<c><INCLUDE file=\"broken.xml\"/><d/></c>");
    Tree d(XNode::parseFile(dir.filePath("c.xml"), nullptr, nullptr));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->size(), 1u);
    EXPECT_FALSE(ZorSaxParser::lastStop().isSet());  // the outer load succeeded

    // With includes off nothing is opened.
    ZorSaxParser p;
    p.setIncludes(false);
    p.setFile(dir.filePath("main.xml"));
    p.setString("<m><INCLUDE file=\"parts/one.xml\"/></m>");
    XNode_Parse_Control ctl;
    EXPECT_TRUE(p.parse(ctl));
    Tree off(p.takeRoot());
    EXPECT_FALSE(off->hasChildren());
    zortest::drainLogger();
    EXPECT_TRUE(
        cap.containsText("XNode::inspectTypeAttribs, file '" + dir.filePath("parts/none.xml") + "' does not exist"));
    EXPECT_TRUE(cap.containsText("ZorSaxParser::inspectTypeAttribs, INCLUDE '" + dir.filePath("main.xml") +
                                 "' leads back to a file being loaded, skipped"));
    EXPECT_TRUE(cap.containsText("ZorSaxParser::inspectTypeAttribs, INCLUDE '" + dir.filePath("a.xml") +
                                 "' leads back to a file being loaded, skipped"));
    EXPECT_TRUE(cap.containsText("XNode::parseFile, the scanner stopped at line 2, column 3 of '" +
                                 dir.filePath("broken.xml") + "'"));
}

TEST(XNodeParse, RoundTripsKeepTheDigest) {
    // By hand -> text -> tree.
    Tree t(XNode::createRoot("list", "", nullptr));
    t->setInt("n", 2);
    t->createNode("item", "a", nullptr)->setText("x y");
    XNode* b = t->createNode("item", "b", nullptr);
    for (int i = 0; i < 30; ++i) b->setString(QString("key%1").arg(i), QString("value number %1").arg(i));
    b->createNode("leaf", "", nullptr)->setText("deep");
    t->createNode("empty", "", nullptr);
    Tree back = load(XNode::saveNodeToString(*t));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getMD5(true), t->getMD5(true));

    // File -> tree -> file -> tree, through bytes and a memory block as well.
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/dir/out.xml");
    ASSERT_TRUE(back->saveNodeToXml(path, "written by the test"));
    Tree again(XNode::parseFile(path, nullptr, nullptr));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->getMD5(true), t->getMD5(true));
    QByteArray bytes;
    XNode::saveNodeToQByteArray(*again, bytes);
    EXPECT_EQ(Tree(XNode::parseQByteArray(bytes, nullptr))->getMD5(true), t->getMD5(true));
    XMem mem;
    XNode::saveNodeToXMem(*again, mem, 0);
    EXPECT_EQ(Tree(XNode::parseXMem(mem, nullptr))->getMD5(true), t->getMD5(true));
    // Bytes after a zero byte are read too.
    Tree zero(XNode::parseQByteArray(QByteArray("<a>\0<b/></a>", 13), nullptr));
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->size(), 1u);
    XNode::saveNodeToXMem(*again, mem, 100000);
    EXPECT_EQ(mem.size(), 100000u);
    EXPECT_EQ(Tree(XNode::parseXMem(mem, nullptr))->getMD5(true), t->getMD5(true));
}

TEST(XNodeParse, RepeatedAndUniqueValuesReadBackExactly) {
    // The loader shares values that repeat and stops looking up those that do not; past both of
    // its judgements (1024 and 16384 values of a key) every value and text must still be the one
    // written, and a change to one node must not reach another.
    QString doc = "<r>";
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        doc += QString("<e id='%1' k='%2' w='%3' s='%4' d='$$%5' e=''>%6</e>")
                   .arg(i)
                   .arg(i % 7)
                   .arg(i % 3000)
                   .arg(i < 12000 ? QString::number(i % 3) : QString("x%1").arg(i))
                   .arg(i % 5)
                   .arg(i % 2 == 0 ? QString("t%1").arg(i % 10) : QString("u%1").arg(i));
    }
    Tree t = load(doc + "</r>");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->size(), static_cast<unsigned int>(n));
    int bad = 0;
    for (int i = 0; i < n; ++i) {
        const XNode& e = *t->nodeAt(static_cast<unsigned int>(i));
        const QString s = i < 12000 ? QString::number(i % 3) : QString("x%1").arg(i);
        const QString text = i % 2 == 0 ? QString("t%1").arg(i % 10) : QString("u%1").arg(i);
        if (e.getInt("id", -1) != i || e.getInt("k", -1) != i % 7 || e.getInt("w", -1) != i % 3000 ||
            e.getString("s", "") != s || e.getString("d", "") != QString("$%1").arg(i % 5) ||
            !e.hasKey("e") || !e.getString("e", "-").isEmpty() || e.getText() != text)
            ++bad;
    }
    EXPECT_EQ(bad, 0);
    t->nodeAt(0)->setString("k", "changed");
    EXPECT_EQ(t->nodeAt(7)->getString("k", ""), "0");
}

TEST(XNodeParse, HundredThousandLevelsLoadCopyDigestWriteAndGo) {
    const int depth = 100000;
    QString xml;
    xml.reserve(depth * 9);
    for (int i = 0; i < depth; ++i) xml += "<n>";
    xml += "bottom";
    for (int i = 0; i < depth; ++i) xml += "</n>";
    Tree t = load(xml);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->sizeRecursive(true), static_cast<unsigned>(depth));
    Tree copy(t->deepCopy(nullptr));
    EXPECT_EQ(copy->getMD5(true), t->getMD5(true));
    EXPECT_FALSE(t->checkDuplicateNames());
    unsigned int deepest = 0;
    XNode* last = nullptr;
    t->iterateTree([&](XNode* n, unsigned int d) {
        deepest = d;
        last = n;
        return true;
    });
    EXPECT_EQ(deepest, static_cast<unsigned>(depth - 2));
    EXPECT_EQ(last->getText(), "bottom");
    EXPECT_EQ(t->query(last->getQuery()), last);
    EXPECT_TRUE(t->containsNodeRecursive(last));
    last->set_pointer(last);
    t->remove_all_pointer();
    Tree back = load(t->allAsString(0));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getMD5(true), t->getMD5(true));
}

TEST(XNodeParse, CancelFromAnotherThreadAlwaysGivesNull) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    // A short document: the scan runs to its end before it could notice the request.
    const QString small = dir.filePath("small.xml");
    writeFile(small, "<a><gate/><b/></a>");
    // A long one: the scan stops at the next report point.
    const QString large = dir.filePath("large.xml");
    writeFile(large, "<a><gate/>" + bigDocument(3000000) + "</a>");
    for (const QString& path : {small, large}) {
        GateCreator creator;
        std::promise<void> go;
        creator.go = go.get_future().share();
        XNode_Parse_Control ctl;
        auto result = std::async(std::launch::async, [&] { return XNode::parseFile(path, &creator, &ctl); });
        creator.reached.get_future().wait();
        ctl.cancel = true;
        go.set_value();
        EXPECT_EQ(result.get(), nullptr);
        EXPECT_EQ(ctl.nRoot, nullptr);
        if (path == large) {
            EXPECT_LT(ctl.bytesProceed.load(), ctl.bytesTotal);
        }
    }
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XNode::parseFile, cancelled"));
    EXPECT_TRUE(cap.containsText("XNode::parseFile, delete node, return nullptr"));
}

TEST(XNodeParse, ProgressReachesOneHundredOnTheMainThread) {
    zortest::TestApp app;
    QTemporaryDir dir;
    const QString path = dir.filePath("big.xml");
    writeFile(path, bigDocument(2000000));
    XNode_Parse_Control ctl;
    std::vector<unsigned int> seen;
    bool offMain = false;
    const auto mainThread = std::this_thread::get_id();
    ctl.listener.add([&](XNode_Parse_Control& c) {
        seen.push_back(c.percent.load());
        offMain = offMain || std::this_thread::get_id() != mainThread;
    });
    auto result = std::async(std::launch::async, [&] { return XNode::parseFile(path, nullptr, &ctl); });
    // The load runs on its own thread; its reports come here through the event loop.
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) app.app.processEvents();
    Tree t(result.get());
    zortest::waitUntil([&] {
        app.app.processEvents();
        return !seen.empty() && seen.back() == 100;
    });
    ASSERT_TRUE(t);
    EXPECT_TRUE(ctl.isOK());
    EXPECT_EQ(ctl.nRoot, t.get());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back(), 100u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_FALSE(offMain);
    EXPECT_TRUE(ctl.toString().startsWith("XNode parsing DONE! bytes:"));
}

TEST(XNodeParse, CustomTypeTakesOverAFileOfItsType) {
    QTemporaryDir dir;
    const QString path = dir.filePath("part.xml");
    writeFile(path, "<part k=\"v\">text<c/><d/></part>");
    XNode part;
    part.setType("part");
    XmlNodeCreator creator;
    EXPECT_TRUE(part.parseCustomType(path, creator));
    EXPECT_EQ(part.getString("k", ""), "v");
    EXPECT_EQ(part.getText(), "text");
    EXPECT_EQ(part.size(), 2u);
    EXPECT_EQ(part.nodeAt(1)->parent(), &part);
    XNode other;
    other.setType("other");
    EXPECT_FALSE(other.parseCustomType(path, creator));
    EXPECT_FALSE(other.hasChildren());
}
