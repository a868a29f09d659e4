#include <zor/ThreadTools.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>

#include "platform/Platform.h"

#include <chrono>
#include <thread>

namespace zor {

unsigned int getCurrentThreadID() { return platform::currentThreadId(); }

bool isMainThread() { return Logger::isMainThread(getCurrentThreadID()); }

void xSleep(unsigned long long ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return;
        std::this_thread::sleep_for(deadline - now);
    }
}

void xSleep_breakable(unsigned long long totalMs, unsigned long long stepMs, const XAtomic<bool>& stop) {
    const unsigned long long begin = getMilliseconds();
    while (getMilliseconds() - begin < totalMs && !stop.load()) xSleep(stepMs);
}

void xSleep_breakable(unsigned long long totalMs, const XAtomic<bool>& stop) { xSleep_breakable(totalMs, 10, stop); }

unsigned int count_hardware_threads(unsigned int wanted) {
    const unsigned int h = platform::hardwareThreads();
    if (wanted <= h) return wanted == 0 ? 1 : wanted;
    logDebug("Tools.h, str::count_hardware_threads, wanted_threads > cpu_threads, $ > $, set to:$", wanted, h, h);
    return h;
}

}  // namespace zor
