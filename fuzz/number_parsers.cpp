// IntegerParser and FloatParser on arbitrary bytes. Besides memory safety (the range parser is
// given ends inside, at and past the terminating zero) it checks the parsers against a plain
// reference: they accept exactly the texts of their grammar, and where the numbers are small
// enough for the digit-by-digit build to be near exact they agree with strtoll / strtod.
#include <zor/FloatParser.h>
#include <zor/IntegerParser.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

// [blanks][sign]digits[blanks]: the integer grammar. Gives the digit count.
bool integerGrammar(const char* s, int& digits) {
    while (blank(*s)) ++s;
    if (*s == '+' || *s == '-') ++s;
    digits = 0;
    while (digit(*s)) ++s, ++digits;
    while (blank(*s)) ++s;
    return digits > 0 && *s == 0;
}

// [blanks][sign][digits][.digits][(e|E)[sign]digits][blanks], at least one mantissa digit.
bool floatGrammar(const char* s, int& mantissaDigits, long& exponent) {
    while (blank(*s)) ++s;
    if (*s == '+' || *s == '-') ++s;
    mantissaDigits = 0;
    while (digit(*s)) ++s, ++mantissaDigits;
    if (*s == '.') {
        ++s;
        while (digit(*s)) ++s, ++mantissaDigits;
    }
    exponent = 0;
    if (*s == 'e' || *s == 'E') {
        ++s;
        long sign = 1;
        if (*s == '-') sign = -1, ++s;
        else if (*s == '+') ++s;
        while (digit(*s)) {
            if (exponent < 100000) exponent = exponent * 10 + (*s - '0');
            ++s;
        }
        exponent *= sign;
    }
    while (blank(*s)) ++s;
    return mantissaDigits > 0 && *s == 0;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Two extra bytes: the terminating zero and one byte after it, so that an end past the zero
    // is a valid pointer that the parser must not read.
    std::vector<char> buf(size + 2, 0);
    std::memcpy(buf.data(), data, size);
    const char* s = buf.data();
    const size_t len = std::strlen(s);

    const long long i = zor::IntegerParser::stoi(s);
    int digits = 0;
    if (integerGrammar(s, digits)) {
        if (digits <= 18 && i != std::strtoll(s, nullptr, 10)) std::abort();
    } else if (i != zor::IntegerParser::NaN) {
        std::abort();
    }

    const double f = zor::FloatParser::stof(s);
    const double legacy = zor::FloatParser::stof_legacy(s);
    const double whole = zor::FloatParser::asciiToFloat(s);
    int mantissa = 0;
    long exponent = 0;
    if (floatGrammar(s, mantissa, exponent)) {
        // The three parsers build a valid text the same way.
        if (!sameBits(f, legacy) || !sameBits(f, whole)) std::abort();
        if (mantissa <= 15 && std::labs(exponent) <= 250) {
            const double ref = std::strtod(s, nullptr);
            if (ref != 0.0 && std::isnormal(ref) && std::fabs(f - ref) > 1e-12 * std::fabs(ref)) std::abort();
            if (ref == 0.0 && f != 0.0) std::abort();
        }
    } else if (!sameBits(f, zor::FloatParser::NaN)) {
        std::abort();
    }

    // Range ends before, inside, at and past the terminating zero.
    for (size_t k : {size_t(0), len / 2, len, len + 1}) {
        const double r = zor::FloatParser::asciiToFloat(s, s + k);
        if (k > len && !std::isnan(r)) std::abort();
    }
    if (len > 0 && !std::isnan(zor::FloatParser::asciiToFloat(s + 1, s))) std::abort();
    return 0;
}
