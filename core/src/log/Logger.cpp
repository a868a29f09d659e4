#include <zor/Logger.h>

#include <zor/AppenderConsole.h>
#include <zor/AppenderLimitMemory.h>
#include <zor/FatalChecks.h>
#include <zor/LogAttachment.h>
#include <zor/LogMessageQuit.h>
#include <zor/LogMessageString.h>
#include <zor/ThreadTools.h>
#include <zor/XScheduler.h>
#include <zor/XSchedulerAction.h>
#include <zor/XThreadPool.h>
#include <zor/ZorLibraries.h>

#include "log/LogRing.h"
#include "platform/Platform.h"

#include <link.h>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#if defined(__linux__)
#include <sys/prctl.h>
#endif
#include <pthread.h>
#include <sched.h>
#include <mutex>
#include <thread>
#include <vector>

namespace zor {

XAtomic<bool> Logger::atomicFlagDeleteMessage{false};
XAtomic<bool> Logger::atomicPause{false};
XAtomic<bool> Logger::atomicInitialized{false};

namespace detail {
LogGate g_logGate;
}  // namespace detail

using detail::LogRecordHead;
using detail::LogRing;

namespace {

std::atomic<Logger*> s_logger{nullptr};
std::mutex s_createMutex;  // creation and replacement of the singleton
std::atomic<bool> s_running{false};
std::atomic<bool> s_ready{false};
std::atomic<bool> s_regression{false};
std::atomic<unsigned int> s_maskOld{LOG_LEVEL_ALL};
std::atomic<unsigned int> s_mainThread{0};

// Serialises the logger's own direct console output (printToCout and its notices).
std::mutex& consoleMutex() {
    static std::mutex m;
    return m;
}

void writeConsoleLocked(const QByteArray& line) {
    std::lock_guard<std::mutex> lock(consoleMutex());
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

void consoleNotice(const char* text) {
    writeConsoleLocked(AppenderConsole::trailerSimple().toLocal8Bit() + text + "\n");
}

constexpr unsigned int kKeptMessages = 500;
constexpr std::size_t kSpareRings = 8;
constexpr std::size_t kHead = sizeof(LogRecordHead);

// A message that did not go through a thread's buffer: built by its caller (on the logger thread,
// while delivery is paused and the buffer is full, or too large for it), a header line, or a
// numbering restart (message null).
struct SideEntry {
    std::uint64_t seq;
    LogMessage* msg;
};

// What every logging thread shares with the logger thread. One per process and never destroyed:
// threads that end during the program's exit still find it.
struct LogCore {
    // The one sequence: every accepted message takes the next value, and the logger thread
    // delivers in this order. Numbers are seq - base.
    alignas(64) std::atomic<std::uint64_t> seq{0};

    // Written by the logger thread: the next sequence value to deliver, and the first one not yet
    // delivered and written out (everything before it is in the appenders' output).
    alignas(64) std::atomic<std::uint64_t> progress{0};
    std::atomic<std::uint64_t> done{0};

    alignas(64) std::atomic<bool> headerQueued{false};
    std::atomic<bool> loopEnded{false};  // the logger thread has taken the quit message
    std::atomic<unsigned int> maxQueued{Logger::DEFAULT_MAX_QUEUED};

    // The logger thread sleeps here when there is nothing to deliver; a thread that publishes
    // while it says so wakes it. Publishing and then testing the flag needs a full barrier on one
    // side: with lightPublish the logger thread pays it, once per sleep (an asymmetric barrier on
    // every thread of the process, platform permitting), and a publish is a plain store.
    alignas(64) std::atomic<bool> consumerSleeping{false};
    std::atomic<bool> lightPublish{false};
    std::mutex wakeMutex;
    std::condition_variable wakeCv;

    // Threads waiting for room sleep here: for room in their buffer (LogRing::wantHead), or for
    // delivery to reach wantProgress (the bound; roomWaiters of them).
    alignas(64) std::atomic<int> roomWaiters{0};
    std::atomic<std::uint64_t> wantProgress{0};
    std::mutex roomMutex;
    std::condition_variable roomCv;

    // The buffers of the threads that log. consumerActive: the logger thread reads them (from
    // startLogger until the quit message); a thread that ends then leaves its buffer to it.
    std::mutex regMutex;
    std::vector<LogRing*> rings;
    std::vector<LogRing*> spare;  // emptied buffers of ended threads, for the next new ones
    std::atomic<unsigned int> regVersion{0};
    bool consumerActive = false;

    // Messages outside the buffers, in any order; the logger thread sorts them in.
    std::mutex sideMutex;
    std::vector<SideEntry> side;
    std::atomic<std::size_t> sideCount{0};
    std::uint64_t base = 0;  // numbers count from here (logger thread while it runs, else sideMutex)

    void wakeConsumer() {
        if (consumerSleeping.exchange(false)) {
            std::lock_guard<std::mutex> lock(wakeMutex);
            wakeCv.notify_one();
        }
    }
    void wakeRoomWaiters() {
        std::lock_guard<std::mutex> lock(roomMutex);
        roomCv.notify_all();
    }
};

std::atomic<LogCore*> s_core{nullptr};  // set by the first core()

LogCore& core() {
    static LogCore* c = [] {
        auto* made = new LogCore;
        s_core.store(made, std::memory_order_release);
        return made;
    }();
    return *c;
}

// For the paths that run only once the calling thread has its buffer (made through core()).
inline LogCore& madeCore() { return *s_core.load(std::memory_order_acquire); }

// What a logging thread keeps at hand. Initial-exec: one load from the thread pointer, no call
// (the library is loaded with the program, and this is small).
struct ThreadLog {
    LogRing* ring;
    std::uint64_t progressSeen;  // the logger thread's progress as last read: never ahead of it
    std::uintptr_t fixedBegin;   // the read-only segment the last fixed text was found in
    std::uintptr_t fixedSize;
    bool ended;  // the thread's clean-up has run
    bool loggerThread;
};
__attribute__((tls_model("initial-exec"))) thread_local ThreadLog t_log{nullptr, 0, 0, 0, false, false};

// Hands the thread's buffer to the logger thread when the thread ends (or frees it when no
// logger thread reads buffers).
struct RingOwner {
    ~RingOwner() {
        LogRing* r = t_log.ring;
        t_log.ring = nullptr;
        t_log.ended = true;
        if (r == nullptr) return;
        LogCore& c = core();
        std::lock_guard<std::mutex> lock(c.regMutex);
        if (c.consumerActive) {
            r->closed.store(true, std::memory_order_release);
        } else {
            c.rings.erase(std::remove(c.rings.begin(), c.rings.end(), r), c.rings.end());
            c.regVersion.fetch_add(1);
            delete r;
        }
    }
};
thread_local RingOwner t_ringOwner;

// The calling thread's buffer, made on its first message; null on the logger thread and once the
// thread's clean-up has run.
LogRing* newRingOfThisThread() {
    if (t_log.ended || t_log.loggerThread) return nullptr;
    LogRing* r;
    (void)&t_ringOwner;  // registers the clean-up at the thread's end
    LogCore& c = core();
    const unsigned int id = getCurrentThreadID();
    std::lock_guard<std::mutex> lock(c.regMutex);
    if (!c.spare.empty()) {
        r = c.spare.back();
        c.spare.pop_back();
        r->setThreadId(id);
    } else {
        r = new LogRing(id);
    }
    c.rings.push_back(r);
    c.regVersion.fetch_add(1);
    t_log.ring = r;
    return r;
}

inline LogRing* ringOfThisThread() {
    LogRing* r = t_log.ring;
    return r != nullptr ? r : newRingOfThisThread();
}

// Read-only segments of the program and the libraries loaded when logging began: their bytes
// never change while they stay loaded, so a format or text there is kept by address. Libraries
// loaded later are not listed (their texts are copied): a library unloaded while its messages
// wait would otherwise leave them pointing nowhere.
struct FixedRanges {
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;  // sorted, [begin, end)

    FixedRanges() {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void* self) {
                auto* me = static_cast<FixedRanges*>(self);
                for (int i = 0; i < info->dlpi_phnum; ++i) {
                    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                    if (ph.p_type != PT_LOAD || (ph.p_flags & PF_W) != 0) continue;
                    const std::uintptr_t begin = info->dlpi_addr + ph.p_vaddr;
                    me->ranges.emplace_back(begin, begin + ph.p_memsz);
                }
                return 0;
            },
            this);
        std::sort(ranges.begin(), ranges.end());
    }
};

std::atomic<const FixedRanges*> s_fixed{nullptr};  // set by the first fixedRanges()

const FixedRanges& fixedRanges() {
    static const FixedRanges* r = [] {
        auto* made = new FixedRanges;
        s_fixed.store(made, std::memory_order_release);
        return made;
    }();
    return *r;
}

// A call site logs the same format again and again: the segment of the last hit is tried first.
inline bool isFixedText(const void* ptr) {
    const auto p = reinterpret_cast<std::uintptr_t>(ptr);
    ThreadLog& t = t_log;
    if (p - t.fixedBegin < t.fixedSize) return true;
    const FixedRanges* f = s_fixed.load(std::memory_order_acquire);
    if (f == nullptr) f = &fixedRanges();
    auto it = std::upper_bound(f->ranges.begin(), f->ranges.end(), std::make_pair(p, ~static_cast<std::uintptr_t>(0)));
    if (it == f->ranges.begin() || p >= std::prev(it)->second) return false;
    t.fixedBegin = std::prev(it)->first;
    t.fixedSize = std::prev(it)->second - std::prev(it)->first;
    return true;
}

}  // namespace

