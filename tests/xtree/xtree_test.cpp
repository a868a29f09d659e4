#include <zor/Matrix4.h>
#include <zor/XDataStream.h>
#include <zor/XStringStream.h>
#include <zor/XTree.h>

#include "SampleTree.h"
#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

using namespace zor;

namespace {

bool logged(const zortest::CaptureAppender& cap, const char* text) {
    zortest::drainLogger();
    return cap.containsText(QString::fromUtf8(text));
}

}  // namespace

TEST(XTree, SlotsLookupsAndFlags) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    XTree t;
    t.set("n", 5);
    t.set("on", true);
    t.setString("s", "text");
    EXPECT_EQ(*t.getPointer<int>("n"), 5);
    EXPECT_EQ(t.getPointer<double>("n"), nullptr);  // a different type is refused
    EXPECT_EQ(t.getPointer<int>("missing"), nullptr);
    EXPECT_FALSE(t.containsKey("missing"));

    // getVal on an absent key creates an empty entry.
    bool ok = true;
    XVal& v = t.getVal("fresh", &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(v.getType().isEmpty());
    EXPECT_TRUE(t.containsKey("fresh"));
    EXPECT_EQ(t.countChildren(), 1u);
    EXPECT_EQ(XTree().countChildren(), 0u);

    EXPECT_TRUE(t.isFlag("on", false));
    EXPECT_TRUE(t.isFlag("absent", true));
    EXPECT_FALSE(t.isFlag("n", false));
    EXPECT_TRUE(logged(cap, "XTree::isFlag, key:'n', wrong type:'int32'"));

    EXPECT_TRUE(t.erase("s"));
    EXPECT_FALSE(t.erase("s"));
    EXPECT_TRUE(logged(cap, "XTree::erase, key <s> not found"));

    // Replacing a value destroys the old one (checked under the sanitizers).
    t.setString("n", "now a string");
    EXPECT_EQ(*t.getPointer<QString>("n"), QStringLiteral("now a string"));

    EXPECT_EQ(t.get_tree_array("n").size(), 0u);
    EXPECT_TRUE(logged(cap, "XTree::get_tree_array, <n> found, but not a XTreeArray !, type is <<SIMPLE>>"));
    EXPECT_EQ(&t.get_tree_array("x"), &t.get_tree_array("y"));  // one shared empty array

    EXPECT_EQ(XVal::categoryToString(XCategory::LINK), QStringLiteral("LINK"));
    EXPECT_EQ(XVal::categoryToString(std::uint8_t(0)), QStringLiteral("UNKNOWN-CATEGORY"));
}

TEST(XTree, PathsAndParents) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    XTree root;
    XTree a;
    XTreeArray* b = a.setTreeArray("b", 3);
    ASSERT_NE(b, nullptr);
    b->treeAt(2)->set("leaf", 1);
    root.set("a", std::move(a));
    root.setArray<int>("ints", {1, 2, 3, 4, 5, 6, 7});
    XTreeArray* seven = root.setTreeArray("seven", 7);
    ASSERT_NE(seven, nullptr);

    XTree* e2 = root.pointerFromPath("/a/b/2");
    ASSERT_NE(e2, nullptr);
    EXPECT_EQ(e2->path(), QStringLiteral("/a/b/2"));
    EXPECT_EQ(root.path(), QString());
    EXPECT_EQ(e2->level(), 3u);
    EXPECT_EQ(e2->rootObject(), &root);
    EXPECT_TRUE(e2->hasSameRoot(&root));
    EXPECT_EQ(root.pointerFromPath("/"), &root);
    EXPECT_EQ(e2->pointerFromPath<XObject>(".."), e2->parent());  // the array of trees
    EXPECT_EQ(*e2->pointerFromPath<int>("leaf"), 1);
    EXPECT_EQ(*root.getTree("a")->pointerFromPath<int>("../ints/3") , 4);
    EXPECT_EQ(root.pointerFromPath(""), nullptr);

    EXPECT_EQ(root.pointerFromPath("/a/b/x"), nullptr);
    EXPECT_TRUE(logged(cap, "XTreeArray::getPointer, index:'x' must be a number 0...2"));
    EXPECT_EQ(root.pointerFromPath("/seven/7"), nullptr);
    EXPECT_TRUE(logged(cap, "XTreeArray::getPointer, index:7 out of range 0...6"));

    // Link and array entries give null through the wrong type, and the array as an XObject.
    root.setLink("l", e2);
    EXPECT_EQ(root.getPointer<XTree>("l"), nullptr);
    EXPECT_TRUE(logged(cap, "XTree::getPointer, 1-WRONG TYPE, key:'l', type:'XLink', want type:'XTree',"));
    EXPECT_NE(root.getPointer<XObject>("seven"), nullptr);
    EXPECT_EQ(root.getPointer<XTree>("seven"), nullptr);
    EXPECT_TRUE(logged(cap, "XTree::getPointer, 2-WRONG TYPE, key:'seven', type:'XTreeArray', want type:'XTree',"));

    // Moving a tree leaves the children's parents pointing at the new place.
    XTree moved(std::move(root));
    EXPECT_TRUE(root.isEmpty());
    EXPECT_EQ(moved.getTree("a")->parent(), &moved);
    EXPECT_EQ(moved.pointerFromPath("/a/b/2"), e2);
    EXPECT_EQ(e2->rootObject(), &moved);
    XTree assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.getTree("a")->parent(), &assigned);
    EXPECT_EQ(assigned.getPointer<XLink>("l")->object(), e2);

    // get_by_type walks depth-first in key order and into arrays.
    std::vector<int*> ints = assigned.get_by_type<int>(true, true);
    ASSERT_EQ(ints.size(), 8u);  // leaf, then the seven array elements
    EXPECT_EQ(*ints[0], 1);
    EXPECT_EQ(*ints[7], 7);
    EXPECT_EQ(assigned.get_by_type<int>(false, false).size(), 0u);
}

