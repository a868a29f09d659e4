#include <zor/Logger.h>
#include <zor/XNode.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zor;

namespace {

// <root><x><item name="a"/><item name="b"><leaf/></item></x><y/></root>
std::unique_ptr<XNode> tree() {
    std::unique_ptr<XNode> root(XNode::createRoot("root", "", nullptr));
    XNode* x = root->createNode("x", "", nullptr);
    x->createNode("item", "a", nullptr);
    x->createNode("item", "b", nullptr)->createNode("leaf", "", nullptr);
    root->createNode("y", "", nullptr);
    return root;
}

}  // namespace

TEST(XNodeQuery, PathsRelativeAbsoluteAndUpwards) {
    auto root = tree();
    XNode* leaf = root->query("x/item@b/leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->getType(), "leaf");
    EXPECT_EQ(leaf->query(""), leaf);
    EXPECT_EQ(leaf->query("/"), root.get());
    // The first item of an absolute query names the root and is not compared.
    EXPECT_EQ(leaf->query("/x/x/item@a"), root->query("x/item@a"));
    EXPECT_EQ(leaf->query("/anything/y"), root->query("y"));
    EXPECT_EQ(leaf->query("/whatever"), root.get());
    EXPECT_EQ(root->query("/root"), root.get());
    XNode* a = root->query("x/item@a");
    EXPECT_EQ(a->query("../item@b/leaf"), leaf);
    EXPECT_EQ(a->query("../item"), a);  // the first match wins
    EXPECT_EQ(leaf->query("../../.."), root.get());
    EXPECT_EQ(leaf->getQuery(), "/root/x/item@b/leaf");
    EXPECT_EQ(root->query(leaf->getQuery()), leaf);
    EXPECT_EQ(a->query(a->getQuery()), a);
    EXPECT_EQ(root->getQuery(), "/root");
}

TEST(XNodeQuery, QueriesThatFindNothing) {
    zortest::LogCapture cap;
    auto root = tree();
    EXPECT_EQ(root->query(".."), nullptr);
    EXPECT_EQ(root->query("../x"), nullptr);
    EXPECT_EQ(root->query("x/item@c"), nullptr);
    EXPECT_EQ(root->query("x/item@a@b"), nullptr);
    EXPECT_EQ(root->query("x/item@"), nullptr);
    EXPECT_EQ(root->query("x/@a"), nullptr);
    EXPECT_EQ(root->query("nope/x"), nullptr);
    EXPECT_EQ(root->query("x/item/leaf"), nullptr);  // the first item has no leaf
    // getCreateNode finds what exists and creates only what is missing.
    XNode* b = root->getCreateNode("x", "", nullptr)->getCreateNode("item", "b", nullptr);
    EXPECT_EQ(b, root->query("x/item@b"));
    XNode* c = root->query("x")->getCreateNode("item", "c", nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(root->query("x/item@c"), c);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("query_by_oneToken - wrong token 'item@a@b'"));
    EXPECT_TRUE(cap.containsText("query_by_oneToken - wrong token 'item@'"));
}
