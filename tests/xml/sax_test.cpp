#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/SaxParser.h>
#include <zor/XNode_Parse_Control.h>

#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <algorithm>

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <random>

#include <future>
#include <thread>

using namespace zor;

namespace {

// Writes every event as one short line: "tag<depth>:<name> k=v ...", "text<depth>:...",
// "com<depth>:...", "def:...".
class Recorder : public SaxParser {
public:
    QStringList events;
    QString refuseTag;  // inspectTypeAttribs answers false for this tag
    int elements = 0;
    int maxDepth = 0;
    bool record = true;

    void inspectDefinition(const QString& t) override { events << "def:" + t; }
    void inspectCommend(const QString& t, int d) override { events << QString("com%1:%2").arg(d).arg(t); }
    void inspectText(const QString& t, int d) override { events << QString("text%1:%2").arg(d).arg(t); }
    bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int d) override {
        ++elements;
        maxDepth = std::max(maxDepth, d);
        if (record) {
            QString s = QString("tag%1:%2").arg(d).arg(tag);
            for (const auto& kv : attributes) s += " " + kv.first + "=" + kv.second;
            events << s;
        }
        return tag != refuseTag;
    }

    int scanMode() const { return mode; }
};

struct Scan {
    bool ok = false;
    std::string events;
    int mode = 0;
};

Scan scan(const QString& xml) {
    Recorder r;
    r.setString(xml);
    XNode_Parse_Control ctl;
    Scan s;
    s.ok = r.parse(ctl);
    s.events = r.events.join('|').toStdString();
    s.mode = r.scanMode();
    return s;
}

}  // namespace

TEST(SaxParser, EveryEventKindWithItsDepth) {
    const Scan s = scan(
        "<?xml version=\"1.0\" ?>\n<!--top-->\n<root a=\"1\">  hello  <child x='2'><leaf/>"
        "<!--in leaf's parent--></child><!-- in root --></root>\n<!--after-->");
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.events,
              "def:xml version=\"1.0\"|com0:top|tag1:root a=1|text1:hello|tag2:child x=2|tag3:leaf|"
              "com2:in leaf's parent|com1: in root |com0:after");
    EXPECT_EQ(s.mode, 4);

    // Several top-level elements, and arbitrary text between them, are accepted.
    EXPECT_EQ(scan("junk <a/> more <b>t</b> end").events, "tag1:a|tag1:b|text1:t");
    // Digits and non-ASCII letters start elements; other characters after '<' do not.
    EXPECT_EQ(scan("< x/><1/><\u00e9l\u00e8ve/><_a/>").events, "tag1:1|tag1:\u00e9l\u00e8ve");
    // A name is letters, digits, '_', '-' and ':'; what follows is attribute text.
    EXPECT_EQ(scan("<ns:a-b_c.d x='1'/>").events, "tag1:ns:a-b_c .d x=1");
    // At the top level "!--" opens a comment after any character.
    EXPECT_EQ(scan("x!--c-->").events, "com0:c");
}

TEST(SaxParser, OnlyTheFirstTextRunOfAnElementCounts) {
    EXPECT_EQ(scan("<a>t<b/>u</a>").events, "tag1:a|text1:t|tag2:b");
    EXPECT_EQ(scan("<a><!--c-->t</a>").events, "tag1:a|com1:c");
    EXPECT_EQ(scan("<a> \n\t </a>").events, "tag1:a") << "blank text is no text";
    EXPECT_EQ(scan("<a>x &amp; y&lt;</a>").events, "tag1:a|text1:x &amp; y&lt;") << "references stay as written";
    // End tag names are not compared; "<?" and other '<' inside content are skipped.
    EXPECT_EQ(scan("<a><b>x</c><?pi?></z>").events, "tag1:a|tag2:b|text2:x");
}

