#include <zor/TextHelpers.h>

#include <zor/Logger.h>
#include <zor/xformat.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zor {

namespace {
constexpr unsigned int kMaxSpace = 1000000;
}

QString createSpace(unsigned int n) {
    if (n > kMaxSpace) {
        logError("createSpace, countSpaces >maxSpace !, $ > $, cut to:$", n, kMaxSpace, kMaxSpace);
        n = kMaxSpace;
    }
    return QString(static_cast<int>(n), QLatin1Char(' '));
}

QString xspace(unsigned int n) { return createSpace(n); }

QString fillUpTo(const QString& s, unsigned int len) {
    if (len > kMaxSpace) {
        logError("fillUpTo, len to big, cut to:$", kMaxSpace);
        len = kMaxSpace;
    }
    if (static_cast<unsigned int>(s.size()) >= len) return s;
    QString r = s;
    r.append(QString(static_cast<int>(len) - s.size(), QLatin1Char(' ')));
    return r;
}

// Same as printf("%0<width>ld", v): the width counts the sign.
QString formatFillZero(unsigned int width, long long v) {
    if (width > kMaxSpace) width = kMaxSpace;
    char digits[24];
    const unsigned long long mag = v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    const int n = std::snprintf(digits, sizeof digits, "%llu", mag);
    const int signLen = v < 0 ? 1 : 0;
    const int zeros = static_cast<int>(width) - n - signLen;
    QString r;
    r.reserve(signLen + (zeros > 0 ? zeros : 0) + n);
    if (v < 0) r.append(QLatin1Char('-'));
    if (zeros > 0) r.append(QString(zeros, QLatin1Char('0')));
    r.append(QLatin1String(digits, n));
    return r;
}

QString pointerString(const void* p) { return QString::asprintf("%p", p); }

QString prf(const char* fmt, ...) {
    if (fmt == nullptr) return QStringLiteral("<<<prf,nullpointer>>>");
    if (std::strlen(fmt) >= 4096) return QString();
    char buf[4096];
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    QString r;
    if (n < 0) {
        r = QString();
    } else if (static_cast<size_t>(n) < sizeof buf) {
        r = QString::fromLatin1(buf, n);
    } else {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), fmt, copy);
        r = QString::fromLatin1(big.data(), n);
    }
    va_end(copy);
    return r;
}

QString xprintF(const char* s) { return s == nullptr ? QString() : QString::fromLatin1(s); }

QString formatBytes(double bytes) {
    if (bytes > 1e9) return QString::asprintf("%2.2f GB", bytes / 1e9);
    if (bytes > 1e6) return QString::asprintf("%2.2f MB", bytes / 1e6);
    return QString::asprintf("%2.2f KB", bytes / 1000.0);
}

QString formatBytesMiB(double bytes) {
    if (bytes > 1073741824.0) return QString::asprintf("%2.2f GiB", bytes / 1073741824.0);
    if (bytes > 1048576.0) return QString::asprintf("%2.2f MiB", bytes / 1048576.0);
    return QString::asprintf("%2.2f KiB", bytes / 1024.0);
}

QString formatPercent(double v, unsigned int precision) {
    if (precision > 6) {
        logWarning("::formatPercent, precision > 6, reduced to 6!");
        precision = 6;
    }
    if (!std::isfinite(v)) v = 0.0;
    double intPart = 0.0;
    const double frac = std::modf(v, &intPart);
    // Clamp the integer part to what "%02d" can show instead of overflowing.
    if (intPart > 2147483647.0) intPart = 2147483647.0;
    if (intPart < -2147483648.0) intPart = -2147483648.0;
    char head[32];
    std::snprintf(head, sizeof head, "%02d", static_cast<int>(intPart));
    char fmt[16];
    std::snprintf(fmt, sizeof fmt, "%%.%uf", precision);
    char tailBuf[64];
    std::snprintf(tailBuf, sizeof tailBuf, fmt, frac);
    const char* tail = tailBuf;
    if (std::strncmp(tail, "0.", 2) == 0) tail += 2;
    return QString::fromLatin1(head) + QLatin1Char(',') + QString::fromLatin1(tail);
}

namespace {
QString bitsOf(unsigned int v, int bytes) {
    QString r;
    r.reserve(bytes * 12);
    for (int bit = 0; bit < bytes * 8; ++bit) {
        if (bit > 0) {
            if (bit % 8 == 0) r.append(QLatin1String("   "));
            else if (bit % 4 == 0) r.append(QLatin1Char('_'));
        }
        r.append((v >> bit) & 1u ? QLatin1Char('1') : QLatin1Char('0'));
    }
    return r;
}
}  // namespace

QString bitsToString(unsigned char v, bool withValue) {
    const QString d = bitsOf(v, 1);
    return withValue ? xformat("( $ ) = $", d, static_cast<unsigned int>(v)) : d;
}

QString bitsToString(unsigned short v, bool withValue) {
    const QString d = bitsOf(v, 2);
    return withValue ? xformat("( $ ) = $", d, v) : d;
}

QString bitsToString(unsigned int v, bool withValue) {
    const QString d = bitsOf(v, 4);
    return withValue ? xformat("( $ ) = $", d, v) : d;
}

void toUpperCase(char* text, std::size_t n) {
    if (text == nullptr) return;
    if (n == 0) n = std::strlen(text);
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
}

QString formatFloat(float v) {
    if (v == 0.0f) return QStringLiteral("+0.00");  // -0.0 passes ">= 0" and would print "+-0.00"
    return v >= 0.0f ? QString::asprintf("+%.2f", static_cast<double>(v)) : QString::asprintf("%.2f", static_cast<double>(v));
}

QString format1000(long long n) {
    const bool negative = n < 0;
    unsigned long long v = negative ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    char digits[24];
    const int len = std::snprintf(digits, sizeof digits, "%llu", v);
    QString r;
    r.reserve(len + len / 3 + 1);
    if (negative) r.append(QLatin1Char('-'));
    for (int i = 0; i < len; ++i) {
        if (i > 0 && (len - i) % 3 == 0) r.append(QLatin1Char('.'));
        r.append(QLatin1Char(digits[i]));
    }
    return r;
}

QString formatMicrosecond_as_Sec(unsigned long long microseconds) {
    const unsigned long long seconds = microseconds / 1000000ull;
    const unsigned int rest = static_cast<unsigned int>(microseconds % 1000000ull);
    return QString::asprintf("%llu,%03u.%03u", seconds, rest / 1000u, rest % 1000u);
}

QString formatMillisecond_as_Sec(unsigned long long ms) {
    constexpr unsigned long long kMax = ~0ULL / 1000ULL;  // beyond this the microseconds would wrap
    return formatMicrosecond_as_Sec((ms > kMax ? kMax : ms) * 1000ULL);
}

}  // namespace zor
