#include <zor/ZorTime.h>

#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>

#include "platform/Platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace zor {

namespace {

std::tm brokenDown(unsigned long long ticks) {
    std::tm t;
    std::memset(&t, 0, sizeof t);
    platform::localTime(static_cast<std::time_t>(ticks / 10000000ull), t);
    return t;
}

// strftime of the local time of `seconds`. Log lines ask for the same second again and again:
// each thread remembers its last answer.
QString formatSeconds(std::time_t seconds, const char* format) {
    struct Cache {
        std::time_t seconds = -1;
        char format[256] = {};
        QString text;
    };
    thread_local Cache cache;
    if (cache.seconds == seconds && std::strcmp(cache.format, format) == 0) return cache.text;
    char fmt[256];
    std::snprintf(fmt, sizeof fmt, "%s", format);  // at most 255 characters of the format
    std::tm t;
    std::memset(&t, 0, sizeof t);
    platform::localTime(seconds, t);
    char out[512];
    const size_t n = std::strftime(out, sizeof out, fmt, &t);
    cache.seconds = seconds;
    std::memcpy(cache.format, fmt, sizeof fmt);
    cache.text = QString::fromLocal8Bit(out, static_cast<int>(n));
    return cache.text;
}

QString withFraction(unsigned long long ticks, QString text, ZorTime::FORMAT_SECOND fraction) {
    const unsigned long long withinSecond = ticks % 10000000ull;  // ticks
    char buf[16];
    if (fraction == ZorTime::MILLISECONDS) {
        std::snprintf(buf, sizeof buf, ",%03u", static_cast<unsigned int>(withinSecond / 10000ull));
        text += QLatin1String(buf);
    } else if (fraction == ZorTime::MICROSECONDS) {
        std::snprintf(buf, sizeof buf, ",%06u", static_cast<unsigned int>(withinSecond / 10ull));
        text += QLatin1String(buf);
    }
    return text;
}

}  // namespace

ZorTime::ZorTime(bool now) : m_ticks(now ? zor::getTicks() : 0) {}

ZorTime::ZorTime(unsigned long long microseconds) : m_ticks(microseconds * 10) {}

ZorTime::~ZorTime() = default;

void ZorTime::fromNow() { m_ticks = zor::getTicks(); }

void ZorTime::fromMircoSeconds(unsigned long long microseconds) { m_ticks = microseconds * 10; }

int ZorTime::tm_year() const { return brokenDown(m_ticks).tm_year + 1900; }
int ZorTime::tm_month() const { return brokenDown(m_ticks).tm_mon; }
int ZorTime::tm_day() const { return brokenDown(m_ticks).tm_mday; }
int ZorTime::tm_hour() const { return brokenDown(m_ticks).tm_hour; }
int ZorTime::tm_min() const { return brokenDown(m_ticks).tm_min; }
int ZorTime::tm_sec() const { return brokenDown(m_ticks).tm_sec; }
int ZorTime::tm_yearDay() const { return brokenDown(m_ticks).tm_yday; }

QString ZorTime::getTimeString(unsigned int flags) const {
    const QString t = formatSeconds(static_cast<std::time_t>(m_ticks / 10000000ull), "%H:%M:%S");
    if (flags & 0x100u) return withFraction(m_ticks, t, MICROSECONDS);
    if (flags & 0x80u) return withFraction(m_ticks, t, MILLISECONDS);
    return t;
}

QString ZorTime::getTheTimeString(const char* format, FORMAT_SECOND fraction) const {
    if (format == nullptr) return QString();
    return withFraction(m_ticks, formatSeconds(static_cast<std::time_t>(m_ticks / 10000000ull), format), fraction);
}

QString ZorTime::getFullTimeStamp(const char* format, FORMAT_SECOND fraction) const {
    if (format == nullptr) nullPointerHandling("libSrc/core/src/tools/time/ZorTime", 120, QStringLiteral("pDateTimeFormat == NULL"));
    return getTheTimeString(format, fraction);
}

}  // namespace zor
