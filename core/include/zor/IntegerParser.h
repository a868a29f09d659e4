#pragma once
/// \zclass{IntegerParser,text} A locale-free decimal parser for zero-terminated C strings.
///
/// stoi accepts optional spaces and tabs, an optional '+' or '-', one or more decimal digits and
/// optional spaces and tabs up to the terminating zero. Anything else (no digit, any other byte,
/// an embedded zero before the rest) gives IntegerParser::NaN. Digits accumulate without an
/// overflow check: values beyond the 64-bit range wrap modulo 2^64, as the accumulation does.
/// A null pointer is a programming error and ends the program (fatal check "c_str == NULL").
/// Thread-safe: no state.
#include <zor/FatalChecks.h>
#include <zor/Parser.h>
#include <zor/zor_export.h>

#include <QString>
#include <limits>

namespace zor {

class ZOR_EXPORT IntegerParser : public Parser {
public:
    /// The error value: the smallest 64-bit signed integer.
    static constexpr long long NaN = std::numeric_limits<long long>::min();

    static long long stoi(const char* c_str);
};

inline long long IntegerParser::stoi(const char* c_str) {
    if (c_str == nullptr)
        nullPointerHandling("libSrc/core/include/zor/parsing/parser_inline", 31, QStringLiteral("c_str == NULL"));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(c_str);
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    } else if (*p == '+') {
        ++p;
    }
    const unsigned char* digits = p;
    // Unsigned arithmetic: the accumulation wraps instead of overflowing.
    unsigned long long v = 0;
    unsigned d;
    while ((d = static_cast<unsigned>(*p) - '0') < 10u) {
        v = v * 10u + d;
        ++p;
    }
    if (p == digits) return NaN;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != 0) return NaN;
    return static_cast<long long>(negative ? 0u - v : v);
}

}  // namespace zor