TEST(SaxParser, AttributeValuesEndAtEitherQuote) {
    EXPECT_EQ(scan("<a x='1' y=\"2\"/>").events, "tag1:a x=1 y=2");
    // Opened by '"', closed by the apostrophe; the rest "s\"" never closes and is dropped.
    EXPECT_EQ(scan("<a x=\"it's\"/>").events, "tag1:a x=it");
    // Key order, not document order; a repeated key keeps the later value; no '=' is needed.
    EXPECT_EQ(scan("<a z='1' b='2' z='3' k \"4\" m=junk'5'/>").events, "tag1:a b=2 k=4 m=5 z=3");
    EXPECT_EQ(scan("<a v=\"x&amp;y\" e=''/>").events, "tag1:a e= v=x&amp;y");
    // An empty key reaches the callback (the tree builder refuses it).
    EXPECT_EQ(scan("<a ='v'/>").events, "tag1:a =v");
    // A pair the text ends in is dropped.
    EXPECT_EQ(scan("<a x='1' y='2/>").events, "tag1:a x=1");
    EXPECT_EQ(scan("<a x y=/>").events, "tag1:a");
    // '>' inside a value ends the tag there; the rest becomes text.
    EXPECT_EQ(scan("<r><a x=\"1>2\">t</a></r>").events, "tag1:r|tag2:a|text2:2\">t");
    // The attribute map is reused between elements: nothing leaks from one to the next.
    EXPECT_EQ(scan("<a p='1' q='2' r='3'><b q='x'/><c/><d s='' p='y'/></a>").events,
              "tag1:a p=1 q=2 r=3|tag2:b q=x|tag2:c|tag2:d p=y s=");
}

TEST(SaxParser, AttributeMapsMatchPlainInsertionAcrossManyElements) {
    // The scanner rewrites one map from element to element; each map handed out must still be
    // exactly what inserting the pairs one by one (later ones replacing) would give.
    const QStringList keys = {"a", "b", "ab", "b2", "B", "\u00e9", "a\u00e9", "zz", "", "k"};
    std::vector<std::map<QString, QString>> expected;
    QString doc = "<root>";
    unsigned int x = 12345;
    auto rnd = [&x](unsigned int n) {
        x = x * 1103515245u + 12345u;
        return (x >> 16) % n;
    };
    for (int e = 0; e < 300; ++e) {
        std::map<QString, QString> m;
        doc += "<e";
        // Mostly a handful of pairs; every 25th element many (the sort changes with the count).
        const unsigned int n = e % 25 == 0 ? 33 + rnd(60) : rnd(7);
        for (unsigned int i = 0; i < n; ++i) {
            const QString k = keys[static_cast<int>(rnd(static_cast<unsigned int>(keys.size())))];
            const QString v = QString::number(rnd(100000)).repeated(static_cast<int>(rnd(3)));
            doc += QString(" %1=%2%3%2").arg(k).arg(rnd(2) != 0 ? '"' : '\'').arg(v);
            m[k] = v;
        }
        doc += "/>";
        expected.push_back(m);
    }
    doc += "</root>";

    struct Maps : SaxParser {
        std::vector<std::map<QString, QString>> seen;
        bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& a, int) override {
            if (tag == "e") seen.push_back(a);
            return true;
        }
    } maps;
    maps.setString(doc);
    XNode_Parse_Control ctl;
    ASSERT_TRUE(maps.parse(ctl));
    ASSERT_EQ(maps.seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(maps.seen[i] == expected[i]) << "element " << i;
}

TEST(SaxParser, AStartTagWithAQuarterMillionAttributes) {
    QString doc = "<e";
    for (int i = 250000; i > 0; --i) doc += QString(" k%1='%2'").arg(i).arg(i % 7);
    doc += "/>";
    struct Count : SaxParser {
        std::size_t size = 0;
        QString first, last;
        bool inspectTypeAttribs(const QString&, const std::map<QString, QString>& a, int) override {
            size = a.size();
            first = a.begin()->first;
            last = a.rbegin()->first;
            return true;
        }
    } count;
    count.setString(doc);
    XNode_Parse_Control ctl;
    ASSERT_TRUE(count.parse(ctl));
    EXPECT_EQ(count.size, 250000u);
    EXPECT_EQ(count.first, QStringLiteral("k1"));
    EXPECT_EQ(count.last, QStringLiteral("k99999"));
}

