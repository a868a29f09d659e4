#include <zor/FloatParser.h>
#include <zor/IntegerParser.h>
#include <zor/Logger.h>

#include <QByteArray>
#include <cstring>

namespace zor {

bool FloatParser::DEBUG_PARSE = false;

namespace {

constexpr std::size_t kTraceLimit = 4087;  // longer ranges are cut in the trace line

void traceRange(const char* p, std::size_t n) {
    QByteArray text(p, static_cast<int>(n > kTraceLimit ? kTraceLimit : n));
    if (n > kTraceLimit) text.append(" OVERFLOW");
    logDebug("FloatParser - DEBUG '$'", QString::fromLatin1(text));
}

}  // namespace

double FloatParser::asciiToFloat(const char* p, const char* pEnd) {
    if (p == nullptr) nullPointerHandling("libSrc/core/include/zor/parsing/parser_inline", 160, QStringLiteral("p == NULL"));
    if (pEnd == nullptr)
        nullPointerHandling("libSrc/core/include/zor/parsing/parser_inline", 161, QStringLiteral("pEnd == NULL"));
    const bool trace = DEBUG_PARSE;
    // pEnd must lie between p and the terminating zero: no zero byte may occur before it. memchr
    // stops at the first zero, so it never reads past the end of a shorter text.
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(pEnd);
    if (end < begin || std::memchr(p, 0, end - begin) != nullptr) {
        if (trace) logError("FloatParser::asciiToFloat, pEnd not valid !");
        return NOT_A_NUMBER;
    }
    if (trace) traceRange(p, end - begin);

    while (p < pEnd && is_white_space(*p)) ++p;
    double sign = 1.0;
    if (p < pEnd && *p == '-') {
        sign = -1.0;
        ++p;
    } else if (p < pEnd && *p == '+') {
        ++p;
    }
    if (p >= pEnd) {
        if (trace) logError("FloatParser::asciiToFloat, p >= pEnd");
        return NOT_A_NUMBER;
    }
    double value = 0.0;
    while (p < pEnd && is_digit(*p)) {
        value = value * 10.0 + static_cast<double>(*p - '0');
        ++p;
    }
    if (trace) logDebug("FloatParser::asciiToFloat, value before '.' is:$", value);
    if (p < pEnd && (*p == ',' || *p == '.')) {
        ++p;
        double divisor = 10.0;
        while (p < pEnd && is_digit(*p)) {
            value += static_cast<double>(*p - '0') / divisor;
            divisor *= 10.0;
            ++p;
        }
    }
    int exponent = 0;
    bool negativeExponent = false;
    if (p < pEnd && (*p == 'E' || *p == 'e')) {
        ++p;
        if (p < pEnd && *p == '-') {
            negativeExponent = true;
            if (trace) logDebug("FloatParser::asciiToFloat, found '-'");
            ++p;
        } else if (p < pEnd && *p == '+') {
            if (trace) logDebug("FloatParser::asciiToFloat, found '+'");
            ++p;
        }
        while (p < pEnd && is_digit(*p)) {
            if (exponent <= 308) exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (trace) logDebug("FloatParser::asciiToFloat, expon: $", exponent);
        if (exponent > 308) exponent = 308;
    }
    return applyExponent(value, exponent, negativeExponent) * sign;
}

double FloatParser::asciiToFloat(const char* p) {
    if (p == nullptr) nullPointerHandling("libSrc/core/include/zor/parsing/parser_inline", 213, QStringLiteral("p == NULL"));
    return asciiToFloat(p, p + std::strlen(p));
}

}  // namespace zor
