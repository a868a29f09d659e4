#pragma once
/// \zclass{XTimerOneTimeShot,thread} Fires once, ms after it is started (on the owning thread's event loop), and
/// calls one callable.  XTimerOneTimeShot once(0, [] { ... });  once.start();
#include <zor/XTimer.h>
#include <zor/zor_export.h>

#include <functional>
#include <memory>

namespace zor {

class ZOR_EXPORT XTimerOneTimeShot {
public:
    XTimerOneTimeShot(int ms, std::function<void()> f);
    XTimerOneTimeShot(const XTimerOneTimeShot&) = delete;
    XTimerOneTimeShot& operator=(const XTimerOneTimeShot&) = delete;
    virtual ~XTimerOneTimeShot();

    XTimer* timer() { return m_timer.get(); }  ///< owned; start it with QTimer::start()
    void start() { m_timer->start(); }

private:
    std::unique_ptr<XTimer> m_timer;
};

}  // namespace zor