// ---- the calling threads' side ------------------------------------------------------------------

namespace {

// Queues the header lines (and the numbering restart of regression runs) ahead of everything.
// Called with sideMutex held.
void queueHeaderLocked(LogCore& c) {
    if (c.headerQueued.load(std::memory_order_relaxed)) return;
    Logger& l = Logger::getLogger();
    Logger::atomicInitialized.store(true);
    for (LogMessageString* line : l.headerInfos()) {
        // The queue gets copies: the header keeps its lines whatever the appenders do.
        c.side.push_back({c.seq.fetch_add(1, std::memory_order_relaxed), line->createCopy()});
    }
    if (s_regression.load()) c.side.push_back({c.seq.fetch_add(1, std::memory_order_relaxed), nullptr});
    c.sideCount.store(c.side.size(), std::memory_order_seq_cst);
    c.headerQueued.store(true, std::memory_order_release);
}

void queueHeader(LogCore& c) {
    std::lock_guard<std::mutex> lock(c.sideMutex);
    queueHeaderLocked(c);
}

bool deliveryHeld() { return Logger::atomicPause.load(std::memory_order_relaxed); }

// The caller's message s is bound places or more ahead of delivery: it waits until delivery has
// caught up to three quarters of the bound, so that waiters do not wake per message.
void waitUnderBound(LogCore& c, std::uint64_t s, unsigned int bound) {
    ThreadLog& t = t_log;
    t.progressSeen = c.progress.load(std::memory_order_acquire);
    if (static_cast<std::int64_t>(s - t.progressSeen) < static_cast<std::int64_t>(bound)) return;
    if (t.loggerThread || deliveryHeld()) return;
    const std::uint64_t want = s - (bound - bound / 4) + 1;
    std::unique_lock<std::mutex> lock(c.roomMutex);
    c.roomWaiters.fetch_add(1, std::memory_order_seq_cst);
    for (;;) {
        c.wantProgress.store(want, std::memory_order_seq_cst);
        t.progressSeen = c.progress.load(std::memory_order_seq_cst);
        if (static_cast<std::int64_t>(t.progressSeen - want) >= 0 || c.loopEnded.load() || deliveryHeld() ||
            c.maxQueued.load() == 0)
            break;
        c.roomCv.wait_for(lock, std::chrono::milliseconds(10));
    }
    if (c.roomWaiters.fetch_sub(1) == 1) c.wantProgress.store(0, std::memory_order_relaxed);
}

// Waits for room for a record of size bytes. Null when the message must not wait: on the logger
// thread, while delivery is paused, or once the logger thread has ended.
LogRecordHead* waitForRingRoom(LogRing* r, std::size_t size) {
    LogCore& c = madeCore();
    for (int round = 0;; ++round) {
        if (c.loopEnded.load() || deliveryHeld()) return nullptr;
        if (LogRecordHead* h = r->tryReserve(size)) return h;
        if (round < 4) {
            sched_yield();
            continue;
        }
        // Sleeps until a quarter of the buffer is free beyond the record; the logger thread wakes
        // it. The timeout covers a pause that starts while it waits.
        std::unique_lock<std::mutex> lock(c.roomMutex);
        const std::uint64_t want = r->headWanted(size);
        r->wantHead.store(want, std::memory_order_seq_cst);
        if (static_cast<std::int64_t>(r->head() - want) < 0) c.roomCv.wait_for(lock, std::chrono::milliseconds(10));
        r->wantHead.store(0, std::memory_order_relaxed);
    }
}

// After a message took sequence value s: wakes the logger thread if it sleeps, and keeps the
// number of messages waiting for delivery under the bound. The message itself is already
// published, so the logger thread never waits for a caller that waits here.
inline void afterPublish(LogCore& c, std::uint64_t s) {
    if (c.consumerSleeping.load(std::memory_order_seq_cst)) c.wakeConsumer();
    const unsigned int bound = c.maxQueued.load(std::memory_order_relaxed);
    if (static_cast<std::int64_t>(s - t_log.progressSeen) >= static_cast<std::int64_t>(bound) && bound != 0)
        waitUnderBound(c, s, bound);
}

std::uint64_t takeSeq(LogCore& c) {
    if (!c.headerQueued.load(std::memory_order_acquire)) queueHeader(c);
    return c.seq.fetch_add(1, std::memory_order_relaxed);
}

void pushSide(LogCore& c, LogMessage* msg) {
    std::uint64_t s;
    {
        std::lock_guard<std::mutex> lock(c.sideMutex);
        queueHeaderLocked(c);
        s = c.seq.fetch_add(1, std::memory_order_relaxed);
        c.side.push_back({s, msg});
        c.sideCount.store(c.side.size(), std::memory_order_seq_cst);
    }
    if (c.consumerSleeping.load(std::memory_order_seq_cst)) c.wakeConsumer();
}

// Numbers and queues a message built by its caller (takes ownership).
void submitObject(LogMessage* msg) {
    LogCore& c = core();
    if (c.loopEnded.load() || !s_running.load(std::memory_order_acquire)) {
        delete msg;
        return;
    }
    LogRing* r = ringOfThisThread();
    LogRecordHead* h = nullptr;
    if (r != nullptr) {
        h = r->tryReserve(kHead);
        if (h == nullptr) h = waitForRingRoom(r, kHead);
    }
    if (h == nullptr) {
        if (c.loopEnded.load())
            delete msg;
        else
            pushSide(c, msg);
        return;
    }
    h->kind = detail::kLogRecordObject;
    h->format = reinterpret_cast<const char*>(msg);
    h->render = nullptr;
    const std::uint64_t s = takeSeq(c);
    h->seq = s;
    r->publish(true);
    afterPublish(c, s);
}

}  // namespace

