#include <zor/ClockFunctions.h>

#include <QString>
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

}  // namespace zor
