#include <zor/XRam.h>
#include <zor/XRamLayer.h>
#include <zor/XRamLayerGroup.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zor::find;

namespace {

std::vector<int> categories(const XRamLayer& l) {
    std::vector<int> out;
    for (const XRam& m : l) out.push_back(m.category);
    return out;
}

std::vector<unsigned> ids(const XRamLayerGroup& g) {
    std::vector<unsigned> out;
    for (const XRamLayer& l : g.layers()) out.push_back(l.id_layer());
    return out;
}

}  // namespace

TEST(XRam, RangesAndTextForms) {
    XRam m;
    EXPECT_FALSE(m.isValid());
    EXPECT_EQ(m.toString(), "{ id:10, status NOT VALID }");
    EXPECT_EQ(m.asShortForm(), "{}");
    EXPECT_EQ(m.color, 0xFF73D216u);

    XRam a(3, 8);
    EXPECT_TRUE(a);
    EXPECT_EQ(a.len(), 5);
    EXPECT_EQ(a.toString(), "{  id:10, start:3, end:8, len:5 }");
    EXPECT_EQ(a.asShortForm(), "{ 3/8=5 }");
    EXPECT_EQ(XRam(0, 4, XRam::CATEGORY_SEARCH_RESULT_NOT).asShortForm(), "{ NOT - 0/4=4 }");
    EXPECT_TRUE(XRam(0, 1).isValid());   // end 1 is the smallest valid end
    EXPECT_FALSE(XRam(0, 0).isValid());
    EXPECT_TRUE(a.isInRange(3) && a.isInRange(8) && !a.isInRange(9) && !a.isInRange(2));
    EXPECT_TRUE(a.contains_range(3, 8));
    EXPECT_FALSE(a.contains_range(2, 8));

    // Equality looks at the range only; set_mark_contents copies range and colour, not category.
    XRam b(3, 8, XRam::CATEGORY_WORD, 0x11223344u);
    EXPECT_EQ(a, b);
    XRam c(0, 1, XRam::CATEGORY_LINE);
    c.set_mark_contents(b);
    EXPECT_EQ(c.start, 3);
    EXPECT_EQ(c.color, 0x11223344u);
    EXPECT_TRUE(c.is_category_line());
    c.reset();
    EXPECT_FALSE(c.isValid());

    struct Line { unsigned long long posMemory; unsigned lenBytes; };
    EXPECT_TRUE(a.intersects(Line{5, 10}));    // end inside
    EXPECT_TRUE(a.intersects(Line{0, 3}));     // start on the line's end
    EXPECT_FALSE(a.intersects(Line{9, 10}));
    EXPECT_FALSE(a.intersects(Line{4, 0}));    // empty line
    EXPECT_FALSE(XRam().intersects(Line{0, 100}));
}

TEST(XRamLayer, MergeOrderAndLookups) {
    XRamLayer l(4);
    EXPECT_FALSE(l);
    EXPECT_EQ(l.color_background(), XRam::COLOR_BG_DEFAULT);
    EXPECT_EQ(l.toString(), "id:4, size():0");
    l.add_mark(XRam(0, 5, XRam::CATEGORY_SEARCH_RESULT));
    l.add_mark(XRam(0, 40, XRam::CATEGORY_PARAGRAPH));
    l.add_mark(XRam(10, 14, XRam::CATEGORY_WORD));
    l.adapt_layers_order();
    EXPECT_EQ(categories(l), (std::vector<int>{50, 30, 10}));

    EXPECT_EQ(l.index_mark_from_position(12), 0);  // the paragraph comes first now
    EXPECT_EQ(l.index_mark_from_position(41), -1);
    EXPECT_EQ(l.mark_from_position(41), nullptr);
    ASSERT_NE(l.mark_by_category(XRam::CATEGORY_WORD), nullptr);
    EXPECT_EQ(l.mark_by_category(XRam::CATEGORY_WORD)->start, 10);
    EXPECT_TRUE(l.contains_mark_paragraph());
    EXPECT_FALSE(l.contains_mark_line());
    EXPECT_EQ(l.get_mark_paragraph().end, 40);
    l.remove_mark(XRam::CATEGORY_PARAGRAPH);
    EXPECT_EQ(categories(l), (std::vector<int>{30, 10}));

    // merge skips ranges already present (and duplicates within the merged layer); add appends all.
    XRamLayer other;
    other.add_mark(XRam(10, 14));
    other.add_mark(XRam(20, 24));
    other.add_mark(XRam(20, 24));
    l.merge_ramLayer(other);
    EXPECT_EQ(l.size(), 3);
    l.add_ram_layer(other);
    EXPECT_EQ(l.size(), 6);
    l.set_color_background(0xFF000000u);
    EXPECT_EQ(l.color_background(), 0xFF000000u);

    // A larger merge takes the hashed path: the same rule.
    XRamLayer big, more;
    for (int i = 0; i < 100; ++i) big.add_mark(XRam(i * 2, i * 2 + 1));
    for (int i = 50; i < 150; ++i) more.add_mark(XRam(i * 2, i * 2 + 1));
    big.merge_ramLayer(more);
    EXPECT_EQ(big.size(), 150);
}

