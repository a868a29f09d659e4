#include <zor/Attr.h>
#include <zor/Child.h>
#include <zor/Logger.h>
#include <zor/Scheme.h>
#include <zor/XGenericTypeCreator.h>
#include <zor/XGenericTypes.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <memory>

using namespace zor;

namespace {

const char* kSchema =
    "<XGenericTypes>\n"
    "  <Window icon=\"w.png\" iconBig=\"W.png\">\n"
    "    <Attr name=\"title\" default=\"untitled\" label=\"Title\"/>\n"
    "    <Attr name=\"width\" type=\"int\" default=\"640\" get_min=\"1\" get_max=\"8000\"/>\n"
    "    <Attr name=\"extra\" type=\"userDefined\" readOnly=\"true\" enabled=\"false\"/>\n"
    "    <Child type=\"Button\" countMin=\"0\" countMax=\"*\"/>\n"
    "  </Window>\n"
    "  <Button>\n"
    "    <Attr name=\"text\"/>\n"
    "    <Child type=\"Icon\" countMax=\"n\"/>\n"
    "  </Button>\n"
    "</XGenericTypes>\n";

using Tree = std::unique_ptr<XNode>;

Tree loadWith(const QString& xml, XmlNodeCreator* creator) { return Tree(XNode::parseString(xml, creator)); }

}  // namespace

TEST(XGenericTypes, FoundAtTheRootOrUnderItOnly) {
    zortest::LogCapture cap;
    XGenericTypeCreator creator;
    Tree asRoot = loadWith(kSchema, &creator);
    ASSERT_TRUE(asRoot);
    XGenericTypes* types = asRoot->query("Window/Attr")->getXGenericTypes();
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->toString(), "XGenericTypes [2]{Window,Button}");
    Tree under = loadWith(QString("<app>") + kSchema + "</app>", &creator);
    EXPECT_NE(under->getXGenericTypes(), nullptr);
    Tree deeper = loadWith(QString("<app><x>") + kSchema + "</x></app>", &creator);
    EXPECT_EQ(deeper->getXGenericTypes(), nullptr);
    Tree plain = loadWith(kSchema, nullptr);  // loaded without the schema's creator
    EXPECT_EQ(plain->getXGenericTypes(), nullptr);
    Tree plainUnder = loadWith(QString("<app>") + kSchema + "</app>", nullptr);
    EXPECT_EQ(plainUnder->getXGenericTypes(), nullptr);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XNode::getXGenericTypes, we do not have <XGenericTypes> tag under root node !"));
    EXPECT_TRUE(cap.containsText("XNode::getXGenericTypes, we found <XGenericTypes> but its not the right C++ type."));
    EXPECT_TRUE(
        cap.containsText("XNode::getXGenericTypes, *we found /<XGenericTypes> but its not the right C++ type."));
    EXPECT_TRUE(cap.containsText("Did you forget to add a proper 'XmlNodeCreator' instance ?"));
}

