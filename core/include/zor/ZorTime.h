#pragma once
/// \zclass{ZorTime,time} A point in time (100 ns ticks since the epoch) with local calendar fields and
/// time-of-day texts. A plain value: copy freely, no locking.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT ZorTime {
public:
    enum FORMAT_SECOND { SECONDS = 0, MILLISECONDS = 1, MICROSECONDS = 2 };

    explicit ZorTime(bool now = false);
    explicit ZorTime(unsigned long long microseconds);
    ZorTime(const ZorTime&) = default;
    ZorTime& operator=(const ZorTime&) = default;
    virtual ~ZorTime();

    void fromNow();
    void fromMircoSeconds(unsigned long long microseconds);

    unsigned long long getTicks() const { return m_ticks; }
    unsigned long long getNanoseconds() const { return m_ticks * 100; }
    unsigned long long getMicroseconds() const { return m_ticks * 100 / 1000; }
    unsigned long long getMilliseconds() const { return m_ticks * 100 / 1000000; }
    unsigned long long getRelativeMilliseconds() const { return (m_ticks % 10000000) / 10000; }

    /// Local calendar fields of the whole seconds, as the C library breaks them down
    /// (month and year day from 0; the year with 1900 added).
    int tm_year() const;
    int tm_month() const;
    int tm_day() const;
    int tm_hour() const;
    int tm_min() const;
    int tm_sec() const;
    int tm_yearDay() const;

    /// "%H:%M:%S", then ",uuuuuu" when flags has 0x100, else ",mmm" when flags has 0x80.
    QString getTimeString(unsigned int flags) const;
    /// strftime of the local time (format of at most 255 characters), then ",mmm" (1) or ",uuuuuu" (2).
    QString getTheTimeString(const char* format, FORMAT_SECOND fraction) const;
    QString getFullTimeStamp(const char* format, FORMAT_SECOND fraction) const;

private:
    unsigned long long m_ticks = 0;
};

}  // namespace zor