namespace detail {

bool logIsFixedText(const void* p) { return isFixedText(p); }

LogSlot logReserve(std::size_t argBytes, const char* format, unsigned int level, unsigned int space) {
    LogRing* r = ringOfThisThread();
    if (r == nullptr) return {nullptr, nullptr};
    const std::uint64_t stamp = logStampNow();
    const bool fixed = format == nullptr || isFixedText(format);
    const std::size_t formatLength = fixed ? 0 : std::strlen(format) + 1;
    const std::size_t size = kHead + argBytes + logAlign(formatLength);
    if (size > LogRing::kMaxRecord) return {nullptr, nullptr};
    LogRecordHead* h = r->tryReserve(size);
    if (h == nullptr) {
        h = waitForRingRoom(r, size);
        if (h == nullptr) return {nullptr, nullptr};
    }
    h->kind = kLogRecordDeferred;
    h->flags = r->threadId() == s_mainThread.load(std::memory_order_relaxed) ? kLogFromMainThread : 0;
    h->stamp = stamp;
    h->level = level | CORE_LIB_LEVEL_BITS;
    h->space = space;
    if (fixed) {
        h->format = format;
    } else {
        char* copy = h->args() + argBytes;
        std::memcpy(copy, format, formatLength);
        h->format = copy;
    }
    // The message is accepted here. From now on nothing waits and no other code runs until it is
    // published: the logger thread, which delivers in sequence order, never waits long for it.
    h->seq = takeSeq(madeCore());
    return {h->args(), r};
}

void logPublish(LogSlot slot, LogRenderFn render) {
    LogCore& c = madeCore();
    auto* h = reinterpret_cast<LogRecordHead*>(slot.args - kHead);
    h->render = render;
    if (c.lightPublish.load(std::memory_order_relaxed)) {
        slot.ring->publish(false);
        std::atomic_signal_fence(std::memory_order_seq_cst);  // the store stays before the test
        if (c.consumerSleeping.load(std::memory_order_relaxed)) c.wakeConsumer();
    } else {
        slot.ring->publish(true);
        if (c.consumerSleeping.load(std::memory_order_seq_cst)) c.wakeConsumer();
    }
    const unsigned int bound = c.maxQueued.load(std::memory_order_relaxed);
    if (static_cast<std::int64_t>(h->seq - t_log.progressSeen) >= static_cast<std::int64_t>(bound) && bound != 0)
        waitUnderBound(c, h->seq, bound);
}

void logImmediate(unsigned int level, unsigned int space, QString&& text) {
    auto* msg = new (std::nothrow) LogMessageString(std::move(text));
    if (msg == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    msg->setLogLevel(level);
    msg->setSpace(space);
    submitObject(msg);
}

}  // namespace detail

// ---- the logger ---------------------------------------------------------------------------------

// The appender lock guards the appender list and is held while appenders run (so that
// removeAppender returning means the appender is no longer called).
struct Logger::Impl {
    std::mutex appenderMutex;
    std::vector<Appender*> appenders;  // not owned

