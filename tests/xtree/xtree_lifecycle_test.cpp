#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include "SampleTree.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

using namespace zor;

namespace {

// An application's own tree type: it names itself, and its supporter writes and reads it (the
// standard supporter writes no payload for tree types it does not know).
class Scene : public XTree {
public:
    QString getTypeAsString() const override { return QStringLiteral("Scene"); }
};

class SceneSupporter : public XTypeSupporter {
public:
    SceneSupporter() : XTypeSupporter(QStringLiteral("Scenes")) { typeSet().addType(QStringLiteral("Scene"), XTypeSet::CAT_TREE); }

protected:
    bool writeTree(XDataStream& s, const XVal& slot) const override {
        if (slot.getType() == QLatin1String("Scene")) return s.writeTreeBody(*slot.valueAs<XTree>());
        return XTypeSupporter::writeTree(s, slot);
    }
    bool readTree(XDataStream& s, XVal& slot, const QString& type) const override {
        if (type != QLatin1String("Scene")) return XTypeSupporter::readTree(s, slot, type);
        auto* scene = new Scene();
        slot.adopt(scene, type, XCategory::TREE, new XDestructor(scene, [scene]() { delete scene; }));
        return s.readTreeBody(*scene);
    }
};

}  // namespace

TEST(XTreeLifecycle, SlotsMoveTheirOwnership) {
    XVal a;
    a.setValMove(QStringLiteral("owned"));
    EXPECT_TRUE(a.ownsValue());
    XVal b(std::move(a));
    EXPECT_EQ(a.value(), nullptr);
    EXPECT_FALSE(a.ownsValue());
    EXPECT_EQ(a.getType(), QStringLiteral("QString"));  // the source keeps its type
    EXPECT_EQ(*b.valueAs<QString>(), QStringLiteral("owned"));
    XVal c;
    c.setValMove(7);
    c = std::move(b);  // the old int goes, the string moves in
    EXPECT_EQ(*c.valueAs<QString>(), QStringLiteral("owned"));
    EXPECT_EQ(c.countElements(), *static_cast<const unsigned int*>(c.value()));
    XVal asArray;
    asArray.setValMove(2.5, true);  // released with delete[] (checked under the sanitizers)
    EXPECT_EQ(*asArray.valueAs<double>(), 2.5);

    XDestructor d;
    d.kill();  // nothing to kill
    int* p = new int(3);
    XDestructor e(p, [p]() { delete p; });
    e.setNull();  // forgets without destroying
    EXPECT_EQ(e.object(), nullptr);
    delete p;
}

TEST(XTreeLifecycle, FilesAndTheirMessages) {
    zortest::LogCapture capture;
    QTemporaryDir dir;
    XTree t;
    t.set("x", 1);
    EXPECT_FALSE(t.save());
    EXPECT_FALSE(t.isBoundToFile());
    const QString missing = dir.filePath("missing.xtree");
    XTree m = XTree::load(missing);
    EXPECT_TRUE(m.isEmpty());
    EXPECT_EQ(m.getFilename(), missing);
    EXPECT_TRUE(m.isBoundToFile());
    EXPECT_FALSE(m.isBoundToFile(true));
    EXPECT_TRUE(XTree().create_copy().isEmpty());
    EXPECT_TRUE(XTree().createMem().isEmpty());
    EXPECT_FALSE(t.saveAsFile(dir.filePath("no/such/dir/t.xtree")));
    XTree loaded = zortest::sampleTree();
    EXPECT_FALSE(loaded.load_from_compressed_file(missing));
    EXPECT_TRUE(loaded.isEmpty());  // a failed load leaves nothing of the old content
    ASSERT_TRUE(t.saveAsFile(dir.filePath("t.xtree")));
    EXPECT_TRUE(t.isBoundToFile(true));
    t.set("y", 2);
    ASSERT_TRUE(t.save());  // to the bound file; a shorter or longer tree resizes it
    EXPECT_EQ(XTree::load(dir.filePath("t.xtree")).getMap().size(), 2u);
    t.erase("y");
    ASSERT_TRUE(t.save());
    EXPECT_EQ(XTree::load(dir.filePath("t.xtree")).getMap().size(), 1u);
    zortest::drainLogger();
    const QStringList texts = capture.texts();
    for (const char* line : {"XTree::save, object is not bound to a valid filename",
                             "XTree::loadFromFile, file '$' does not exist !", "XTree::create_copy - empty tree",
                             "XTree::createMem - Tree empty ?", "XTree::load_from_compressed_file, problems"}) {
        const QString want = QString::fromUtf8(line).replace(QLatin1String("$"), missing);
        EXPECT_TRUE(texts.contains(want)) << line;
    }
}

