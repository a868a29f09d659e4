#include <zor/XTimer.h>

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

}  // namespace zor
