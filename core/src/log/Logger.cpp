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

#include "platform/Platform.h"

#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace zor {

XAtomic<bool> Logger::atomicFlagDeleteMessage{false};
XAtomic<bool> Logger::atomicPause{false};
XAtomic<bool> Logger::atomicInitialized{false};

namespace {

std::atomic<Logger*> s_logger{nullptr};
std::mutex s_createMutex;  // creation and replacement of the singleton
std::atomic<bool> s_running{false};
std::atomic<bool> s_ready{false};
std::atomic<bool> s_regression{false};
std::atomic<unsigned int> s_counter{0};
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

}  // namespace

// Two locks: the queue lock makes the level check, the header, the numbering and the enqueue one
// critical section (so numbers follow queue order); the appender lock guards the appender list
// and is held while appenders run. Logging threads never wait for an appender.
struct Logger::Impl {
    std::mutex queueMutex;
    std::condition_variable queueCv;
    std::vector<LogMessage*> queue;  // guarded by queueMutex
    bool consumerWaiting = false;    // guarded by queueMutex
    std::atomic<bool> loopEnded{false};  // set under queueMutex: later messages are dropped
    std::atomic<std::size_t> pending{0};  // queued, not yet delivered
    std::atomic<unsigned int> maxQueued{Logger::DEFAULT_MAX_QUEUED};

    // Threads waiting for room in a full queue sleep here; the logger thread wakes them.
    std::mutex roomMutex;
    std::condition_variable roomCv;
    std::atomic<int> roomWaiters{0};
    std::atomic<std::thread::id> loopThread{};

    std::mutex appenderMutex;
    std::vector<Appender*> appenders;  // not owned

    // Logger thread only (and the destructor, once that thread is gone).
    std::vector<LogMessage*> kept;
    unsigned int delivered = 0;

    XThreadPool pool;

    XScheduler scheduler;
    std::unique_ptr<XSchedulerAction> schedulerAction;  // owned; the scheduler holds it too

    // Logger thread: every appender writes out what it gathered.
    void flushAppenders() {
        std::lock_guard<std::mutex> lock(appenderMutex);
        for (Appender* a : appenders)
            if (a->isEnabled()) a->flush();
    }
};

Logger::Logger(unsigned int logLevelMask) : m_levelMask(logLevelMask), d(new Impl) {
    m_headerLogged.store(false);
    atomicFlagDeleteMessage.store(false);
    atomicPause.store(false);
    d->pool.setMaxThreadCount(1);
    d->pool.setExpiryTimeout(-1);
}

Logger::~Logger() {
    d->scheduler.stopJoin();
    {
        std::lock_guard<std::mutex> lock(d->queueMutex);
        if (!d->loopEnded.load() && d->pool.activeThreadCount() > 0) {
            d->queue.push_back(new LogMessageQuit);
            d->queueCv.notify_all();
        }
    }
    d->pool.waitForDone();
    // The queue lock orders everything the logger thread did before these deletions.
    std::lock_guard<std::mutex> lock(d->queueMutex);
    for (LogMessage* m : d->queue) delete m;
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
    if (!s_running.load(std::memory_order_acquire)) return false;
    Logger* l = s_logger.load(std::memory_order_acquire);
    return l != nullptr && (l->m_levelMask.value() & (level | CORE_LIB_LEVEL_BITS)) != 0;
}

void Logger::log(LogMessage* msg, unsigned int level, unsigned int space) {
    if (msg == nullptr) nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
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
    if (!s_running.load(std::memory_order_acquire)) {
        delete msg;
        return;
    }
    const unsigned int bound = d->maxQueued.load(std::memory_order_relaxed);
    if (bound != 0 && d->pending.load(std::memory_order_relaxed) >= bound) waitForRoom();
    std::unique_lock<std::mutex> lock(d->queueMutex);
    if (!m_headerLogged.load(std::memory_order_relaxed)) {
        atomicInitialized.store(true);
        queueHeaderLocked();
        if (s_regression.load()) s_counter.store(0);
    }
    msg->m_number = s_counter.fetch_add(1, std::memory_order_relaxed);
    if (d->loopEnded.load(std::memory_order_relaxed)) {
        // The logger thread has ended after a quit: nothing will ever deliver this message.
        lock.unlock();
        delete msg;
        return;
    }
    d->queue.push_back(msg);
    d->pending.fetch_add(1, std::memory_order_relaxed);
    const bool wake = d->consumerWaiting;
    lock.unlock();
    if (wake) d->queueCv.notify_one();
}

void Logger::queueHeaderLocked() {
    if (m_headerLogged.exchange(true)) return;
    for (LogMessageString* line : m_header) {
        // The queue gets copies: the header keeps its lines whatever the appenders do.
        line->m_number = s_counter.fetch_add(1, std::memory_order_relaxed);
        LogMessage* copy = line->createCopy();
        d->queue.push_back(copy);
        d->pending.fetch_add(1, std::memory_order_relaxed);
    }
    d->queueCv.notify_all();
}