TEST(XTree, LinksFollowTheirTargetsThroughMovesAndPaths) {
    XTree t = zortest::sampleTree();
    XLink* link = t.getPointer<XLink>("toItem");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->url(), QStringLiteral("/items/1"));
    t.setLink("byPath", QStringLiteral("/view/camera"));
    EXPECT_EQ(t.getPointer<XLink>("byPath")->object(), t.pointerFromPath("/view/camera"));
    XLink dangling(QStringLiteral(""));
    EXPECT_FALSE(dangling.URL_to_pointer(&t));
    EXPECT_FALSE(dangling.pointer_to_URL());
}

TEST(XTree, ShowTexts) {
    XTree t;
    t.set("b", true);
    t.set("i", 42);
    t.set("d", 0.1);
    t.setString("s", "hi");
    t.set("c", 'A');
    t.set("p", QPoint(1, 2));
    t.setArray<qint16>("arr", {1, 2, 3});
    XTree sub;
    sub.set("x", 1.5f);
    t.set("sub", std::move(sub));
    t.setTreeArray("items", 2)->treeAt(1)->set("k", 7);
    t.setLink("ln", t.pointerFromPath("/sub"));
    EXPECT_EQ(t.toString(),
              QStringLiteral("XTree(SubTrees:1), {b:bool, true}, {c:int8, A}, {d:double, 0.1}, {i:int32, 42}, "
                             "{p:QPoint, (1, 2)}, {s:QString, hi}"));
    EXPECT_EQ(t.toStringExtended(),
              QStringLiteral("+ XTree, {b:bool, true}, {c:int8, A}, {d:double, 0.1}, {i:int32, 42}, {p:QPoint, (1, 2)}, "
                             "{s:QString, hi}\n"
                             "  sub + XTree, {x:float, 1.5}\n"
                             "  arr: [1, 2, 3] [3]\n"
                             "  items: array of XTree [2]\n"
                             "    [000] -> XTree\n"
                             "    [001] -> XTree, {k:int32, 7}\n"
                             "  ln => /sub\n"));
    const XTreeArray& arr = t.get_tree_array("arr");
    EXPECT_EQ(arr.toString(XTypeSupporter::basicTypes()), QStringLiteral("XTreeArray<int16>, category:SIMPLE, elements:3"));
    XVal empty;
    EXPECT_EQ(empty.toString(), QStringLiteral("pVal == nullptr"));
    // Found by fuzzing: corners far apart must not overflow the width.
    XVal wide;
    wide.setValMove(QRect(QPoint(-2147483647 - 1, 0), QPoint(2147483647, 0)));
    EXPECT_EQ(wide.toString(), QStringLiteral("QRect, (-2147483648, 0, 4294967296 x 1)"));
}

TEST(XTree, TypeRegistryOrderAndTables) {
    const XTypeSupporter& ts = XTypeSupporter::basicTypes();
    EXPECT_EQ(ts.toString(), QStringLiteral("Standard"));
    const QStringList simple = ts.typeSet().types(XTypeSet::CAT_SIMPLE);
    ASSERT_EQ(simple.size(), 26);
    EXPECT_EQ(simple.first(), QStringLiteral("bool"));
    EXPECT_EQ(simple[11], QStringLiteral("Vector2"));
    EXPECT_EQ(simple.last(), QStringLiteral("QString"));
    EXPECT_TRUE(ts.isTreeType("XTree"));
    EXPECT_TRUE(ts.isArrayType("XTreeArray"));
    EXPECT_FALSE(ts.hasType("XLink"));
    EXPECT_TRUE(ts.isLink("XLink"));

    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    EXPECT_FALSE(XTypeSupporter::addFunctions("int32", {}, {}, {}, {}, {}));
    EXPECT_TRUE(logged(cap, "XFunctionMapper::addFunction, function <int32> already present"));
}