    // Logger thread only (and the destructor, once that thread is gone).
    std::vector<LogMessage*> kept;
    unsigned int delivered = 0;

    XThreadPool pool;

    XScheduler scheduler;
    std::unique_ptr<XSchedulerAction> schedulerAction;  // owned; the scheduler holds it too
};

namespace {

// Orders the logger thread's stores of head and progress before its loads of what the waiters
// want (they store that, then load head or progress). ThreadSanitizer does not model fences: a
// read-modify-write of a word of its own serves there.
inline void fullFence() {
#if defined(__SANITIZE_THREAD__)
    static std::atomic<unsigned int> word{0};
    word.fetch_add(1, std::memory_order_seq_cst);
#else
    std::atomic_thread_fence(std::memory_order_seq_cst);
#endif
}

void updateGate(Logger* l) {
    LogCore& c = core();
    const bool open = l != nullptr && l == s_logger.load() && s_running.load() && !c.loopEnded.load();
    detail::g_logGate.mask.store(open ? l->getLogLevelMask() : 0u, std::memory_order_relaxed);
}

void installForkHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        // A child of a forked process has no logger thread: it drops what it logs instead of
        // filling buffers nobody reads. The locks are taken across the fork so that the child
        // finds them free.
        ::pthread_atfork(
            [] {
                core().regMutex.lock();
                core().sideMutex.lock();
            },
            [] {
                core().sideMutex.unlock();
                core().regMutex.unlock();
            },
            [] {
                LogCore& c = core();
                c.sideMutex.unlock();
                c.regMutex.unlock();
                if (s_running.load()) {
                    c.loopEnded.store(true);
                    detail::g_logGate.mask.store(0);
                }
            });
    });
}

}  // namespace

Logger::Logger(unsigned int logLevelMask) : m_levelMask(logLevelMask), d(new Impl) {
    atomicFlagDeleteMessage.store(false);
    atomicPause.store(false);
    d->pool.setMaxThreadCount(1);
    d->pool.setExpiryTimeout(-1);
}

Logger::~Logger() {
    d->scheduler.stopJoin();
    if (d->pool.activeThreadCount() > 0 && !core().loopEnded.load()) submitObject(new LogMessageQuit);
    d->pool.waitForDone();
    for (LogMessage* m : d->kept) delete m;
}

Logger& Logger::getLogger() {
    Logger* l = s_logger.load(std::memory_order_acquire);
    if (l != nullptr) return *l;
    std::lock_guard<std::mutex> lock(s_createMutex);
    l = s_logger.load(std::memory_order_acquire);
    if (l == nullptr) {
        l = new Logger(LOG_LEVEL_ALL);
        s_logger.store(l, std::memory_order_release);
    }
    return *l;
}

void Logger::standardIni() { getLogger(); }

bool Logger::acceptsLevel(unsigned int level) {
    return (detail::g_logGate.mask.load(std::memory_order_relaxed) & (level | CORE_LIB_LEVEL_BITS)) != 0;
}

void Logger::setLogLevelMask(unsigned int mask) {
    m_levelMask = mask;
    std::lock_guard<std::mutex> lock(s_createMutex);
    updateGate(this);
}

