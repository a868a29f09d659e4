#include "log/LogRing.h"

#include <zor/LogMessage.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#if defined(__linux__)
#include <linux/membarrier.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#if defined(__x86_64__) || defined(__i386__)
#define ZOR_LOG_TSC 1
#endif

namespace zor {
namespace detail {

LogRing::LogRing(unsigned int threadId) : m_threadId(threadId) {
    m_data = static_cast<char*>(std::aligned_alloc(64, kBytes));
    if (m_data == nullptr) std::abort();  // out of memory for a thread's first log line
    // Touched once here, so that no log call pays for a first page fault.
    std::memset(m_data, 0, kBytes);
}

LogRing::~LogRing() {
    reset();
    std::free(m_data);
}

void LogRing::discard(LogRecordHead* rec) {
    if (rec->kind == kLogRecordDeferred)
        rec->render(nullptr, nullptr, rec->args());
    else if (rec->kind == kLogRecordObject)
        delete rec->object();
}

void LogRing::reset() {
    const std::uint64_t tail = m_tail.load(std::memory_order_acquire);
    for (std::uint64_t pos = m_head.load(std::memory_order_relaxed); pos < tail;) {
        LogRecordHead* rec = at(pos);
        pos += rec->size;
        discard(rec);
    }
    m_tail.store(0, std::memory_order_relaxed);
    m_head.store(0, std::memory_order_relaxed);
    m_writer = Writer();
    scan = 0;
    closed.store(false, std::memory_order_relaxed);
}

namespace {

std::int64_t clockNs() {
    timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000ll + ts.tv_nsec;
}

bool counterKeepsTime() {
#ifdef ZOR_LOG_TSC
    std::ifstream in("/sys/devices/system/clocksource/clocksource0/current_clocksource");
    std::string name;
    return static_cast<bool>(in >> name) && name == "tsc";
#else
    return false;
#endif
}

}  // namespace

const bool g_logStampIsCounter = counterKeepsTime();

std::uint64_t logClockNs() { return static_cast<std::uint64_t>(clockNs()); }

bool logBarrierAvailable() {
#if defined(__linux__) && defined(__NR_membarrier)
    static const bool registered = ::syscall(__NR_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0 &&
                                   ::syscall(__NR_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0) == 0;
    return registered;
#else
    return false;
#endif
}

void logBarrierOnAllThreads() {
#if defined(__linux__) && defined(__NR_membarrier)
    ::syscall(__NR_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0);
#endif
}

LogStampClock::Pair LogStampClock::read() {
    Pair best;
    std::uint64_t bestWidth = ~0ull;
    // The counter read on both sides of the clock; a reading interrupted in between is retried.
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t before = logStampNow();
        const std::int64_t ns = clockNs();
        const std::uint64_t after = logStampNow();
        if (after - before < bestWidth) {
            bestWidth = after - before;
            best.stamp = before + (after - before) / 2;
            best.ns = ns;
        }
    }
    return best;
}

LogStampClock::LogStampClock() {
#ifdef ZOR_LOG_TSC
    if (g_logStampIsCounter) {
        // A first rate over a millisecond; every anchor() refines it over a longer span.
        m_base = read();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_last = read();
        if (m_last.stamp > m_base.stamp && m_last.ns > m_base.ns)
            m_nsPerStamp =
                static_cast<double>(m_last.ns - m_base.ns) / static_cast<double>(m_last.stamp - m_base.stamp);
        return;
    }
#endif
    m_base = m_last = read();
}

void LogStampClock::anchor() {
#ifdef ZOR_LOG_TSC
    if (!g_logStampIsCounter) return;
    const Pair now = read();
    if (now.stamp > m_base.stamp && now.ns > m_base.ns + 1000000) {
        const double rate = static_cast<double>(now.ns - m_base.ns) / static_cast<double>(now.stamp - m_base.stamp);
        // A rate far from the last one means the clock was set: measure afresh from here.
        if (std::fabs(rate / m_nsPerStamp - 1.0) > 1e-3)
            m_base = now;
        else
            m_nsPerStamp = rate;
    }
    m_last = now;
#endif
}

std::uint64_t LogStampClock::toTicks(std::uint64_t stamp) const {
#ifdef ZOR_LOG_TSC
    if (g_logStampIsCounter) {
        const double delta = static_cast<double>(static_cast<std::int64_t>(stamp - m_last.stamp)) * m_nsPerStamp;
        const std::int64_t ns = m_last.ns + static_cast<std::int64_t>(std::llround(delta));
        return ns > 0 ? static_cast<std::uint64_t>(ns) / 100u : 0u;
    }
#endif
    return stamp / 100u;
}

}  // namespace detail
}  // namespace zor
