// Standard XML beside the subset: what each switch changes, hostile documents, and round trips
// through the escaping writer.
#include <zor/XNode.h>
#include <zor/XNode_Parse_Control.h>

#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

using namespace zor;

namespace {

using Tree = std::unique_ptr<XNode>;

Tree loadStandard(const QByteArray& bytes) {
    XNode_Parse_Control ctl;
    ctl.standard = true;
    return Tree(XNode::parseQByteArray(bytes, nullptr, &ctl));
}

QByteArray utf16(const QString& text, bool bigEndian, bool mark) {
    QByteArray out;
    if (mark) out += bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8);
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

}  // namespace

TEST(XmlStandard, CdataReferencesQuotesAndDoctype) {
    const QByteArray doc =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE r [ <!ELEMENT r ANY> <!-- a ' and a ] in a comment --> <!ATTLIST r a CDATA \"x>y\"> ]>\n"
        "<r a=\"it's &lt;&gt;&amp;&quot;&apos; &#65;&#x42;&#x1F600;\" b='say \"hi\" > bye' c=\"x&amp;amp;\">"
        "  <!-- note --> one &amp; <![CDATA[<two> & ]]]]><?pi skipped?> three  "
        "<k><![CDATA[]]></k><k>&#x20;&#32;</k>after</r>";
    Tree t = loadStandard(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->getString("a", ""), QString::fromUtf8("it's <>&\"' AB\xF0\x9F\x98\x80"));
    EXPECT_EQ(t->getString("b", ""), "say \"hi\" > bye");
    EXPECT_EQ(t->getString("c", ""), "x&amp;");  // decoded once
    // The text before the first child: CDATA as written, comment and instruction left out, trimmed.
    EXPECT_EQ(t->getText(), "one & <two> & ]] three");
    ASSERT_EQ(t->size(), 2u);
    EXPECT_FALSE(t->nodeAt(0)->hasText());
    EXPECT_FALSE(t->nodeAt(1)->hasText());  // blanks by reference are trimmed too

    // The default reads the subset as before: nothing decoded, a value ends at either quote, the
    // tag at the first '>'.
    Tree subset(XNode::parseQByteArray("<r a=\"it's &amp;\" b='x>y'></r>", nullptr));
    ASSERT_TRUE(subset);
    EXPECT_EQ(subset->getString("a", "-"), "it");
    EXPECT_EQ(subset->getString("b", "-"), "-");  // cut by the '>': never closed, dropped
    EXPECT_EQ(subset->getText(), "y'>");
    Tree amp(XNode::parseQByteArray("<r a=\"&amp;\"><![CDATA[x]]></r>", nullptr));
    ASSERT_TRUE(amp);
    EXPECT_EQ(amp->getString("a", ""), "&amp;");
}

TEST(XmlStandard, EncodingsFromTheMarkOrTheDeclaration) {
    const QString doc = QString::fromUtf8("<?xml version=\"1.0\"?><r v=\"gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\"/>");
    const QString want = QString::fromUtf8("gr\xC3\xBC\xC3\x9F \xE2\x82\xAC");
    for (const QByteArray& bytes : {QByteArray("\xEF\xBB\xBF") + doc.toUtf8(), doc.toUtf8(), utf16(doc, false, true),
                                    utf16(doc, true, true), utf16(doc, false, false), utf16(doc, true, false)}) {
        Tree t = loadStandard(bytes);
        ASSERT_TRUE(t) << bytes.toHex().left(16).constData();
        EXPECT_EQ(t->getString("v", ""), want);
    }
    // Half a surrogate pair in UTF-16 becomes U+FFFD; a whole pair stays.
    Tree halves =
        loadStandard(QByteArray("\xFF\xFE<\0r\0 \0v\0=\0'\0\x00\xD8x\0\x3D\xD8\x00\xDE\x00\xDC'\0/\0>\0", 30));
    ASSERT_TRUE(halves);
    EXPECT_EQ(halves->getString("v", ""), QString::fromUcs4(U"\uFFFDx\U0001F600\uFFFD"));
    Tree latin = loadStandard("<?xml version='1.0' encoding='ISO-8859-1'?><r v=\"caf\xE9\"/>");
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->getString("v", ""), QString::fromUtf8("caf\xC3\xA9"));

    zortest::LogCapture log;
    EXPECT_FALSE(loadStandard("<?xml version='1.0' encoding='EBCDIC'?><r/>"));
    EXPECT_TRUE(
        log.containsText("XNode::parse, encoding 'ebcdic' is not read (UTF-8, UTF-16 with a byte-order mark, "
                         "ISO-8859-1)"));

    // Files too, through the control's switch.
    QTemporaryDir dir;
    const QString path = dir.filePath("u16.xml");
    zortest::writeFile(path, utf16(doc, true, true));
    XNode_Parse_Control ctl;
    ctl.standard = true;
    Tree f(XNode::parseFile(path, nullptr, &ctl));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->getString("v", ""), want);
    EXPECT_TRUE(ctl.isOK());
}

