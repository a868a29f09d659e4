#pragma once
/// \zclass{XSchedulerAction,log} What a scheduler does when the calendar field it watches changes. Called on
/// the scheduler's thread with the calendar that showed the new period.
#include <zor/XCalendarUTC.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XSchedulerAction {
public:
    virtual ~XSchedulerAction() = default;
    virtual void schedule(SCHEDULE s, const XCalendarUTC& cal) = 0;
};

}  // namespace zor
