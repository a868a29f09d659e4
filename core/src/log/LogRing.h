#pragma once
// The logging threads' buffers: each thread that logs owns one LogRing, a fixed ring of bytes that
// it alone writes (records of the level helpers: the format, the arguments in binary form, the
// level, indentation and time stamp) and that only the logger thread reads. One writer, one
// reader: the writer publishes a record by advancing tail, the reader frees its bytes by advancing
// head. Records never wrap: one that does not fit before the end is preceded by a skip record.
#include <zor/inline/Logger_inline.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace zor {

class LogMessage;

namespace detail {

enum LogRecordKind : std::uint16_t {
    kLogRecordSkip = 0,      // filler up to the end of the ring (only size and kind are set)
    kLogRecordDeferred = 1,  // format and arguments, rendered by the logger thread
    kLogRecordObject = 2,    // a LogMessage built by the caller (format holds the pointer)
};

enum : std::uint16_t { kLogFromMainThread = 1 };

struct LogRecordHead {
    std::uint32_t size;   // the whole record in bytes, a multiple of 8
    std::uint16_t kind;   // LogRecordKind
    std::uint16_t flags;  // kLogFromMainThread
    std::uint64_t seq;    // the place in the logger's one sequence
    std::uint64_t stamp;  // time of the call, in LogStampClock units
    std::uint32_t level;  // level word, library bits included
    std::uint32_t space;
    const char* format;  // copied behind the arguments unless it is fixed text
    LogRenderFn render;

    LogMessage* object() const { return reinterpret_cast<LogMessage*>(const_cast<char*>(format)); }
    char* args() { return reinterpret_cast<char*>(this) + sizeof(LogRecordHead); }
};
static_assert(sizeof(LogRecordHead) == 48, "records are laid out in 8-byte words");

class LogRing {
public:
    static constexpr std::size_t kBytes = 128 * 1024;
    // A larger message is formatted at once: a record must leave room for others.
    static constexpr std::size_t kMaxRecord = kBytes / 4;

    explicit LogRing(unsigned int threadId);
    ~LogRing();  // releases the records still in the ring (destroys what they own)
    LogRing(const LogRing&) = delete;
    LogRing& operator=(const LogRing&) = delete;

    // ---- writer (the owning thread)

    // A record of size bytes (a multiple of 8, at most kMaxRecord), or null while the ring lacks
    // room. The record becomes visible with publish().
    LogRecordHead* tryReserve(std::size_t size) {
        std::uint64_t pos = m_tail.load(std::memory_order_relaxed);
        const std::size_t offset = static_cast<std::size_t>(pos & (kBytes - 1));
        const bool wrap = offset + size > kBytes;
        const std::size_t need = wrap ? kBytes - offset + size : size;
        if (pos + need - m_writer.headSeen > kBytes) {
            m_writer.headSeen = m_head.load(std::memory_order_acquire);
            if (pos + need - m_writer.headSeen > kBytes) return nullptr;
        }
        if (wrap) {
            auto* skip = reinterpret_cast<LogRecordHead*>(m_data + offset);
            skip->size = static_cast<std::uint32_t>(kBytes - offset);
            skip->kind = kLogRecordSkip;
            pos += kBytes - offset;
        }
        m_writer.reservedTail = pos + size;
#if defined(__x86_64__) || defined(__i386__)
        // The lines the next records go to were last read by the logger thread: asks for them now,
        // so that taking them over does not hold up a later call.
        asm volatile("prefetchw %0" ::"m"(m_data[(pos + size + 256) & (kBytes - 1)]));
#endif
        auto* rec = reinterpret_cast<LogRecordHead*>(m_data + (pos & (kBytes - 1)));
        rec->size = static_cast<std::uint32_t>(size);
        return rec;
    }
    // Publishes the reserved record. fenced: sequentially consistent, for a writer that then
    // tests whether the logger thread sleeps without the asymmetric barrier (LogCore).
    void publish(bool fenced) {
        if (fenced)
            m_tail.store(m_writer.reservedTail, std::memory_order_seq_cst);
        else
            m_tail.store(m_writer.reservedTail, std::memory_order_release);
    }
    // The head position at which a record of size bytes fits with a quarter of the ring free
    // beyond it, so that a waiting writer wakes for a run of records, not for each one.
    std::uint64_t headWanted(std::size_t size) const {
        const std::uint64_t pos = m_tail.load(std::memory_order_relaxed);
        const std::size_t offset = static_cast<std::size_t>(pos & (kBytes - 1));
        const std::size_t need = offset + size > kBytes ? kBytes - offset + size : size;
        const std::uint64_t want = pos + need + kBytes / 4 - kBytes;
        return want < pos ? want : pos;  // head never passes tail: an empty ring has room
    }

    // ---- reader (the logger thread)

    std::uint64_t tail() const { return m_tail.load(std::memory_order_seq_cst); }
    std::uint64_t head() const { return m_head.load(std::memory_order_seq_cst); }
    LogRecordHead* at(std::uint64_t pos) { return reinterpret_cast<LogRecordHead*>(m_data + (pos & (kBytes - 1))); }
    void release(std::uint64_t upTo) { m_head.store(upTo, std::memory_order_release); }

    unsigned int threadId() const { return m_threadId; }
    void setThreadId(unsigned int id) { m_threadId = id; }
    // The owning thread has ended: once read to the end the ring may be freed or reused.
    std::atomic<bool> closed{false};

    // Releases one record in place: destroys what its arguments or its message own.
    static void discard(LogRecordHead* rec);
    // Releases everything between head and tail and starts empty (a ring handed to a new thread).
    void reset();

private:
    unsigned int m_threadId;
    char* m_data;
    // One cache line each for what the writer publishes, what it alone uses, and what the reader
    // writes: neither side's stores disturb the lines the other side keeps reading.
    alignas(64) std::atomic<std::uint64_t> m_tail{0};
    struct alignas(64) Writer {
        std::uint64_t reservedTail = 0;
        std::uint64_t headSeen = 0;  // the last head read
    } m_writer;
    alignas(64) std::atomic<std::uint64_t> m_head{0};

public:
    // Reader only: records before scan have been collected.
    std::uint64_t scan = 0;
    // The writer sleeps until head reaches this (0: it does not wait); read by the reader.
    std::atomic<std::uint64_t> wantHead{0};
};

// Time stamps of the calls: the CPU's time-stamp counter where the kernel keeps time with it (a
// few nanoseconds, a constant rate on every core), turned into clock time on the logger thread;
// elsewhere the clock itself, in nanoseconds.
extern const bool g_logStampIsCounter;
std::uint64_t logClockNs();
inline std::uint64_t logStampNow() {
#if defined(__x86_64__) || defined(__i386__)
    if (g_logStampIsCounter) return __rdtsc();
#endif
    return logClockNs();
}

// A full memory barrier on every running thread of the process (membarrier), so that a thread
// that stores and then loads needs no barrier of its own; available once registered.
bool logBarrierAvailable();
void logBarrierOnAllThreads();

class LogStampClock {
public:
    LogStampClock();
    // Reads the clock beside the counter: stamps taken before it convert against this reading.
    void anchor();
    // 100 ns ticks since the epoch, as ZorTime counts them.
    std::uint64_t toTicks(std::uint64_t stamp) const;

private:
    struct Pair {
        std::uint64_t stamp = 0;
        std::int64_t ns = 0;
    };
    static Pair read();
    Pair m_base;  // the reading the rate is measured from
    Pair m_last;  // the latest reading
    double m_nsPerStamp = 1.0;
};

}  // namespace detail
}  // namespace zor