TEST(XRamLayer, ActiveMarkEdges) {
    zortest::LogCapture cap;
    XRamLayer empty;
    empty.set_active_mark_first();
    empty.set_active_mark_last();
    empty.move_active_mark_index(false);  // nothing active: nothing happens
    EXPECT_EQ(empty.active_mark(), nullptr);
    XRam& invalid = empty.get_mark_paragraph();
    EXPECT_FALSE(invalid.isValid());
    EXPECT_TRUE(cap.containsText("XRamLayer::set_active_mark_first, arMarkRam.size() == 0"));
    EXPECT_TRUE(cap.containsText("XRamLayer::set_active_mark_last, arMarkRam.size() == 0"));
    EXPECT_TRUE(cap.containsText("XRamLayer::get_mark_paragraph, NOT VALID"));

    XRamLayer l;
    for (int i = 0; i < 3; ++i) l.add_mark(XRam(i * 10, i * 10 + 2));
    EXPECT_FALSE(l.has_active_mark_index());
    l.move_active_mark_index(false);
    EXPECT_EQ(l.active_mark_index(), -1);
    l.set_active_mark_last();
    l.move_active_mark_index(false);  // at the last mark: it stays active, no wrap
    EXPECT_EQ(l.active_mark_index(), 2);
    l.move_active_mark_index(true);
    EXPECT_EQ(l.active_mark_index(), 1);
    l.set_active_mark_first();
    l.move_active_mark_index(true);   // at the first mark: stays
    EXPECT_EQ(l.active_mark_index(), 0);
    EXPECT_EQ(l.active_mark()->start, 0);
    int active = 0;
    for (const XRam& m : l) active += m.active ? 1 : 0;
    EXPECT_EQ(active, 1);
    l.set_active_mark_index(3);
    EXPECT_TRUE(cap.containsText("XRamLayer::set_active_mark_index, index >= arMarkRam.size, 3 > 3"));
    EXPECT_EQ(l.active_mark_index(), 0);  // unchanged
    l.set_active_mark_index(2);
    EXPECT_EQ(l.active_mark_index(), 2);
    l.clear_active_mark();
    EXPECT_FALSE(l.has_active_mark_index());
}

TEST(XRamLayerGroup, UniqueIdsSortingAndListeners) {
    zortest::LogCapture cap;
    XRamLayerGroup g;
    std::vector<unsigned> told;
    g.listeners().add([&told](unsigned id) { told.push_back(id); });
    g.listeners().enable(true);

    g.add_layer(9, false);
    g.add_layer(3, false);
    XRamLayer& seven = g.add_layer(7, true);
    EXPECT_EQ(ids(g), (std::vector<unsigned>{3, 7, 9}));
    EXPECT_EQ(seven.id_layer(), 7u);
    EXPECT_TRUE(seven.is_enabled());
    EXPECT_FALSE(seven.is_binary_file());
    EXPECT_EQ(told, (std::vector<unsigned>{9, 3, 7}));

    // An id already present: the group is unchanged, the result is a layer of no group.
    g.layer_by_ID(9).add_mark(XRam(1, 2));
    XRamLayer& dup = g.add_layer(9, false);
    EXPECT_EQ(dup.size(), 0);
    dup.add_mark(XRam(5, 6));
    EXPECT_EQ(g.size(), 3);
    EXPECT_EQ(g.layer_by_ID(9).size(), 1);
    EXPECT_EQ(told.size(), 3u);

    EXPECT_EQ(g.layer_by_ID(42).size(), 0);
    EXPECT_TRUE(cap.containsText("XRamLayerGroup::layer_by_ID, id:42 not found"));
    EXPECT_FALSE(g.contains_layer(42));

    g.layer_by_ID(3).add_mark(XRam(0, 1));
    g.clear(9);
    EXPECT_EQ(g.layer_by_ID(9).size(), 0);
    EXPECT_EQ(g.layer_by_ID(3).size(), 1);
    g.clear(1234);  // unknown id: nothing
    g.clear(-1);
    EXPECT_EQ(g.layer_by_ID(3).size(), 0);
    EXPECT_EQ(g.size(), 3);

    g.listeners().enable(false);
    g.add_layer(1, false);
    EXPECT_EQ(told.size(), 3u);
    g.show(0);
    EXPECT_TRUE(cap.containsText("XRamLayerGroup:4"));
    EXPECT_TRUE(cap.containsText("layer:id:7, size():0"));
}