void Logger::log(LogMessage* msg, unsigned int level, unsigned int space) {
    if (msg == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    if (!s_running.load()) {
        delete msg;
        return;
    }
    msg->setLogLevel(level);
    msg->setSpace(space);
    getLogger().logMessage(msg);
}

void Logger::logPreparedMessage(LogMessage* msg) {
    if (msg == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 101, QStringLiteral("msg == NULL"));
    getLogger().logMessage(msg);
}

void Logger::logMessage(LogMessage* msg) {
    if (msg == nullptr) nullPointerHandling("libSrc/core/src/tools/log/Logger", 742, QStringLiteral("msg == NULL"));
    if (!msg->isQuitMessage() && (m_levelMask.value() & msg->getLogLevel()) == 0) {
        delete msg;
        return;
    }
    submitObject(msg);
}

void Logger::setMaxQueued(unsigned int maxQueued) {
    core().maxQueued.store(maxQueued);
    core().wakeRoomWaiters();
}
unsigned int Logger::getMaxQueued() const { return core().maxQueued.load(); }

std::size_t Logger::pendingMessages() const {
    LogCore& c = core();
    const std::uint64_t taken = c.seq.load();
    const std::uint64_t delivered = c.progress.load();
    return taken > delivered ? static_cast<std::size_t>(taken - delivered) : 0;
}

void Logger::startLogger() {
    if (s_running.load()) {
        consoleNotice("Logger::startLogger, already running !");
        return;
    }
    LogCore& c = core();
    installForkHandlers();
    fixedRanges();
    c.lightPublish.store(detail::logBarrierAvailable());
    {
        std::lock_guard<std::mutex> lock(c.regMutex);
        c.consumerActive = true;
    }
    {
        std::lock_guard<std::mutex> lock(c.sideMutex);
        // Whatever took a place in the sequence before this logger is not this logger's.
        const std::uint64_t start = c.seq.load();
        c.progress.store(start);
        c.done.store(start);
    }
    if (s_running.exchange(true)) return;
    {
        std::lock_guard<std::mutex> lock(s_createMutex);
        updateGate(this);
    }
    d->pool.start([this] { messageLoop(); });
}

namespace {

// The logger thread's view of one record waiting for delivery.
struct Pending {
    std::uint64_t seq;
    LogRing* ring;      // null for a side entry
    std::uint64_t pos;  // the record in the ring, or the side entry's message
    std::uint64_t end;
    LogMessage* sideMsg;  // side entry: the message (null: numbering restart)

    bool operator<(const Pending& o) const { return seq < o.seq; }
};

}  // namespace

// The logger thread: collects what the threads published, delivers it in sequence order, writes
// out when there is nothing more, and sleeps until a thread publishes again.
void Logger::messageLoop() {
    t_log.loggerThread = true;
    LogCore& c = core();
    detail::LogStampClock clock;
    std::vector<LogRing*> rings;
    unsigned int ringsVersion = ~0u;
    std::vector<Pending> pending;
    std::size_t front = 0;
    std::uint64_t next = c.progress.load();
    std::uint64_t base;
    {
        std::lock_guard<std::mutex> lock(c.sideMutex);
        base = c.base;
    }
    LogMessageString scratch;
    std::vector<SideEntry> side;
    bool unwritten = false;  // delivered since the appenders last wrote out
    bool ended = false;
    bool fresh = false;  // collected since the clock was last read
    // Short pauses while logging goes on, so that the logger thread collects runs of records
    // instead of chasing every single one (which costs the logging threads cache misses).
#if defined(__linux__)
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
#endif

    // Collects newly published records; true when there were any.
    auto gather = [&]() {
        if (c.regVersion.load(std::memory_order_acquire) != ringsVersion) {
            std::lock_guard<std::mutex> lock(c.regMutex);
            rings = c.rings;
            ringsVersion = c.regVersion.load();
        }
        if (front > 4096 && front * 2 > pending.size()) {
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(front));
            front = 0;
        }
        const std::size_t before = pending.size();
        bool sorted = true;
        bool retire = false;
        for (LogRing* r : rings) {
            const std::uint64_t tail = r->tail();
            const std::size_t first = pending.size();
            while (r->scan < tail) {
                LogRecordHead* h = r->at(r->scan);
                const std::uint64_t end = r->scan + h->size;
                if (h->kind != detail::kLogRecordSkip) pending.push_back({h->seq, r, r->scan, end, nullptr});
                r->scan = end;
            }
            if (pending.size() > first && first > 0 && pending[first].seq < pending[first - 1].seq) sorted = false;
            if (r->closed.load(std::memory_order_acquire) && r->head() == r->tail()) retire = true;
        }
        if (c.sideCount.load(std::memory_order_seq_cst) != 0) {
            {
                std::lock_guard<std::mutex> lock(c.sideMutex);
                side.swap(c.side);
                c.sideCount.store(0);
            }
            for (const SideEntry& e : side) pending.push_back({e.seq, nullptr, 0, 0, e.msg});
            side.clear();
            sorted = false;
        }
        if (!sorted) std::sort(pending.begin() + static_cast<std::ptrdiff_t>(front), pending.end());
        if (retire) {
            // Buffers of ended threads, read and delivered to the end: kept for new threads or freed.
            std::lock_guard<std::mutex> lock(c.regMutex);
            for (auto it = c.rings.begin(); it != c.rings.end();) {
                LogRing* r = *it;
                if (r->closed.load(std::memory_order_acquire) && r->head() == r->tail()) {
                    it = c.rings.erase(it);
                    r->reset();
                    if (c.spare.size() < kSpareRings)
                        c.spare.push_back(r);
                    else
                        delete r;
                } else {
                    ++it;
                }
            }
            c.regVersion.fetch_add(1);
            rings = c.rings;
            ringsVersion = c.regVersion.load();
        }
        const bool found = pending.size() > before;
        fresh = fresh || found;
        return found;
    };

    // Wakes the threads whose wait is over: room in their buffer, or delivery under the bound.
    auto wakeWaiters = [&]() {
        fullFence();
        bool wake = false;
        const std::uint64_t progressWanted = c.wantProgress.load(std::memory_order_relaxed);
        if (progressWanted != 0 && static_cast<std::int64_t>(next - progressWanted) >= 0) wake = true;
        for (LogRing* r : rings) {
            const std::uint64_t headWanted = r->wantHead.load(std::memory_order_relaxed);
            if (headWanted != 0 && static_cast<std::int64_t>(r->head() - headWanted) >= 0) wake = true;
        }
        if (wake) c.wakeRoomWaiters();
    };

    // Hands one message to the appenders; keeps it, destroys it, or (scratch) leaves it for reuse.
    auto deliver = [&](LogMessage* msg, bool owned) {
        for (Appender* a : d->appenders)
            if (a->isEnabled()) a->append(msg);
        if (!atomicFlagDeleteMessage.load(std::memory_order_relaxed)) {
            if (++d->delivered > kKeptMessages) atomicFlagDeleteMessage.store(true);
            d->kept.push_back(owned ? msg : msg->createCopy());
        } else if (owned) {
            delete msg;
        }
    };

    while (!ended) {
        gather();
        if (fresh) {
            clock.anchor();
            fresh = false;
        }
        bool held = false;
        const std::uint64_t roundStart = next;
        {
            std::unique_lock<std::mutex> appendersLock(d->appenderMutex);
            int chunk = 0;
            while (front < pending.size()) {
                Pending& e = pending[front];
                if (e.seq > next) break;  // a thread took this place and has not published yet
                if (e.seq < next) {       // from before this logger started
                    if (e.ring != nullptr) {
                        LogRing::discard(e.ring->at(e.pos));
                        e.ring->release(e.end);
                    } else {
                        delete e.sideMsg;
                    }
                    ++front;
                    continue;
                }
                LogRecordHead* h = e.ring != nullptr ? e.ring->at(e.pos) : nullptr;
                LogMessage* object = h == nullptr                          ? e.sideMsg
                                     : h->kind == detail::kLogRecordObject ? h->object()
                                                                           : nullptr;
                const bool quitMessage = object != nullptr && object->isQuitMessage();
                if (atomicPause.load() && !quitMessage) {
                    held = true;
                    break;
                }
                if (quitMessage) {
                    d->kept.push_back(object);  // neither delivered nor destroyed
                    if (e.ring != nullptr) e.ring->release(e.end);
                    ++front;
                    ended = true;
                    break;
                }
                if (h == nullptr && e.sideMsg == nullptr) {
                    base = e.seq + 1;  // numbering restarts after this place
                } else if (object != nullptr) {
                    object->m_number = static_cast<unsigned int>(e.seq - base);
                    deliver(object, true);
                } else {
                    detail::FormatBuffer b;
                    h->render(&b, h->format, h->args());
                    const bool keep = !atomicFlagDeleteMessage.load(std::memory_order_relaxed);
                    LogMessageString* msg = keep ? new LogMessageString : &scratch;
                    msg->m_text = b.take();
                    msg->m_number = static_cast<unsigned int>(e.seq - base);
                    msg->m_threadId = e.ring->threadId();
                    msg->m_time = ZorTime(static_cast<unsigned long long>(clock.toTicks(h->stamp) / 10u));
                    msg->m_space = h->space;
                    msg->m_mainThread = (h->flags & detail::kLogFromMainThread) != 0;
                    msg->m_flags = h->level;
                    deliver(msg, keep);
                }
                if (e.ring != nullptr) e.ring->release(e.end);
                ++front;
                ++next;
                c.progress.store(next, std::memory_order_release);
                unwritten = true;
                if (++chunk == 64) {
                    chunk = 0;
                    wakeWaiters();
                    // Lets addAppender and removeAppender in between long runs.
                    appendersLock.unlock();
                    appendersLock.lock();
                }
            }
            if (unwritten || ended) {
                // Everything delivered so far goes out before the count says so: a process killed
                // after waitQueueEmpty (or while the logger idles) has it in its files.
                for (Appender* a : d->appenders)
                    if (a->isEnabled()) a->flush();
                unwritten = false;
                c.done.store(ended ? next + 1 : next, std::memory_order_release);
            }
        }
        wakeWaiters();
        if (ended) break;
        if (held) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (next - roundStart >= 64) continue;  // busy: collect again at once
        if (front < pending.size()) {
            // A thread has taken its place in the sequence and is about to publish.
            sched_yield();
            continue;
        }
        // Little or nothing to deliver: look again after growing pauses, then sleep until a
        // thread publishes.
        bool more = false;
        for (int us = 20; us <= 1280 && !more; us *= 2) {
            std::this_thread::sleep_for(std::chrono::microseconds(us));
            more = gather();
        }
        if (more) continue;
        c.consumerSleeping.store(true, std::memory_order_seq_cst);
        if (c.lightPublish.load(std::memory_order_relaxed)) detail::logBarrierOnAllThreads();
        if (gather()) {
            c.consumerSleeping.store(false);
            continue;
        }
        std::unique_lock<std::mutex> lock(c.wakeMutex);
        while (c.consumerSleeping.load()) {
            if (c.wakeCv.wait_for(lock, std::chrono::milliseconds(100)) == std::cv_status::timeout) {
                // Also looks after ended threads' buffers.
                c.consumerSleeping.store(false);
            }
        }
    }

    // After the quit message: nothing more is delivered. Later messages are dropped at once.
    {
        std::lock_guard<std::mutex> lock(s_createMutex);
        c.loopEnded.store(true);
        updateGate(this);
    }
    c.wakeRoomWaiters();
    {
        std::lock_guard<std::mutex> lock(c.sideMutex);
        for (const SideEntry& e : c.side) delete e.msg;
        c.side.clear();
        c.sideCount.store(0);
        c.base = base;
    }
    for (std::size_t i = front; i < pending.size(); ++i)
        if (pending[i].ring == nullptr) delete pending[i].sideMsg;
    // Buffers of live threads keep their records until those threads end and free them, or until
    // the next logger thread reads them again from their head and drops them as not its own.
    std::lock_guard<std::mutex> lock(c.regMutex);
    c.consumerActive = false;
    for (auto it = c.rings.begin(); it != c.rings.end();) {
        if ((*it)->closed.load()) {
            delete *it;
            it = c.rings.erase(it);
        } else {
            (*it)->scan = (*it)->head();
            ++it;
        }
    }
    c.regVersion.fetch_add(1);
}

