#include <zor/XTimer.h>
#include <zor/XTimerOneTimeShot.h>

#include <zor/Logger.h>

namespace zor {

XTimer::XTimer(QObject* parent) : QTimer(parent) {
    m_listeners.enable(true);
    QObject::connect(this, &QTimer::timeout, this, [this] { fire(); });
}

XTimer::~XTimer() = default;

void XTimer::fire() {
    bool skipped = false;
    m_listeners.visit([&skipped](const Callable& f) {
        if (f)
            f();
        else
            skipped = true;
    });
    if (skipped) logError("XTimer::fire, empty callable skipped");
}

XTimerOneTimeShot::XTimerOneTimeShot(int ms, std::function<void()> f) : m_timer(new XTimer(nullptr)) {
    m_timer->setInterval(ms);
    m_timer->setSingleShot(true);
    m_timer->listeners().add(std::move(f));
}

XTimerOneTimeShot::~XTimerOneTimeShot() { logTest("XTimerOneTimeShot::~XTimerOneTimeShot()"); }

}  // namespace zor
