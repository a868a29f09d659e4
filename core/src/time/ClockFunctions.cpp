#include <zor/ClockFunctions.h>

#include <QString>
#include <cstdio>
#include <ctime>

namespace zor {

unsigned long long getTicks() {
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 10000000ull + static_cast<unsigned long long>(ts.tv_nsec) / 100ull;
}

unsigned long long getMicroseconds() { return getTicks() / 10; }

unsigned long long getMilliseconds() { return getTicks() / 10000; }

unsigned int getMillisecondsWithinSecond() { return static_cast<unsigned int>(getMilliseconds() % 1000); }

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

}  // namespace zor