TEST(XTreeLifecycle, ApplicationTreeTypesThroughTheirSupporter) {
    const SceneSupporter scenes;
    XTree doc;
    Scene scene;
    scene.set("objects", 3);
    XVal v;
    auto* owned = new Scene(std::move(scene));
    v.adopt(owned, QStringLiteral("Scene"), XCategory::TREE, new XDestructor(owned, [owned]() { delete owned; }));
    doc.getVal("scene", nullptr) = std::move(v);
    EXPECT_EQ(doc.getTree("scene")->getTypeAsString(), QStringLiteral("Scene"));
    EXPECT_EQ(doc.getTree("scene")->toString(), QStringLiteral("Scene(XTree), {objects:int32, 3}"));

    XTree copy = doc.create_copy(scenes);
    ASSERT_NE(copy.getTree("scene"), nullptr);
    EXPECT_EQ(copy.getTree("scene")->getTypeAsString(), QStringLiteral("Scene"));
    EXPECT_EQ(*copy.pointerFromPath<qint32>("/scene/objects"), 3);
    // The standard supporter does not know the type: the record has no payload and cannot be read,
    // so its key comes back with an empty slot.
    zortest::LogCapture capture;
    const XTree plain = doc.create_copy();
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain.getMap().begin()->second.value(), nullptr);
    zortest::drainLogger();
    EXPECT_TRUE(capture.containsText(QStringLiteral("XDataStream::readVal, type problems <Scene>, typeSupporter@Standard")));
}

TEST(XTreeLifecycle, TreesMoveBetweenThreadsAndStreamsRunInParallel) {
    // The standard supporter is made on first use from whichever thread comes first.
    std::vector<std::thread> threads;
    std::vector<QString> digests(4);
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([i, &digests] {
            XTree t = zortest::sampleTree();
            t.set("thread", i);
            XTree c = t.create_copy();
            digests[static_cast<std::size_t>(i)] = c.calc_MD5Sum() == t.calc_MD5Sum() ? c.calc_MD5Sum() : QString();
        });
    }
    for (auto& th : threads) th.join();
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(digests[static_cast<std::size_t>(i)].isEmpty());
    EXPECT_EQ(std::set<QString>(digests.begin(), digests.end()).size(), 4u);

    // A tree built on one thread and moved to another keeps parents and links valid.
    XTree made;
    std::thread maker([&made] { made = zortest::sampleTree(); });
    maker.join();
    XTree taken(std::move(made));
    EXPECT_EQ(taken.getTree("view")->parent(), &taken);
    EXPECT_EQ(taken.getPointer<XLink>("toCamera")->object(), taken.pointerFromPath("/view/camera"));
    EXPECT_EQ(taken.pointerFromPath("/view/camera")->rootObject(), &taken);
}

TEST(XTreeLifecycle, ByteArraysAndSlotViews) {
    XTree t;
    const QByteArray bytes("\x00\x7f\x80\xff", 4);
    t.set_XByteArray("b", XByteArray(bytes));
    EXPECT_EQ(t.get_XByteArray("b"), bytes);
    EXPECT_EQ(t.get_tree_array("b").type(), QStringLiteral("int8"));
    EXPECT_EQ(t.get_tree_array("b").parent(), &t);
    EXPECT_TRUE(t.get_XByteArray("missing").isEmpty());
    t.set("sub", XTree());
    t.setLink("l", t.getTree("sub"));
    t.set("n", 1);
    const XTree_View view = t.treeView();
    EXPECT_EQ(view.trees.size(), 1u);
    EXPECT_EQ(view.arrays.size(), 1u);
    EXPECT_EQ(view.links.size(), 1u);
    EXPECT_EQ(view.values.size(), 1u);
    EXPECT_EQ(*view.values[0].first, QStringLiteral("n"));
    XTree rewritten;
    ASSERT_TRUE(rewritten.read_from_compressed_bytes(t.write_to_compressed_bytes()));
    EXPECT_EQ(rewritten.get_XByteArray("b"), bytes);
}
