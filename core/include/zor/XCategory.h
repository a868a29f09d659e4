#pragma once
/// \zfile{xtree} XCategory: what a value slot, an array's elements or a tree object hold. The codes are written
/// to tree files as one byte, so they never change.
#include <cstdint>

namespace zor {

enum class XCategory : std::uint8_t {
    SIMPLE = 1,  ///< one object of a simple registered type (number, string, geometry, ...)
    TREE = 2,    ///< an XTree
    ARRAY = 3,   ///< an XTreeArray
    LINK = 4,    ///< an XLink
};

}  // namespace zor