TEST(XTree, ArraysOwnAndReleaseTheirElements) {
    XTreeArray a;
    ASSERT_TRUE(a.allocate<QString>(3));
    *a.getPointerAt<QString>(2) = QStringLiteral("x");
    EXPECT_EQ(a.getPointerAt<int>(0), nullptr);
    EXPECT_EQ(a.getPointerAt<QString>(3), nullptr);
    XTreeArray b(std::move(a));
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(*b.getPointerAt<QString>(2), QStringLiteral("x"));
    XTreeArray trees;
    ASSERT_TRUE(trees.allocate<XTree>(2));
    EXPECT_EQ(trees.treeAt(1)->parent(), &trees);
    XTreeArray movedTrees;
    movedTrees = std::move(trees);
    EXPECT_EQ(movedTrees.treeAt(1)->parent(), &movedTrees);
    EXPECT_EQ(movedTrees.keyOf(movedTrees.treeAt(1)), QStringLiteral("1"));
}

TEST(XTree, GetByTypeFindsStringArrayElements) {
    XTree t;
    t.setString("a", "one");
    t.setArray<QString>("b", {QStringLiteral("two"), QStringLiteral("three")});
    XTree sub;
    sub.setArray<QString>("c", {QStringLiteral("four")});
    t.set("d", std::move(sub));
    QStringList found;
    for (QString* s : t.get_by_type<QString>(true, true)) found << *s;
    EXPECT_EQ(found.join(',').toStdString(), "one,two,three,four");
    EXPECT_EQ(t.get_by_type<QString>(false, false).size(), 1u);
    // The addresses are the elements themselves.
    *t.get_by_type<QString>(false, true)[2] = QStringLiteral("drei");
    EXPECT_EQ(*t.pointerFromPath<QString>("/b/1"), QStringLiteral("drei"));
}

// Type names and categories are labels anyone may change: a value is only ever used as what it was
// stored as, so a slot or an array whose labels do not fit is never taken for another type.
TEST(XTree, LabelsThatDoNotFitTheValueAreNeverTrusted) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    XTree t;
    t.set("n", 5);
    t.getVal("n").setCategory(XCategory::TREE);  // an int labelled as a tree
    t.set("m", 6);
    t.getVal("m").setType(XTypeSet::str_XTree);  // an int named a tree
    t.set("s", static_cast<char>(7));
    t.getVal("s").setType(XTypeSet::str_Matrix4);  // one byte named 64
    XTreeArray ints;
    ASSERT_TRUE(ints.allocate<qint32>(3));
    ints.setCategory(XCategory::TREE);  // ints labelled as trees
    t.set("ints", std::move(ints));
    XTree inner;
    inner.set("x", 1);
    t.set("tree", std::move(inner));
    t.getVal("tree").setCategory(XCategory::LINK);  // a tree labelled as a link
    XVal foreign;
    auto* notATree = new XLink(QStringLiteral("/x"));
    foreign.adopt(notATree, XTypeSet::str_XTree, XCategory::TREE,
                  new XDestructor(notATree, [notATree]() { delete notATree; }));
    t.getVal("foreign", nullptr) = std::move(foreign);  // another tree object named and labelled a tree

    for (const char* key : {"n", "m", "foreign"}) EXPECT_EQ(t.getTree(key), nullptr) << key;
    EXPECT_TRUE(logged(cap, "XTree::getPointer, 3-WRONG TYPE, key:'m', type:'XTree', want type:'XTree',"));
    EXPECT_EQ(t.getPointer<Matrix4>("s"), nullptr);
    EXPECT_EQ(t.objectByKey("n"), nullptr);
    EXPECT_EQ(t.objectByKey("tree"), nullptr);
    EXPECT_EQ(t.getPointer<XTreeArray>("ints")->treeAt(0), nullptr);
    EXPECT_EQ(t.pointerFromPath<XTree>("/ints/0"), nullptr);
    ASSERT_EQ(t.get_by_type<XTree>(true, true).size(), 1u);  // the tree that is one, whatever its label
    EXPECT_EQ(*t.get_by_type<XTree>(true, true)[0]->getPointer<int>("x"), 1);
    EXPECT_EQ(t.get_by_type<int>(true, true).size(), 4u);  // n, m and the three ints; not s
    t.set_parent_recursive();
    EXPECT_FALSE(t.toStringExtended().isEmpty());
    XTree moved(std::move(t));
    // Written, each value is what it really is: the one byte named Matrix4 writes a default
    // Matrix4, not 64 bytes of whatever lies behind it.
    XVal m4;
    m4.setValMove(Matrix4());
    QByteArray a, b;
    {
        XDataStream s(&a, QIODevice::WriteOnly);
        s.writeVal(moved.getVal("s"));
        XDataStream s2(&b, QIODevice::WriteOnly);
        s2.writeVal(m4);
    }
    EXPECT_EQ(a, b);
    EXPECT_FALSE(moved.createByteArray().isEmpty());
    XTree copy = moved.create_copy();
    EXPECT_EQ(*copy.getPointer<qint32>("n"), 5) << "the category fits the int again";
    EXPECT_EQ(copy.getVal("n").getCategory(), XCategory::SIMPLE);
}
