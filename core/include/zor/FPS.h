#pragma once
/// \zclass{FPS,time} Counts calls per second. refresh() is called once per frame (or event); about once a
/// second the rate is computed and handed to the listeners.
#include <zor/XEventListener.h>
#include <zor/zor_export.h>

#include <atomic>
#include <functional>

namespace zor {

class ZOR_EXPORT FPS {
public:
    FPS();
    void refresh();
    float rate() const { return m_rate.load(); }
    /// Listeners receive the new rate on the thread that calls refresh().
    XEventListener<std::function<void(float)>>& listeners() { return m_listeners; }

private:
    std::atomic<float> m_rate{0.0f};
    std::atomic<unsigned int> m_counter{0};
    std::atomic<unsigned long long> m_lastMs{0};
    XEventListener<std::function<void(float)>> m_listeners;
};

}  // namespace zor