TEST(XGenericTypes, SchemesDefaultsAndLimits) {
    zortest::LogCapture cap;
    XGenericTypeCreator creator;
    Tree t = loadWith(kSchema, &creator);
    auto* types = dynamic_cast<XGenericTypes*>(t.get());
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->getAllTypes(), std::vector<QString>({"Window", "Button"}));
    EXPECT_TRUE(types->hasChildType("Button"));
    EXPECT_EQ(types->getTheRootNode()->getType(), "Window");
    EXPECT_TRUE(types->checkTypeRelation("Window", "Button"));
    EXPECT_FALSE(types->checkTypeRelation("Button", "Window"));
    EXPECT_FALSE(types->checkTypeRelation("Nope", "Button"));

    const Scheme s = types->getScheme("Window");
    ASSERT_TRUE(s.isValid());
    EXPECT_EQ(s.attrs().size(), 3u);
    EXPECT_EQ(s.childs().size(), 1u);
    EXPECT_EQ(s.pathIconSmall(), "w.png");
    EXPECT_EQ(s.pathIconBig(), "W.png");
    const Attr* width = s.attrs()[1];
    EXPECT_EQ(width->getName(), "width");
    EXPECT_EQ(width->getParentType(), "Window");
    EXPECT_EQ(width->getMin(), "1");
    EXPECT_TRUE(width->hasMax());
    EXPECT_FALSE(width->hasCombo());
    EXPECT_TRUE(width->isEnabled());
    EXPECT_FALSE(s.attrs()[2]->isEnabled());
    EXPECT_TRUE(s.attrs()[2]->isReadOnly());
    EXPECT_TRUE(s.attrs()[2]->isUserDefined());
    EXPECT_EQ(s.childs()[0]->countMax(), 4294967295u);
    EXPECT_EQ(s.childs()[0]->toString(), "theType 'Button', countMin:0, countMax:4294967295");
    const Child* icon = types->getScheme("Button").childs()[0];
    EXPECT_EQ(icon->countMax(), Child::UNLIMITED);
    EXPECT_EQ(icon->countMin(), 0u);

    // Defaults overwrite what the node holds; an attribute without one becomes empty.
    XNode w;
    w.setString("title", "mine");
    w.setString("extra", "kept?");
    s.defaultiesToNode(&w);
    EXPECT_EQ(w.getString("title", ""), "untitled");
    EXPECT_EQ(w.getString("width", ""), "640");
    EXPECT_EQ(w.getString("extra", "x"), "");
    s.defaultiesToNode(nullptr);

    const Scheme none = types->getScheme("Nope");
    EXPECT_FALSE(none.isValid());
    EXPECT_EQ(none.pathIconSmall(), "");
    none.defaultiesToNode(&w);
    Scheme empty;
    EXPECT_FALSE(empty.fromNode(nullptr));
    Scheme bare;
    XNode lonely;
    lonely.setType("lonely");
    EXPECT_TRUE(bare.fromNode(&lonely));
    EXPECT_FALSE(bare.isValid());
    zortest::drainLogger();
    for (const char* text : {"<<Scheme:Window, n == nullptr>>", "Scheme::isValid, nOwner == nullptre",
                             "Scheme::pathIconSmall, <<Scheme:nullptr>>", "<<Scheme:nullptr>>",
                             "Scheme::from_node, n == nullptr", "Scheme::isValid,  no <Child> and no <Attr> ?"})
        EXPECT_TRUE(cap.containsText(text)) << text;
}

TEST(XGenericTypes, ConsistencyChecks) {
    zortest::LogCapture cap;
    XGenericTypeCreator creator;
    Tree t = loadWith(kSchema, &creator);
    auto* types = dynamic_cast<XGenericTypes*>(t.get());
    ASSERT_NE(types, nullptr);
    EXPECT_FALSE(types->checkDescription());  // Button may hold an Icon nobody describes
    t->createNode("Icon", "", &creator)->createNode("Attr", "", &creator)->setString("type", "path");
    EXPECT_TRUE(types->checkDescription());

    // An Attr without "type" counts as "string".
    EXPECT_TRUE(types->checkTypes(QSet<QString>({"string", "int", "userDefined", "path"})));
    EXPECT_FALSE(types->checkTypes(QSet<QString>({"int", "userDefined", "path"})));
    EXPECT_FALSE(types->checkTypes([](const QString& type) { return type != "path"; }));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(
        "XGenericTypes::checkDescription, Child type <Icon> not found within <XGenericTypes>...</XGenericTypes>"));
    EXPECT_TRUE(cap.containsText("XGenericTypes::checkTypes, unknown type 'string'"));
    EXPECT_TRUE(cap.containsText("XGenericTypes::checkTypes, unknown type 'path'"));

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            types->checkTypes(std::function<bool(const QString&)>());
        },
        ::testing::ExitedWithCode(1), "nullptr:callBack == NULL");
}
