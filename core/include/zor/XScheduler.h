#pragma once
/// \zclass{XScheduler,log} A thread that polls the UTC calendar every 200 ms and calls its action when the
/// watched field (second, minute, hour, day, month or year) changes, wraps included (minute 59 to
/// 0, hour 23 to 0): a new period is noticed within 200 ms of its start.
///
/// Thread-safety: set the schedule and the action before start(); stop() ends the thread. The
/// action is not owned.
#include <zor/XCalendarUTC.h>
#include <zor/XSchedulerAction.h>
#include <zor/XThread.h>
#include <zor/zor_export.h>

#include <atomic>

namespace zor {

class ZOR_EXPORT XScheduler : public XThread {
public:
    XScheduler();
    ~XScheduler() override;

    /// "second" 6, "minute" 5, "hour" 4, "day" 3, "month" 2, "year" 1; anything else 0 (logged).
    static SCHEDULE fromString(const QString& text);

    void setSchedule(SCHEDULE s) { m_schedule.store(s); }
    SCHEDULE getSchedule() const { return m_schedule.load(); }
    void setSchedAction(XSchedulerAction* action) { m_action.store(action); }
    XSchedulerAction* getSchedAction() const { return m_action.load(); }

protected:
    void run() override;
    /// The calendar of now; a test overrides it to walk through chosen times.
    virtual void now(XCalendarUTC& cal);

private:
    std::atomic<SCHEDULE> m_schedule{SCHEDULE_SECOND};
    std::atomic<XSchedulerAction*> m_action{nullptr};
};

}  // namespace zor
