#include <zor/Logger.h>
#include <zor/XNode.h>
#include <zor/XNodeInfoCollectorStandard.h>
#include <zor/XNodeIterator.h>
#include <zor/XmlNodeCreator.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <memory>

using namespace zor;

namespace {

// A root "list" with children item@a, item@b, other (no name), item (no name).
std::unique_ptr<XNode> sample() {
    std::unique_ptr<XNode> root(XNode::createRoot("list", "", nullptr));
    root->createNode("item", "a", nullptr)->setText("x");
    root->createNode("item", "b", nullptr);
    root->createNode("other", "", nullptr);
    root->createNode("item", "", nullptr);
    return root;
}

QStringList types(const XNode& n) {
    QStringList out;
    for (const XNode* c : n.children()) out << c->getType() + (c->hasName() ? "@" + c->getName() : QString());
    return out;
}

// A node class that counts its destructions, to see that a whole subtree goes.
struct Counted : XNode {
    static int alive;
    Counted() { ++alive; }
    ~Counted() override { --alive; }
};
int Counted::alive = 0;

struct CountedCreator : XmlNodeCreator {
    XNode* create(const QString& type) const override {
        auto* n = new Counted();
        n->setType(type);
        return n;
    }
};

}  // namespace

TEST(XNode, ConstructionNamesTypesAndOwnership) {
    XNode plain;
    EXPECT_EQ(plain.getType(), "XNode");
    EXPECT_TRUE(plain.isRoot());
    {
        CountedCreator creator;
        std::unique_ptr<XNode> root(XNode::createRoot("r", "top", &creator));
        EXPECT_EQ(root->getName(), "top");
        XNode* cur = root.get();
        for (int i = 0; i < 10; ++i) cur = cur->createNode("n", "", &creator);
        EXPECT_EQ(Counted::alive, 11);
        EXPECT_EQ(root->sizeRecursive(false), 10u);
        EXPECT_EQ(root->sizeRecursive(true), 11u);
        EXPECT_EQ(cur->getDepth(), 10u);
        EXPECT_EQ(cur->root(), root.get());
        // A removed, kept child is the caller's; its parent pointer still names the old parent.
        XNode* first = root->nodeAt(0);
        EXPECT_TRUE(root->removeAt(0, false));
        EXPECT_EQ(first->parent(), root.get());
        EXPECT_FALSE(root->hasChildren());
        delete first;
        EXPECT_EQ(Counted::alive, 1);
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(XNode, NameUniquenessAndIndexMessages) {
    zortest::LogCapture cap;
    auto root = sample();
    // Equal type and name are refused by both ways in; equal names of other types are fine.
    EXPECT_EQ(root->createNode("item", "a", nullptr), nullptr);
    std::unique_ptr<XNode> dup(XNode::createRoot("item", "b", nullptr));
    EXPECT_FALSE(root->addNode(dup.get(), true));
    EXPECT_NE(root->createNode("other", "a", nullptr), nullptr);
    EXPECT_NE(root->createNode("item", "", nullptr), nullptr);
    EXPECT_EQ(root->createNode("", "z", nullptr), nullptr);
    XNode* other = root->nodeAt(2);
    EXPECT_FALSE(root->addNode(other, true));

    XNode empty;
    XNode* n = new XNode();
    empty.insertNodeAt(n, 0);  // no children: nothing to insert before
    root->insertNodeAt(n, static_cast<int>(root->size()));
    root->insertNodeAt(other, 1);
    EXPECT_EQ(root->nodeAt(root->size()), nullptr);
    EXPECT_FALSE(root->removeAt(-1, true));
    root->setNodeAt(n, 9);
    root->insertNodeAt(n, 0);
    EXPECT_EQ(root->nodeAt(0), n);
    EXPECT_EQ(n->parent(), root.get());
    std::vector<XNode*> gone{nullptr, dup.get(), n};
    root->removeNodes(gone, true);
    EXPECT_EQ(root->indexOf(n), -1);
    zortest::drainLogger();
    for (const char* text :
         {"XNode::createNode - name must be unique, return nullptr",
          "XNode::addNode, nodes name must be unique, name is 'b'",
          "XNode::createNode - type == '' not allowed, return nullptr",
          "XNode::addNode, node already inside container !",
          "XNode::insertNodeAt - index:0 not valid - must be >= 0 && <= -1",
          "XNode::insertNodeAt - index:6 not valid - must be >= 0 && <= 5",
          "XNode::insertNodeAt - node already inside !", "XNode::nodeAt, 6 out of range 0-6",
          "XNode::removeAt, index:-1 out of range 0-5", "XNode::setNodeAt - index:9 not valid - must be >= 0 && <= 5",
          "XNode::removeNodes - n == nullptr", "XNode::removeNodes - does not contain node"})
        EXPECT_TRUE(cap.containsText(text)) << text;
}

TEST(XNode, MovingSwappingAndNeighbours) {
    auto root = sample();
    XNode* a = root->nodeAt(0);
    XNode* b = root->nodeAt(1);
    XNode* other = root->nodeAt(2);
    XNode* last = root->nodeAt(3);
    EXPECT_EQ(root->nodeAfter(a, true), b);
    EXPECT_EQ(root->nodeAfter(b, true), last);  // skips "other"
    EXPECT_EQ(root->nodeAfter(b, false), other);
    EXPECT_EQ(root->nodeBefore(last, true), b);
    EXPECT_EQ(root->nodeBefore(a, false), nullptr);

    EXPECT_EQ(root->moveWithinStack(a, STACK_NEXT), b);
    EXPECT_EQ(types(*root), QStringList({"item@b", "item@a", "other", "item"}));
    EXPECT_EQ(root->moveWithinStack(b, STACK_PREVIOUS), nullptr);  // already first
    EXPECT_EQ(root->moveWithinStack(last, STACK_FIRST), nullptr);
    EXPECT_EQ(types(*root), QStringList({"item", "item@b", "item@a", "other"}));
    root->moveWithinStack(last, STACK_LAST);
    EXPECT_EQ(types(*root), QStringList({"item@b", "item@a", "other", "item"}));
    EXPECT_TRUE(root->swap(b, other));
    EXPECT_EQ(types(*root), QStringList({"other", "item@a", "item@b", "item"}));
    XNode stranger;
    EXPECT_FALSE(root->swap(&stranger, b));
    EXPECT_EQ(root->moveWithinStack(&stranger, STACK_LAST), nullptr);

    // moveChildren hands everything over; a child the destination refuses is not left ownerless.
    std::unique_ptr<XNode> dest(XNode::createRoot("d", "", nullptr));
    dest->createNode("item", "a", nullptr);
    XNode::moveChildren(dest.get(), root.get());
    EXPECT_FALSE(root->hasChildren());
    EXPECT_EQ(types(*dest), QStringList({"item@a", "other", "item@b", "item"}));
    EXPECT_EQ(dest->nodeAt(1)->parent(), dest.get());

    // Copying attributes onto a node replaces its attributes and leaves its children alone.
    XNode holder;
    holder.setString("old", "1");
    holder.createNode("kid", "", nullptr);
    dest->copyAttributesTo(&holder);
    EXPECT_FALSE(holder.hasKey("old"));
    EXPECT_EQ(holder.size(), 1u);

    std::unique_ptr<XNode> src(XNode::createRoot("s", "n", nullptr));
    src->setInt("k", 1);
    XNode::moveAttributes(dest.get(), src.get());
    EXPECT_EQ(dest->getInt("k", 0), 1);
    EXPECT_EQ(dest->getName(), "n");
    EXPECT_FALSE(src->hasAttributes());
}

TEST(XNode, PositionsPathsAndInheritedAttributes) {
    auto root = sample();
    root->setString("color", "red");
    XNode* deep = root->nodeAt(1)->createNode("leaf", "x", nullptr)->createNode("leaf", "y", nullptr);
    QStack<int> pos;
    deep->getNodePosition(pos);
    EXPECT_EQ(static_cast<QVector<int>>(pos), QVector<int>({0, 0, 1}));  // bottom: own index; top: the root's child
    EXPECT_EQ(root->nodeFromStackPos(pos), deep);
    EXPECT_TRUE(pos.isEmpty());
    QStack<int> bad;
    bad.push(-1);
    EXPECT_EQ(root->nodeFromStackPos(bad), nullptr);
    QStack<int> none;
    EXPECT_EQ(root->nodeFromStackPos(none), root.get());
    EXPECT_EQ(deep->getStackToRoot().top(), root.get());
    EXPECT_EQ(deep->getStringBottomUp("color", "none"), "red");
    deep->parent()->setString("color", "blue");
    EXPECT_EQ(deep->getStringBottomUp("color", "none"), "blue");
    EXPECT_EQ(deep->getStringBottomUp("size", "none"), "none");
    EXPECT_EQ(deep->indexOfParent(), 0);
    EXPECT_EQ(root->indexOfParent(), -1);
    EXPECT_EQ(root->childNumber(), 0);
    EXPECT_TRUE(root->containsNodeRecursive(deep));
    EXPECT_FALSE(root->nodeAt(0)->containsNodeRecursive(deep));
    EXPECT_EQ(root->getCountTypedChildren("item"), 3u);
    std::vector<QString> names;
    EXPECT_TRUE(root->getChildrenAttribute("name", names));
    EXPECT_EQ(names, std::vector<QString>({"a", "b"}));
    EXPECT_TRUE(root->nodeAt(0)->isTypeName("item@a"));
    EXPECT_FALSE(root->nodeAt(0)->isTypeName("item@a@b"));
}

TEST(XNode, IterateTreeVisitsPreOrderAndStopsALevel) {
    auto root = sample();
    root->nodeAt(0)->createNode("sub", "", nullptr)->createNode("subsub", "", nullptr);
    QStringList seen;
    root->iterateTree([&](XNode* n, unsigned int d) {
        seen << n->getType() + QString::number(d);
        return true;
    });
    EXPECT_EQ(seen, QStringList({"item0", "sub1", "subsub2", "item0", "other0", "item0"}));
    seen.clear();
    root->iterateTree([&](XNode* n, unsigned int) {
        seen << n->getType();
        return false;
    });
    EXPECT_EQ(seen, QStringList({"item"}));
    // False inside a subtree skips the rest of that level only.
    seen.clear();
    root->iterateTree([&](XNode* n, unsigned int) {
        seen << n->getType();
        return n->getType() != "sub";
    });
    EXPECT_EQ(seen, QStringList({"item", "sub", "item", "other", "item"}));
}

TEST(XNode, DuplicateNamesUniqueNamesAndIds) {
    zortest::LogCapture cap;
    auto root = sample();
    EXPECT_FALSE(root->checkDuplicateNames());
    // Equal names under different parents are no duplicates; two levels down they are found.
    XNode* a = root->nodeAt(0);
    XNode* b = root->nodeAt(1);
    a->createNode("row", "r", nullptr);
    b->createNode("row", "r", nullptr);
    EXPECT_FALSE(root->checkDuplicateNames());
    XNode* sub = b->createNode("sub", "", nullptr);
    sub->createNode("cell", "c", nullptr);
    XNode* twin = sub->createNode("cell", "", nullptr);
    twin->setName("c");  // named after it was added: addNode could not see it
    EXPECT_TRUE(root->checkDuplicateNames());

    XNode rows;
    rows.createNode("r", "row", nullptr);
    rows.createNode("r", "row0", nullptr);
    EXPECT_EQ(rows.createUniqueName("row"), "row1");
    EXPECT_EQ(rows.createUniqueName("free"), "free");
    EXPECT_EQ(XNode::createNextNumberString(""), "0");
    EXPECT_EQ(XNode::createNextNumberString("item"), "item0");
    EXPECT_EQ(XNode::createNextNumberString("item9"), "item10");
    EXPECT_EQ(XNode::createNextNumberString("v99999999999999999999"), "v100000000000000000000");

    EXPECT_EQ(a->ID(), -1);
    EXPECT_TRUE(a->setID(7));
    EXPECT_FALSE(b->setID(7));
    EXPECT_TRUE(root->setID(7));  // a root has no siblings
    EXPECT_EQ(root->nodeFromID(7), a);
    EXPECT_EQ(root->nodesFromIDs().size(), 1u);

    int value = 0;
    a->set_pointer(&value);
    sub->set_pointer(&value);
    root->set_pointer(&value);
    EXPECT_EQ(sub->pointer(), &value);
    sub->remove_all_pointer();
    EXPECT_EQ(a->pointer(), nullptr);
    EXPECT_EQ(sub->pointer(), nullptr);
    EXPECT_EQ(root->pointer(), nullptr);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XNode::checkDuplicateNames - 'cell@c' already exists !"));
    EXPECT_TRUE(cap.containsText("XNode::setID, id:7 already present !"));
    EXPECT_TRUE(cap.containsText("XNode::createUniqueName, strBaseName:'row'"));
}

TEST(XNode, TextsDigestsAndDisplay) {
    zortest::LogCapture cap;
    XNode n;
    n.setType("Item");
    n.setName("a");
    n.setText(" x ");
    EXPECT_EQ(n.toStringForQTreeView(), "Item, name='a', {x}");
    XNodeInfoCollectorStandard c;
    EXPECT_EQ(c.toString(), "");
    c.setNode(&n);
    EXPECT_EQ(c.toString(), "Item, name='a', {x}");

    n.setText("a\r\n    b");
    EXPECT_TRUE(n.isText("a\nb"));
    EXPECT_FALSE(n.isText(""));
    n.setText("plain");
    EXPECT_TRUE(n.isText("plain"));
    EXPECT_TRUE(n.getSetBool("flag", true));
    EXPECT_TRUE(n.getSetBool("flag", false));  // stored now
    EXPECT_EQ(n.getString("flag", ""), "true");

    // The digest sees text, attributes and (recursively) children, and nothing else.
    auto t1 = sample();
    std::unique_ptr<XNode> t2(t1->deepCopy(nullptr));
    EXPECT_EQ(t2->parent(), nullptr);
    EXPECT_EQ(t1->getMD5(true), t2->getMD5(true));
    t2->nodeAt(3)->setText("changed");
    EXPECT_NE(t1->getMD5(true), t2->getMD5(true));
    EXPECT_EQ(t1->getMD5(false), t2->getMD5(false));
    // A copy leaves out an empty "name" (an unnamed node), so its digest differs from one that has it.
    t1->nodeAt(2)->setName("");
    std::unique_ptr<XNode> t3(t1->deepCopy(nullptr));
    EXPECT_FALSE(t3->nodeAt(2)->hasKey("name"));
    EXPECT_NE(t1->getMD5(true), t3->getMD5(true));

    XNode show;
    show.setType("a");
    show.setString("k", "v");
    show.setString("t64", "aGk=");
    show.createNode("b", "", nullptr)->setText("txt");
    show.showContents(2, DEBUG, AbstractXRecord::kvAsString);
    int count = 0;
    for (XNodeIterator it(&show, 0), end(&show, static_cast<int>(show.size())); it != end; ++it) ++count;
    EXPECT_EQ(count, 1);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("<a> [1] {k: 'v', t64: 'hi'}"));
    EXPECT_TRUE(cap.containsText("<b> [0] \"txt\""));
}

TEST(XNode, NullArgumentsEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    XNode n;
    // The notice goes to standard output; it is sent to standard error here so that it can be matched.
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            n.addNode(nullptr, false);
        },
        ::testing::ExitedWithCode(1), "nullptr:node == NULL");
    n.createNode("a", "", nullptr);
    n.createNode("b", "", nullptr);
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            n.moveWithinStack(nullptr, STACK_FIRST);
        },
        ::testing::ExitedWithCode(1), "nullptr:nChild == NULL");
    EXPECT_EXIT(CHECK_NODE("", nullptr, ""), ::testing::ExitedWithCode(1), "");
}
