#pragma once
/// \zclass{BaseThread,thread} A BaseThreadState with a sleep that ends early when RUNNING is cleared, and a wait
/// for the global thread pool.
#include <zor/BaseThreadState.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT BaseThread : public BaseThreadState {
public:
    /// Sleeps in 10 ms steps until ms have passed or RUNNING is cleared.
    void sleep_breakable(unsigned int ms);
    /// Waits up to ms (-1: no limit) for the global pool; false when it is still busy.
    static bool wait_for_all(int ms);
};

}  // namespace zor