TEST(XmlStandard, HostileDocumentsStaySmallAndReadNothing) {
    zortest::LogCapture log;
    // An entity bomb: nothing declared is expanded, the reference stays as written.
    QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        bomb += " <!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k) bomb += "&lol" + (i == 1 ? QByteArray() : QByteArray::number(i - 1)) + ";";
        bomb += "\">\n";
    }
    bomb += "]>\n<lolz v=\"&lol9;\">&lol9;</lolz>";
    Tree t = loadStandard(bomb);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->getText(), "&lol9;");
    EXPECT_EQ(t->getString("v", ""), "&lol9;");
    EXPECT_TRUE(log.containsText("AbstractSaxHelper::parse, reference '&lol9;' is not decoded (kept as written)"));

    // An external entity: the file is not read.
    QTemporaryDir dir;
    const QString secret = dir.filePath("secret.txt");
    zortest::writeFile(secret, "SECRET");
    Tree ext = loadStandard("<!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + secret.toUtf8() + "\">]><r>&e;</r>");
    ASSERT_TRUE(ext);
    EXPECT_EQ(ext->getText(), "&e;");

    // References to no XML character stay as written; so do malformed ones.
    Tree bad =
        loadStandard("<r a=\"&#0;|&#x110000;|&#xD800;|&#99999999999;|&#-1;|&#x;|& x|&amp\" b=\"&#x10FFFF;&#9;\"/>");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->getString("a", ""), "&#0;|&#x110000;|&#xD800;|&#99999999999;|&#-1;|&#x;|& x|&amp");
    EXPECT_EQ(bad->getString("b", ""), QString::fromUcs4(U"\U0010FFFF\t"));

    // Unclosed markup fails the element as the subset does, without hanging.
    EXPECT_FALSE(loadStandard("<r a=\"never closed></r>"));
    EXPECT_FALSE(loadStandard("<r><![CDATA[ open"));
    EXPECT_FALSE(loadStandard("<!DOCTYPE r [ <r/>"));
}

TEST(XmlStandard, TheEscapingWriterReadsBack) {
    Tree t(XNode::createRoot("list", "", nullptr));
    t->setString("q", "a \"b\" 'c' <d> & e");
    t->createNode("item", "x&y", nullptr)->setText("1 < 2 && 3 > 2 \"'");
    XNode* deep = t->createNode("item", "", nullptr);
    deep->setText(QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
    deep->createNode("leaf", "", nullptr)->setString("v", "]]> --> <!--");

    QByteArray bytes;
    XNode::saveNodeToUtf8(*t, bytes, true);
    EXPECT_TRUE(bytes.startsWith("<list q=\"a &quot;b&quot; &apos;c&apos; &lt;d&gt; &amp; e\" >\n"));
    Tree back = loadStandard(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getMD5(true), t->getMD5(true));

    QTemporaryDir dir;
    const QString path = dir.filePath("out.xml");
    ASSERT_TRUE(t->saveNodeToXml(path, "comment", true));
    XNode_Parse_Control ctl;
    ctl.standard = true;
    Tree file(XNode::parseFile(path, nullptr, &ctl));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->getMD5(true), t->getMD5(true));

    // Without the switch the writer keeps the subset's bytes: nothing escaped.
    QByteArray plain;
    XNode::saveNodeToUtf8(*t, plain);
    EXPECT_EQ(plain, XNode::saveNodeToString(*t).toUtf8());
}
