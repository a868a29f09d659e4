#pragma once
/// \zclass{XCalendarUTC,log} A broken-down UTC time (the C tm fields) for the rotation scheduler, with the
/// file-name stamp of each rotation period. SCHEDULE names the calendar field a scheduler watches.
///
/// Thread-safety: a value type; one object per thread.
#include <zor/zor_export.h>

#include <QString>
#include <ctime>

namespace zor {

enum SCHEDULE : unsigned int {
    SCHEDULE_NONE = 0,
    SCHEDULE_YEAR = 1,    ///< stamp "%d"
    SCHEDULE_MONTH = 2,   ///< "%d_%02d"
    SCHEDULE_DAY = 3,     ///< "%d_%02d_%02d"
    SCHEDULE_HOUR = 4,    ///< "%d_%02d_%02d___%02d"
    SCHEDULE_MINUTE = 5,  ///< "%d_%02d_%02d___%02d_%02d"
    SCHEDULE_SECOND = 6   // "%d_%02d_%02d___%02d_%02d_%02d"
};

class ZOR_EXPORT XCalendarUTC {
public:
    XCalendarUTC();  ///< every field zero
    virtual ~XCalendarUTC();

    void fromNow();  ///< the current time in UTC, whole seconds

    int year() const { return m_tm.tm_year + 1900; }
    int month() const { return m_tm.tm_mon + 1; }  ///< 1-12
    int day() const { return m_tm.tm_mday; }
    int hour() const { return m_tm.tm_hour; }
    int minute() const { return m_tm.tm_min; }
    int sec() const { return m_tm.tm_sec; }
    void setYear(int y) { m_tm.tm_year = y - 1900; }
    void setMonth(int m) { m_tm.tm_mon = m - 1; }
    void setDay(int d) { m_tm.tm_mday = d; }
    void setHour(int h) { m_tm.tm_hour = h; }
    void setMinute(int m) { m_tm.tm_min = m; }
    void setSeconds(int s) { m_tm.tm_sec = s; }

    /// The value of the field that s watches; -1 for SCHEDULE_NONE or an unknown value.
    int field(SCHEDULE s) const;
    /// The file-name stamp of period s (see SCHEDULE); empty for SCHEDULE_NONE (with a notice on
    /// standard output) and for unknown values.
    QString asString(SCHEDULE s) const;
    QString toString() const;  ///< "2022/10/5, 22:7,3": unpadded

private:
    std::tm m_tm;
};

}  // namespace zor