TEST(SaxParser, MalformedInputFailsWithoutHanging) {
    zortest::LogCapture cap;
    struct Case {
        const char* xml;
        bool ok;
        const char* events;
    };
    const Case cases[] = {
        {"<a></a", false, "tag1:a"},                     // end tag without '>'
        {"<a>text", false, "tag1:a"},                    // end of input in content: the text is not reported
        {"<abc", false, ""},                             // end of input in the name
        {"<a x='1'", false, ""},                         // start tag never closed
        {"<a/><b><c/>", false, "tag1:a|tag1:b|tag2:c"},  // second top-level element never closed
        {"", true, ""},                                  // nothing to do
        {"plain text < 3 </a>", true, ""},               // no element at all
        {"<?xml", true, "def:xml"},                      // definition runs to the end
        {"<!-- open", true, "com0: open"},               // comment runs to the end
        {"<a><!-- open", false, "tag1:a|com1: open"},    // ... inside an element that never ends
    };
    for (const Case& c : cases) {
        const Scan s = scan(QString::fromUtf8(c.xml));
        EXPECT_EQ(s.ok, c.ok) << c.xml;
        EXPECT_EQ(s.events, c.events) << c.xml;
    }

    cap.clear();
    EXPECT_FALSE(scan("<a></a").ok);
    zortest::drainLogger();
    const QStringList lines = cap.texts();
    EXPECT_EQ(lines.indexOf("SaxParser::parseTag, '>' missing") + 1, lines.indexOf("!parseTag"))
        << lines.join('\n').toStdString();

    // A refused element stops the scan: nothing after it is reported.
    Recorder r;
    r.refuseTag = "b";
    r.setString("<a><b/><c/></a><d/>");
    XNode_Parse_Control ctl;
    EXPECT_FALSE(r.parse(ctl));
    EXPECT_EQ(r.events.join('|').toStdString(), "tag1:a|tag2:b");

    // Without a text there is nothing to scan.
    cap.clear();
    Recorder none;
    EXPECT_FALSE(none.parse(ctl));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("SaxParser::parse, parseBuffer == nullptr"));
    Logger::quit();
}

