#include <zor/XStopwatch.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/TextHelpers.h>

namespace zor {

XStopwatch::XStopwatch(const XStopwatch& other)
    : m_first(other.m_first.load()), m_start(other.m_start.load()), m_stop(other.m_stop.load()), m_total(other.m_total.load()) {}

XStopwatch& XStopwatch::operator=(const XStopwatch& other) {
    if (this != &other) {
        m_first.store(other.m_first.load());
        m_start.store(other.m_start.load());
        m_stop.store(other.m_stop.load());
        m_total.store(other.m_total.load());
    }
    return *this;
}

void XStopwatch::start() {
    const unsigned long long now = getMicroseconds();
    m_start.store(now);
    unsigned long long zero = 0;
    m_first.compare_exchange_strong(zero, now);
}

void XStopwatch::stop() {
    const unsigned long long started = m_start.load();
    if (started == 0) {
        logWarning("XStopwatch::stop - not started before");
        return;
    }
    const unsigned long long now = getMicroseconds();
    m_stop.store(now);
    m_total.fetch_add(now >= started ? now - started : 0);
}

void XStopwatch::reset() {
    m_first.store(0);
    m_start.store(0);
    m_stop.store(0);
    m_total.store(0);
}

bool XStopwatch::isReset() const {
    return m_first.load() == 0 && m_start.load() == 0 && m_stop.load() == 0 && m_total.load() == 0;
}

unsigned long long XStopwatch::delta_now_microSeconds() const {
    const unsigned long long started = m_start.load();
    if (started == 0) {
        logWarning("XStopwatch::delta_now_microSeconds - not started");
        return 0;
    }
    const unsigned long long now = getMicroseconds();
    return now >= started ? now - started : 0;
}

unsigned long long XStopwatch::delta_now_milliSeconds() const {
    const unsigned long long started = m_start.load();
    if (started == 0) {
        logWarning("XStopwatch::delta_now_milliSeconds - not started");
        return 0;
    }
    const unsigned long long now = getMilliseconds();
    return now >= started / 1000 ? now - started / 1000 : 0;
}

unsigned long long XStopwatch::elapsed_time_microSeconds() const {
    const unsigned long long started = m_start.load(), stopped = m_stop.load();
    if (stopped == 0 || stopped < started) return 0;
    return stopped - started;
}

unsigned long long XStopwatch::elapsed_time_milliSeconds() const {
    if (m_stop.load() == 0) {
        logWarning("XStopwatch::elapsed_time_milliSeconds - not stopped");
        return 0;
    }
    return elapsed_time_microSeconds() / 1000;
}

unsigned long long XStopwatch::elapsed_time_microSeconds_total() const {
    if (m_stop.load() == 0) {
        logWarning("XStopwatch::elapsed_time_microSeconds_total - not stopped");
        return 0;
    }
    return m_total.load();
}

unsigned long long XStopwatch::elapsed_time_milliSeconds_total() const {
    if (m_stop.load() == 0) return 0;
    return m_total.load() / 1000;
}

QString XStopwatch::toString(bool deltaOnly) const {
    if (isReset()) return QStringLiteral("XStopwatch-RESET");
    if (isStarted() && !isStopped())
        return xformat("XStopwatch-started, not stopped, delta now:$ ms", format1000(static_cast<long long>(delta_now_milliSeconds())));
    if (deltaOnly) return xformat("delta:$ ms", format1000(static_cast<long long>(elapsed_time_milliSeconds())));
    return xformat("elapsed:$ ms, total elapsed:$ ms", format1000(static_cast<long long>(elapsed_time_milliSeconds())),
                   format1000(static_cast<long long>(elapsed_time_milliSeconds_total())));
}

QString XStopwatch::toStringMicroseconds(bool deltaOnly) const {
    if (isReset()) return QStringLiteral("XStopwatch-RESET");
    if (isStarted() && !isStopped())
        return xformat("XStopwatch-started, not stopped, delta now:$ sec", formatMicrosecond_as_Sec(delta_now_microSeconds()));
    if (deltaOnly) return xformat("delta:$ sec", formatMicrosecond_as_Sec(elapsed_time_microSeconds()));
    return xformat("elapsed:$ sec, total elapsed:$ sec", formatMicrosecond_as_Sec(elapsed_time_microSeconds()),
                   formatMicrosecond_as_Sec(elapsed_time_microSeconds_total()));
}

QString XStopwatch::asStringDeltaSecond() const { return formatMicrosecond_as_Sec(elapsed_time_microSeconds()); }

void XStopwatch::show(unsigned int indent) const { logDebugSpace(indent, "$", toString(false)); }

void XStopwatch::showMicroseconds(unsigned int indent, bool deltaOnly) const {
    logDebugSpace(indent, "$", toStringMicroseconds(deltaOnly));
}

}  // namespace zor
