#include <zor/FPS.h>

#include <zor/ClockFunctions.h>

namespace zor {

FPS::FPS() { m_listeners.enable(true); }

void FPS::refresh() {
    m_counter.fetch_add(1);
    const unsigned long long now = getMilliseconds();
    unsigned long long last = m_lastMs.load();
    if (last == 0) {
        m_lastMs.store(now);
        return;
    }
    const unsigned long long elapsed = now >= last ? now - last : 0;
    if (elapsed <= 1000) return;
    const float rate = static_cast<float>(m_counter.load()) / (static_cast<float>(elapsed) / 1000.0f);
    m_rate.store(rate);
    m_listeners.call(rate);
    m_counter.store(0);
    m_lastMs.store(now);
}

}  // namespace zor
