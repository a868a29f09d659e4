#include <zor/Logger.h>
#include <zor/XTimerOneTimeShot.h>

namespace zor {

XTimerOneTimeShot::XTimerOneTimeShot(int ms, std::function<void()> f) : m_timer(new XTimer(nullptr)) {
    m_timer->setInterval(ms);
    m_timer->setSingleShot(true);
    m_timer->listeners().add(std::move(f));
}

XTimerOneTimeShot::~XTimerOneTimeShot() { logTest("XTimerOneTimeShot::~XTimerOneTimeShot()"); }

}  // namespace zor