bool Logger::waitForThread(int ms) { return d->pool.waitForDone(ms); }

bool Logger::waitQueueEmpty(unsigned long long timeoutMs) {
    LogCore& c = core();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::uint64_t target = c.seq.load();
    // After the quit message nothing more is delivered: there is nothing to wait for.
    while (static_cast<std::int64_t>(c.done.load(std::memory_order_acquire) - target) < 0 && !c.loopEnded.load()) {
        if (!s_running.load()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

void Logger::quit() {
    auto* q = new (std::nothrow) LogMessageQuit;
    if (q == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    Logger& logger = getLogger();
    const bool wait = s_running.load() && !core().loopEnded.load();
    if (s_running.load()) {
        q->setLogLevel(DEBUG);
        q->setSpace(0);
        logger.logMessage(q);
    } else {
        delete q;
    }
    if (wait) logger.waitForThread(1200);
    // Nothing is delivered any more: no file is rotated either.
    logger.d->scheduler.stopJoin();
}

void loggerQuit() { Logger::quit(); }

bool Logger::isRunning() { return s_running.load(); }
bool Logger::isReady() { return s_ready.load(); }
bool Logger::isInitialized() { return atomicInitialized.load(); }

unsigned int Logger::getLogLevel() { return getLogger().getLogLevelMask(); }
void Logger::setLogLevel(unsigned int mask) { getLogger().setLogLevelMask(mask); }
void Logger::setLogLevelSimple(SIMPLE_LOG_LEVEL level) { getLogger().setLogLevelMask(mapToLogLevelFlags(level)); }
void Logger::saveLogLevel() { s_maskOld.store(getLogger().getLogLevelMask()); }
void Logger::restoreLogLevel() { getLogger().setLogLevelMask(s_maskOld.load()); }

void Logger::showLogLevel() {
    printToCout(QStringLiteral("Logger::llogLevel:") + QString::fromLatin1(logLevelToStringAllBits(getLogLevel())));
}

void Logger::setThreadIDMain() { s_mainThread.store(getCurrentThreadID()); }
// The main thread is the one that built the logger (or called setThreadIDMain): asking for it
// before that builds the logger, so the first thread to use the library becomes the main thread.
unsigned int Logger::getThreadIDMain() {
    const unsigned int id = s_mainThread.load(std::memory_order_relaxed);
    if (id != 0) return id;
    getLogger();
    return s_mainThread.load(std::memory_order_relaxed);
}
bool Logger::isMainThread(unsigned int threadId) { return threadId == getThreadIDMain(); }

// While the logger thread runs, the restart takes its place in the sequence, so that it falls
// exactly between the messages accepted before and after it.
void Logger::resetLogMessageCounter() {
    LogCore& c = core();
    {
        std::lock_guard<std::mutex> lock(c.sideMutex);
        if (!s_running.load() || c.loopEnded.load()) {
            c.base = c.seq.load();
            return;
        }
        c.side.push_back({c.seq.fetch_add(1), nullptr});
        c.sideCount.store(c.side.size(), std::memory_order_seq_cst);
    }
    if (c.consumerSleeping.load(std::memory_order_seq_cst)) c.wakeConsumer();
}
void Logger::prepareForRegressionTests(bool on) { s_regression.store(on); }

void Logger::addHeaderString(const QString& text) {
    Logger& l = getLogger();
    std::lock_guard<std::mutex> lock(core().sideMutex);
    l.m_header.addString(text);
}

void Logger::setIncludeTraillerConsole(bool on) {
    Logger& l = getLogger();
    std::lock_guard<std::mutex> lock(l.d->appenderMutex);
    // Any appender may call itself a console; only an AppenderConsole has the switch.
    for (Appender* a : l.d->appenders) {
        if (auto* console = dynamic_cast<AppenderConsole*>(a)) {
            console->setIncludeTrailler(on);
            return;
        }
    }
}

bool Logger::isIncludeTraillerConsole() {
    Logger& l = getLogger();
    std::lock_guard<std::mutex> lock(l.d->appenderMutex);
    for (Appender* a : l.d->appenders)
        if (auto* console = dynamic_cast<AppenderConsole*>(a)) return console->isIncludeTrailler();
    return false;
}

void Logger::addAppender(Appender* appender) {
    if (appender == nullptr) return;
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    d->appenders.push_back(appender);
}

bool Logger::replaceAppender(Appender* old, Appender* replacement) {
    if (replacement == nullptr) return false;
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender*& a : d->appenders) {
        if (a == old) {
            a = replacement;
            return true;
        }
    }
    return false;
}

XScheduler& Logger::getScheduler() { return d->scheduler; }

void Logger::setSchedulerAction(XSchedulerAction* action) {
    d->scheduler.setSchedAction(action);
    d->schedulerAction.reset(action);
}

bool Logger::removeAppender(Appender* appender) {
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (auto it = d->appenders.begin(); it != d->appenders.end(); ++it) {
        if (*it == appender) {
            d->appenders.erase(it);
            return true;
        }
    }
    return false;
}

void Logger::enableConsoleAppender(bool on) {
    {
        std::lock_guard<std::mutex> lock(d->appenderMutex);
        for (Appender* a : d->appenders) {
            if (a->isAppenderConsole()) {
                a->setEnabled(on);
                break;
            }
        }
    }
    if (!on) platform::hideConsoleWindow();
}

bool Logger::IsConsoleAppenderEnabled() {
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender* a : d->appenders)
        if (a->isAppenderConsole()) return a->isEnabled();
    return false;
}

bool Logger::hasAppenderConsole() {
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender* a : d->appenders)
        if (a->isAppenderConsole()) return true;
    return false;
}

bool Logger::hasAppenderFile() {
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender* a : d->appenders)
        if (a->isAppenderFile()) return true;
    return false;
}

