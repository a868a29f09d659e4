#include <zor/XCalendarUTC.h>

#include <zor/xformat.h>

#include <cstdio>
#include <cstring>

namespace zor {

XCalendarUTC::XCalendarUTC() { std::memset(&m_tm, 0, sizeof m_tm); }

XCalendarUTC::~XCalendarUTC() = default;

void XCalendarUTC::fromNow() {
    const std::time_t now = std::time(nullptr);
    gmtime_r(&now, &m_tm);
}

int XCalendarUTC::field(SCHEDULE s) const {
    switch (s) {
        case SCHEDULE_YEAR: return year();
        case SCHEDULE_MONTH: return month();
        case SCHEDULE_DAY: return day();
        case SCHEDULE_HOUR: return hour();
        case SCHEDULE_MINUTE: return minute();
        case SCHEDULE_SECOND: return sec();
        default: return -1;
    }
}

QString XCalendarUTC::asString(SCHEDULE s) const {
    switch (s) {
        case SCHEDULE_NONE:
            std::fputs("XScheduler::run - wrong place here !\n", stdout);
            std::fflush(stdout);
            return QString();
        case SCHEDULE_YEAR: return QString::asprintf("%d", year());
        case SCHEDULE_MONTH: return QString::asprintf("%d_%02d", year(), month());
        case SCHEDULE_DAY: return QString::asprintf("%d_%02d_%02d", year(), month(), day());
        case SCHEDULE_HOUR: return QString::asprintf("%d_%02d_%02d___%02d", year(), month(), day(), hour());
        case SCHEDULE_MINUTE:
            return QString::asprintf("%d_%02d_%02d___%02d_%02d", year(), month(), day(), hour(), minute());
        case SCHEDULE_SECOND:
            return QString::asprintf("%d_%02d_%02d___%02d_%02d_%02d", year(), month(), day(), hour(), minute(), sec());
    }
    return QString();
}

QString XCalendarUTC::toString() const { return xformat("$/$/$, $:$,$", year(), month(), day(), hour(), minute(), sec()); }

}  // namespace zor
