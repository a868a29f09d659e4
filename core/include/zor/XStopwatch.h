#pragma once
/// \zclass{XStopwatch,time} A lock-free start/stop stopwatch in microseconds that also sums every start-to-stop
/// span since the last reset. Fields may be read from any thread; a start racing a stop on the same
/// stopwatch is not serialised.
#include <zor/zor_export.h>

#include <QString>
#include <atomic>

namespace zor {

class ZOR_EXPORT XStopwatch {
public:
    XStopwatch() = default;
    XStopwatch(const XStopwatch& other);
    XStopwatch& operator=(const XStopwatch& other);

    void start();
    void stop();
    void reset();
    bool isReset() const;
    bool isStarted() const { return m_start.load() != 0; }
    bool isStopped() const { return m_stop.load() != 0; }

    unsigned long long delta_now_microSeconds() const;
    unsigned long long delta_now_milliSeconds() const;
    unsigned long long elapsed_time_microSeconds() const;
    unsigned long long elapsed_time_milliSeconds() const;
    unsigned long long elapsed_time_microSeconds_total() const;
    unsigned long long elapsed_time_milliSeconds_total() const;

    unsigned long long getTimeFirst() const { return m_first.load(); }
    unsigned long long getTimeStart() const { return m_start.load(); }
    unsigned long long getTimeStop() const { return m_stop.load(); }

    QString toString(bool deltaOnly = false) const;
    QString toStringMicroseconds(bool deltaOnly = false) const;
    QString asStringDeltaSecond() const;
    void show(unsigned int indent = 0) const;
    void showMicroseconds(unsigned int indent = 0, bool deltaOnly = false) const;

private:
    std::atomic<unsigned long long> m_first{0};
    std::atomic<unsigned long long> m_start{0};
    std::atomic<unsigned long long> m_stop{0};
    std::atomic<unsigned long long> m_total{0};
};

}  // namespace zor
