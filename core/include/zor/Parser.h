#pragma once
/// \zclass{Parser,text} The byte classes shared by the library's number parsers (IntegerParser, FloatParser).
/// They are locale-free: only '0'..'9' are digits, only space and tab are white space.
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT Parser {
public:
    static constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
    static constexpr bool is_white_space(char c) { return c == ' ' || c == '\t'; }
};

}  // namespace zor
