#pragma once
/// \zclass{XTree_View,xtree} A read-only view of one tree's entries, sorted into four lists by category, each in
/// key order. The pointers are valid while the tree is not changed.
#include <zor/XVal.h>

#include <QString>
#include <utility>
#include <vector>

namespace zor {

struct XTree_View {
    using Entry = std::pair<const QString*, const XVal*>;
    std::vector<Entry> trees;   ///< category TREE
    std::vector<Entry> arrays;  ///< ARRAY
    std::vector<Entry> links;   ///< LINK
    std::vector<Entry> values;  ///< everything else
};

}  // namespace zor
