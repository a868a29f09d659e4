#pragma once
/// \zclass{FloatParser,text} Locale-free decimal parsers for doubles, with fixed error values.
///
/// The value is built digit by digit: integer digits as value*10 + digit, the k-th fraction digit
/// adds digit/10^k (the divisor is 10 multiplied by 10 per digit), and the exponent (clamped to 308)
/// becomes a scale of 1e50 steps, then 1e8 steps, then steps of 10. The result is value*scale*sign,
/// or value/scale*sign for a negative exponent. These are the library's own results: they can differ
/// in the last bits from a correctly rounded strtod, and "1e-400" gives 1e-308, not 0.
///
/// - stof: optional blanks (space, tab), sign, digits, '.', fraction, 'e'/'E' with sign and digits,
///   optional blanks, then the terminating zero. Anything else, or no digit in the integer and
///   fraction parts: FloatParser::NaN.
/// - stof_legacy: as stof, and a '+' or '-' right after the mantissa also starts the exponent
///   ("1.5-3" is 0.0015).
/// - asciiToFloat(p, pEnd): parses the range [p, pEnd), which must end at or before the terminating
///   zero of p; ',' or '.' is the decimal separator and whatever follows the number is ignored.
///   An invalid range, or a range with nothing after blanks and sign: FloatParser::NOT_A_NUMBER.
///   asciiToFloat(p) parses the whole zero-terminated text.
///
/// Null pointers are programming errors and end the program (fatal checks "c_str == NULL",
/// "p == NULL", "pEnd == NULL"). The parsers are thread-safe; the trace switched on by DEBUG_PARSE
/// is meant for single-threaded diagnosis.
#include <zor/FatalChecks.h>
#include <zor/Parser.h>
#include <zor/zor_export.h>

#include <QString>
#include <limits>

namespace zor {

class ZOR_EXPORT FloatParser : public Parser {
public:
    /// Error value of stof: the smallest normalised positive double (bits 0x0010000000000000).
    static constexpr double NaN = std::numeric_limits<double>::min();
    /// Error value of asciiToFloat: a quiet NaN (bits 0x7FF8000000000000).
    static constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
    /// Switches on the trace lines of asciiToFloat (false at start).
    static bool DEBUG_PARSE;

    static double stof(const char* c_str);
    static double stof_legacy(const char* c_str);
    static double asciiToFloat(const char* p, const char* pEnd);
    static double asciiToFloat(const char* p);

    /// value*scale or value/scale for the (already clamped, non-negative) exponent: shared by the
    /// parsers so that every one of them scales the same way.
    static double applyExponent(double value, int exponent, bool negativeExponent) {
        double scale = 1.0;
        while (exponent >= 50) {
            scale *= 1e50;
            exponent -= 50;
        }
        while (exponent >= 8) {
            scale *= 1e8;
            exponent -= 8;
        }
        while (exponent > 0) {
            scale *= 10.0;
            --exponent;
        }
        return negativeExponent ? value / scale : value * scale;
    }

private:
    static double parse(const char* c_str, bool legacy);
};

inline double FloatParser::parse(const char* c_str, bool legacy) {
    if (c_str == nullptr)
        nullPointerHandling("libSrc/core/include/zor/parsing/parser_inline", 77, QStringLiteral("c_str == NULL"));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(c_str);
    while (*p == ' ' || *p == '\t') ++p;
    double sign = 1.0;
    if (*p == '-') {
        sign = -1.0;
        ++p;
    } else if (*p == '+') {
        ++p;
    }
    const unsigned char* start = p;
    double value = 0.0;
    unsigned d;
    while ((d = static_cast<unsigned>(*p) - '0') < 10u) {
        value = value * 10.0 + static_cast<double>(d);
        ++p;
    }
    bool anyDigit = p != start;
    if (*p == '.') {
        ++p;
        double divisor = 10.0;
        while ((d = static_cast<unsigned>(*p) - '0') < 10u) {
            value += static_cast<double>(d) / divisor;
            divisor *= 10.0;
            ++p;
            anyDigit = true;
        }
    }
    int exponent = 0;
    bool negativeExponent = false;
    bool hasExponent = false;
    if (*p == 'e' || *p == 'E') {
        hasExponent = true;
        ++p;
        if (*p == '-') {
            negativeExponent = true;
            ++p;
        } else if (*p == '+') {
            ++p;
        }
    } else if (legacy && (*p == '+' || *p == '-')) {
        hasExponent = true;
        negativeExponent = *p == '-';
        ++p;
    }
    if (hasExponent) {
        while ((d = static_cast<unsigned>(*p) - '0') < 10u) {
            if (exponent <= 308) exponent = exponent * 10 + static_cast<int>(d);  // stays far from overflow
            ++p;
        }
        if (exponent > 308) exponent = 308;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != 0 || !anyDigit) return NaN;
    return applyExponent(value, exponent, negativeExponent) * sign;
}

inline double FloatParser::stof(const char* c_str) { return parse(c_str, false); }
inline double FloatParser::stof_legacy(const char* c_str) { return parse(c_str, true); }

}  // namespace zor
