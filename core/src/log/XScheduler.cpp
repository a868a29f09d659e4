#include <zor/XScheduler.h>

#include <zor/Logger.h>

namespace zor {

XScheduler::XScheduler() = default;

XScheduler::~XScheduler() { stopJoin(); }

SCHEDULE XScheduler::fromString(const QString& text) {
    if (text == QLatin1String("second")) return SCHEDULE_SECOND;
    if (text == QLatin1String("minute")) return SCHEDULE_MINUTE;
    if (text == QLatin1String("hour")) return SCHEDULE_HOUR;
    if (text == QLatin1String("day")) return SCHEDULE_DAY;
    if (text == QLatin1String("month")) return SCHEDULE_MONTH;
    if (text == QLatin1String("year")) return SCHEDULE_YEAR;
    logDebug("XScheduler::from_String_old, don't know '$'", text);
    return SCHEDULE_NONE;
}

void XScheduler::now(XCalendarUTC& cal) { cal.fromNow(); }

void XScheduler::run() {
    logDebug("XScheduler::run");
    const SCHEDULE schedule = m_schedule.load();
    XCalendarUTC cal;
    now(cal);
    if (schedule == SCHEDULE_NONE) logDebug("XScheduler::run - wrong place here !");
    int remembered = cal.field(schedule);
    while (isRunning()) {
        break_sleep(200);
        if (!isRunning()) break;
        now(cal);
        if (schedule == SCHEDULE_NONE) logDebug("XScheduler::run - wrong place here,2 !");
        const int value = cal.field(schedule);
        if (value != remembered) {
            XSchedulerAction* action = m_action.load();
            if (action != nullptr) action->schedule(schedule, cal);
            else logDebug("XScheduler::run, schedAction == nullptr");
            remembered = value;
        }
    }
    logDebug("XScheduler::~run");
}

}  // namespace zor