bool Logger::hasAppenderGUI() { return getAppenderGUI() != nullptr; }

AppenderLimitMemory* Logger::getAppenderLimitMemory() {
    waitQueueEmpty();
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender* a : d->appenders)
        if (auto* m = dynamic_cast<AppenderLimitMemory*>(a)) return m;
    return nullptr;
}

Appender* Logger::getAppenderGUI() {
    std::lock_guard<std::mutex> lock(d->appenderMutex);
    for (Appender* a : d->appenders)
        if (a->isAppenderGUI()) return a;
    return nullptr;
}

void Logger::debug(const char* printfFormat, ...) {
    if (printfFormat == nullptr) return;
    thread_local char buffer[4096];
    va_list ap;
    va_start(ap, printfFormat);
    std::vsnprintf(buffer, sizeof buffer, printfFormat, ap);
    va_end(ap);
    logDebug(buffer);
}

void Logger::debug(unsigned int space, const char* printfFormat, ...) {
    if (printfFormat == nullptr) return;
    thread_local char buffer[4096];
    const unsigned int pad = space < sizeof buffer - 1 ? space : static_cast<unsigned int>(sizeof buffer - 1);
    for (unsigned int i = 0; i < pad; ++i) buffer[i] = ' ';
    va_list ap;
    va_start(ap, printfFormat);
    std::vsnprintf(buffer + pad, sizeof buffer - pad, printfFormat, ap);
    va_end(ap);
    logDebug(buffer);
}