void Logger::waitForRoom() {
    // The logger thread must never wait for itself; a paused logger delivers nothing, so waiting
    // would only hang the program.
    if (std::this_thread::get_id() == d->loopThread.load() || atomicPause.load()) return;
    const std::size_t bound = d->maxQueued.load(std::memory_order_relaxed);
    std::unique_lock<std::mutex> lock(d->roomMutex);
    d->roomWaiters.fetch_add(1);
    // Room means the queue has drained to three quarters, so that waiters do not wake per message.
    const std::size_t resume = bound - bound / 4;
    while (bound != 0 && d->pending.load() >= resume && !d->loopEnded.load() && !atomicPause.load() &&
           s_running.load()) {
        // The timeout covers a logger thread that ended without a last wake-up.
        d->roomCv.wait_for(lock, std::chrono::milliseconds(20));
    }
    d->roomWaiters.fetch_sub(1);
}

void Logger::setMaxQueued(unsigned int maxQueued) { d->maxQueued.store(maxQueued); }
unsigned int Logger::getMaxQueued() const { return d->maxQueued.load(); }
std::size_t Logger::pendingMessages() const { return d->pending.load(); }

void Logger::startLogger() {
    if (!s_running.exchange(true)) {
        d->pool.start([this] { messageLoop(); });
    } else {
        consoleNotice("Logger::startLogger, already running !");
    }
}

void Logger::messageLoop() {
    d->loopThread.store(std::this_thread::get_id());
    std::vector<LogMessage*> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(d->queueMutex);
            while (d->queue.empty()) {
                d->consumerWaiting = true;
                d->queueCv.wait(lock);
                d->consumerWaiting = false;
            }
            batch.swap(d->queue);
        }
        for (std::size_t i = 0; i < batch.size(); ++i) {
            LogMessage* msg = batch[i];
            if (msg == nullptr) {
                consoleNotice("Logger::run - msg == nullptr - uh!");
                std::this_thread::sleep_for(std::chrono::milliseconds(3000));
                return;
            }
            while (atomicPause.load() && !msg->isQuitMessage())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (msg->isQuitMessage()) {
                d->flushAppenders();
                // Ends the loop; whatever was queued behind it stays queued, never delivered.
                std::lock_guard<std::mutex> lock(d->queueMutex);
                d->loopEnded.store(true);
                d->kept.push_back(msg);
                d->queue.insert(d->queue.begin(), batch.begin() + static_cast<std::ptrdiff_t>(i) + 1, batch.end());
                d->pending.fetch_sub(1);
                return;
            }
            {
                std::lock_guard<std::mutex> lock(d->appenderMutex);
                for (Appender* a : d->appenders)
                    if (a->isEnabled()) a->append(msg);
            }
            if (!atomicFlagDeleteMessage.load()) {
                if (++d->delivered > kKeptMessages) atomicFlagDeleteMessage.store(true);
                d->kept.push_back(msg);
            } else {
                delete msg;
            }
            // Before the count of the batch's last message drops, so that an empty queue means
            // everything delivered is written out.
            if (i + 1 == batch.size()) d->flushAppenders();
            const std::size_t left = d->pending.fetch_sub(1, std::memory_order_release) - 1;
            if (d->roomWaiters.load() > 0) {
                const std::size_t bound = d->maxQueued.load(std::memory_order_relaxed);
                if (left < bound - bound / 4 || left == 0) {
                    std::lock_guard<std::mutex> lock(d->roomMutex);
                    d->roomCv.notify_all();
                }
            }
        }
        batch.clear();
    }
}

bool Logger::waitForThread(int ms) { return d->pool.waitForDone(ms); }

bool Logger::waitQueueEmpty(unsigned long long timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // After the quit message nothing more is delivered: there is nothing to wait for.
    while (d->pending.load(std::memory_order_acquire) != 0 && !d->loopEnded.load()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

void Logger::quit() {
    auto* q = new (std::nothrow) LogMessageQuit;
    if (q == nullptr) nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    Logger& logger = getLogger();
    if (s_running.load()) {
        q->setLogLevel(DEBUG);
        q->setSpace(0);
        logger.logMessage(q);
    } else {
        delete q;
    }
    logger.waitForThread(1200);
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

void Logger::resetLogMessageCounter() { s_counter.store(0); }
void Logger::prepareForRegressionTests(bool on) { s_regression.store(on); }

void Logger::addHeaderString(const QString& text) {
    Logger& l = getLogger();
    std::lock_guard<std::mutex> lock(l.d->queueMutex);
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
    if (msg == nullptr) nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
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
    return *l;
}

void Logger::setReady(bool on) { s_ready.store(on); }

}  // namespace zor