TEST(SaxParser, ByteOrderMarksAndTheEndCharacter) {
    // The mark read byte by byte (Latin-1) is skipped with a notice on standard output.
    testing::internal::CaptureStdout();
    const Scan s = scan(QString::fromLatin1("\xEF\xBB\xBF<a/>"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(s.events, "tag1:a");
    EXPECT_NE(out.find("abstractSax::BOM_check - found BOM"), std::string::npos) << out;

    // Decoded from UTF-8 the mark is U+FEFF, an ordinary character between elements.
    Recorder r;
    r.set_QByteArray(QByteArray("\xEF\xBB\xBF<a x='\xC3\xA9'/>"));
    XNode_Parse_Control ctl;
    EXPECT_TRUE(r.parse(ctl));
    EXPECT_EQ(r.events.join('|').toStdString(), "tag1:a x=\u00e9");

    // Reading stops at U+FFFF as at the end of the text.
    EXPECT_EQ(scan(QString("<a/>") + QChar(0xFFFF) + "<b/>").events, "tag1:a");
    EXPECT_FALSE(scan(QString("<a>") + QChar(0xFFFF) + "</a>").ok);

    // Bytes are decoded exactly as QString::fromUtf8 decodes them: ASCII runs long and short,
    // every kind of broken sequence, marks inside the text.
    std::mt19937 rng(7);
    const unsigned char pick[] = {'a',  ' ',  'x',  0x80, 0xBF, 0xC3, 0xA9, 0xE2,
                                  0x82, 0xAC, 0xEF, 0xBB, 0xF0, 0x9F, 0xFF};
    int differ = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray body;
        const int n = static_cast<int>(rng() % 80);
        for (int i = 0; i < n; ++i) {
            const unsigned r = rng();
            if (r % 5 == 0) body += QByteArray(static_cast<int>(r % 40), 'k');
            body += static_cast<char>(pick[(r >> 8) % sizeof pick]);
        }
        const QString want = QString::fromUtf8(body).trimmed();
        if (want.isEmpty() || want.contains(QChar(0xFFFF))) continue;
        Recorder r;
        r.set_QByteArray("<a>x" + body + "x</a>");
        XNode_Parse_Control ctl;
        if (!r.parse(ctl) || r.events.join('|') != "tag1:a|text1:" + QString::fromUtf8("x" + body + "x")) ++differ;
    }
    EXPECT_EQ(differ, 0);
}

TEST(SaxParser, DeepNestingUsesNoMachineStack) {
    constexpr int kDepth = 100000;
    const QString deep = QString("<d a='1'>").repeated(kDepth) + "x" + QString("</d>").repeated(kDepth);
    bool ok = false;
    bool brokenOk = true;
    int elements = 0;
    int maxDepth = 0;
    // 256 KiB of stack: one machine frame per level would need far more.
    QThread* t = QThread::create([&] {
        Recorder r;
        r.record = false;
        r.setString(deep);
        XNode_Parse_Control ctl;
        ok = r.parse(ctl);
        elements = r.elements;
        maxDepth = r.maxDepth;
        Recorder broken;
        broken.record = false;
        broken.setString(QString("<d>").repeated(kDepth));
        brokenOk = broken.parse(ctl);
    });
    t->setStackSize(256 * 1024);
    t->start();
    ASSERT_TRUE(t->wait(60000));
    delete t;
    EXPECT_TRUE(ok);
    EXPECT_EQ(elements, kDepth);
    EXPECT_EQ(maxDepth, kDepth);
    EXPECT_FALSE(brokenOk);
}

TEST(SaxParser, TextPositionOfAFailedScan) {
    Recorder r;
    EXPECT_EQ(r.textPositionString().toStdString(), "line 1, column 1");
    r.setString("<a>\n  <b/>\r\n   <c x='1'");
    XNode_Parse_Control ctl;
    EXPECT_FALSE(r.parse(ctl));
    const AbstractSaxHelper::TextPosition p = r.textPosition();
    EXPECT_EQ(p.line, 3);
    EXPECT_EQ(p.column, 12);
    EXPECT_EQ(r.textPositionString().toStdString(), "line 3, column 12");

    // A refused element: the position is just after its start tag.
    Recorder refuse;
    refuse.refuseTag = "b";
    refuse.setString("<a>\n\n<b k='v'>\n</b></a>");
    EXPECT_FALSE(refuse.parse(ctl));
    EXPECT_EQ(refuse.textPositionString().toStdString(), "line 3, column 10");
}

TEST(SaxParser, FileReadingKeepsTheName) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.xml");
    Recorder r;
    EXPECT_FALSE(r.readFile(missing));
    EXPECT_EQ(r.getFile(), missing);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("abstractSax::readFile, problems reading <<<" + missing + ">>>"))
        << cap.texts().join('\n').toStdString();

    const QString path = dir.filePath("a.xml");
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(path, "<a n='\xE2\x82\xAC'>\n  <b/>\n</a>\n"));
    Recorder ok;
    ASSERT_TRUE(ok.readFile(path));
    XNode_Parse_Control ctl;
    EXPECT_TRUE(ok.parse(ctl));
    EXPECT_EQ(ok.events.join('|').toStdString(), "tag1:a n=\u20ac|tag2:b");
    EXPECT_EQ(ctl.bytesTotal, 22u);
    Logger::quit();
}

TEST(SaxParser, CancelFromAnotherThreadStopsAtTheNextReport) {
    // 60,000 top-level elements of 50 characters: 3,000,000 characters.
    const QString doc = QString("<e a='0123456789' b='0123456789' c='012345'>x</e>\n").repeated(60000);
    ASSERT_EQ(doc.size(), 3000000);

    // The scan stops at the first element and waits until another thread has cancelled.
    struct Blocking : Recorder {
        std::promise<void> reached;
        std::shared_future<void> go;
        bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& a, int d) override {
            if (elements == 0) {
                reached.set_value();
                go.wait();
            }
            return Recorder::inspectTypeAttribs(tag, a, d);
        }
    };
    for (const bool nested : {false, true}) {
        Blocking r;
        r.record = false;
        std::promise<void> goPromise;
        r.go = goPromise.get_future().share();
        r.setString(nested ? "<root>" + doc + "</root>" : doc);
        XNode_Parse_Control ctl;
        bool ok = true;
        std::thread scanner([&] { ok = r.parse(ctl); });
        r.reached.get_future().wait();
        ctl.cancel = true;
        goPromise.set_value();
        scanner.join();
        // Between top-level elements a cancelled scan ends well; inside an element it fails.
        EXPECT_EQ(ok, !nested);
        EXPECT_EQ(ctl.percent.load(), nested ? 0u : 100u);
        EXPECT_EQ(ctl.bytesProceed.load(), 0u) << "no report after the cancellation";
        if (nested)
            EXPECT_LE(r.elements, 10001) << "ends at the first report point";
        else
            EXPECT_EQ(r.elements, 1) << "the top level checks at every character";
    }
}