void Logger::printToCout(const QString& text) {
    writeConsoleLocked(AppenderConsole::trailerSimple().toLocal8Bit() + text.toLocal8Bit() + "\n");
}

void Logger::printToCout(const char* text) {
    if (text == nullptr) {
        writeConsoleLocked(AppenderConsole::trailerSimple().toLocal8Bit() + "ppCout(nullptr)\n");
        return;
    }
    printToCout(QString::fromLocal8Bit(text));
}

// The memory attachments: a copy of the block (or the block itself, moved) travels with the text.
void Logger::logMem(XMemFile& mem, bool move, unsigned int level, const QString& text) {
    if (!s_running.load()) return;
    auto* msg = new (std::nothrow) LogMessageString(text);
    if (msg == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    auto* a = LogAttachment::fromMem(mem, move);
    msg->attach(a);
    msg->setLogLevel(level);
    getLogger().logMessage(msg);
}

void Logger::logMemCommand(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, COMMAND, text); }
void Logger::logMemDebug(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, DEBUG, text); }
void Logger::logMemError(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, XERROR, text); }
void Logger::logMemInfo(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, INFO, text); }
void Logger::logMemRequest(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, XSEND, text); }
void Logger::logMemResponse(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, XRECEIVE, text); }
void Logger::logMemState(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, XSTATE, text); }
void Logger::logMemTest(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, TEST, text); }
void Logger::logMemWarning(XMemFile& mem, bool move, const QString& text) { logMem(mem, move, WARNING, text); }

Logger& Logger::replaceInstance(unsigned int mask) {
    std::lock_guard<std::mutex> lock(s_createMutex);
    Logger* old = s_logger.exchange(nullptr);
    delete old;
    auto* l = new Logger(mask);
    s_logger.store(l, std::memory_order_release);
    {
        std::lock_guard<std::mutex> sideLock(core().sideMutex);
        core().headerQueued.store(false);
    }
    updateGate(l);
    return *l;
}

void Logger::setReady(bool on) { s_ready.store(on); }

}  // namespace zor