TEST(SaxParser, ProgressReachesOneHundredOnTheMainThread) {
    zortest::TestApp app;
    // Exactly 2,000,000 characters: reports at 25, 50, 75 and 100 percent.
    const QString doc =
        "<r>" + QString("<e k='v'>text</e>").repeated(100000) + QString(2000000 - 7 - 1700000, ' ') + "</r>";
    ASSERT_EQ(doc.size(), 2000000);

    XNode_Parse_Control ctl;
    std::vector<unsigned int> seen;
    bool allOnMain = true;
    ctl.listener.add([&](XNode_Parse_Control& c) {
        allOnMain = allOnMain && QThread::currentThread() == app.app.thread();
        seen.push_back(c.percent.load());
        if (seen.size() == 4) app.quit();
    });
    bool ok = false;
    std::thread worker([&] {
        Recorder r;
        r.record = false;
        r.setString(doc);
        ok = r.parse(ctl);
    });
    app.exec(30000);
    worker.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(allOnMain);
    // Four reports (25, 50, 75, 100 percent are crossed); each shows the percentage current when
    // the main thread runs it, which on a busy machine may already be a later step.
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.front(), 25u);
    EXPECT_EQ(seen.back(), 100u);
    EXPECT_EQ(ctl.bytesProceed.load(), 2000000u);
    EXPECT_EQ(ctl.bytesTotal, 2000000u);
    EXPECT_EQ(ctl.percent.load(), 100u);
    EXPECT_GE(ctl.timeCurrent.load(), 1u);
}

TEST(XNode_Parse_Control, StatesAndTheirTexts) {
    XNode_Parse_Control c;
    EXPECT_TRUE(c.listener.isEnabled());
    EXPECT_FALSE(c.isDone());
    EXPECT_FALSE(c.isOK());
    c.bytesProceed = 1500000;
    c.percent = 42;
    c.timeStart = 1000000;
    c.timeCurrent = 3500000;
    EXPECT_EQ(c.time_consumption(), 2500000u);
    EXPECT_EQ(c.toString().toStdString(),
              "XNode still parsing...  Bytes proceed:1.50 MB, at 42 % ,time consumption:2,500.000");
    c.cancel = true;
    EXPECT_TRUE(c.isDone());
    EXPECT_EQ(c.toString().toStdString(),
              "XNode parsing Cancelled! Bytes proceed:1.50 MB, at: 42 %, time consumption:2,500.000");
    c.cancel = false;
    c.percent = 100;
    c.bytesProceed = 2500;
    EXPECT_TRUE(c.isDone());
    EXPECT_FALSE(c.isOK()) << "done but no tree";
    EXPECT_EQ(c.toString().toStdString(), "XNode parsing DONE! bytes:2.50 KB, time consumption 2,500.000 sec");
    c.nRoot = reinterpret_cast<XNode*>(&c);
    EXPECT_TRUE(c.isOK());

    c.bytesTotal = 77;
    c.cancel = true;
    c.reset();
    EXPECT_FALSE(c.cancel.load());
    EXPECT_EQ(c.percent.load(), 0u);
    EXPECT_EQ(c.timeStart.load(), 0u);
    EXPECT_EQ(c.timeCurrent.load(), 0u);
    EXPECT_EQ(c.nRoot, nullptr);
    EXPECT_EQ(c.bytesProceed.load(), 2500u) << "counts stay";
    EXPECT_EQ(c.bytesTotal, 77u);
    c.timeStart = 10;
    EXPECT_EQ(c.time_consumption(), 0u) << "no wrap-around before the first report";
}
