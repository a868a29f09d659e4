// Threads, pool, lightweight threads, workers and their state texts.
#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/Wait.h"

#include <zor/BaseThread.h>
#include <zor/BaseThreadState.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/XFunctionWorker.h>
#include <zor/XLightweightThread.h>
#include <zor/XThread.h>
#include <zor/XThreadPool.h>
#include <zor/XThreadWorker.h>
#include <zor/XWorker.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <thread>

using namespace zor;
using zortest::CaptureAppender;
using zortest::waitUntil;

namespace {

class Loop : public XThread {
public:
    ~Loop() override { stopJoin(); }
    std::atomic<int> runs{0};
    std::atomic<int> afterRuns{0};

protected:
    void run() override {
        ++runs;
        while (isRunning()) xSleep(1);
    }
    void afterRun() override { ++afterRuns; }
};

class Counting : public XLightweightThread {
public:
    explicit Counting(std::atomic<int>* alive = nullptr) : m_alive(alive) {
        if (m_alive != nullptr) ++*m_alive;
    }
    ~Counting() override {
        if (m_alive != nullptr) --*m_alive;
    }
    std::atomic<int> runs{0};

protected:
    void runCustom() override { ++runs; }

private:
    std::atomic<int>* m_alive;
};

class SlowWorker : public XWorker {
public:
    explicit SlowWorker(int ms) : m_ms(ms) {}
    std::atomic<int> calls{0};
    int work() override {
        ++calls;
        xSleep(static_cast<unsigned long long>(m_ms));
        return 0;
    }

private:
    int m_ms;
};

// Stays inside work() until the test opens it.
class HeldWorker : public XWorker {
public:
    std::atomic<int> calls{0};
    std::atomic<bool> open{false};
    int work() override {
        ++calls;
        waitUntil([this] { return open.load(); });
        return 0;
    }
};

}  // namespace

TEST(ThreadTools, HardwareCountSleepsAndIds) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    EXPECT_EQ(count_hardware_threads(0), 1u);
    EXPECT_EQ(count_hardware_threads(1), 1u);
    const unsigned int h = count_hardware_threads(100000);
    EXPECT_GE(h, 1u);
    EXPECT_LT(h, 100000u);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("Tools.h, str::count_hardware_threads, wanted_threads > cpu_threads, "
                                                "100000 > %1, set to:%1")
                                     .arg(h)));
    loggerQuit();

    XAtomic<bool> stop(true);
    const auto t0 = std::chrono::steady_clock::now();
    xSleep_breakable(120000, stop);  // set: returns at once, not after two minutes
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(zortest::kWaitBoundMs));

    const auto t1 = std::chrono::steady_clock::now();
    xSleep(20);
    EXPECT_GE(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(20));

    unsigned int other = 0;
    std::thread([&] { other = getCurrentThreadID(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, getCurrentThreadID());
}

TEST(XThread, LifeCycleRestartOnlyAfterJoinAndTexts) {
    Loop t;
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED}"));
    EXPECT_EQ(t.toString(), QStringLiteral("XTHREAD [0]"));
    t.join();  // never started: nothing happens
    t.stopJoin();
    t.start();
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED | RUNNING}"));
    t.start();  // running: nothing happens
    t.join();   // running: nothing happens
    EXPECT_TRUE(t.isRunning());
    t.stop();
    ASSERT_TRUE(waitUntil([&] { return t.isFinished(); }));
    t.start();  // finished, not joined: nothing happens
    t.join();
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED | FINISHED | JOINED}"));
    EXPECT_EQ(t.runs.load(), 1);
    EXPECT_EQ(t.afterRuns.load(), 1);
    EXPECT_NE(t.threadID(), 0u);
    EXPECT_NE(t.threadID(), getCurrentThreadID());
    EXPECT_EQ(t.toString(), QStringLiteral("XTHREAD [%1]").arg(t.threadID()));

    t.start();
    ASSERT_TRUE(waitUntil([&] { return t.runs.load() == 2; }));
    t.stopJoin();
    EXPECT_TRUE(t.isJoined());
    EXPECT_FALSE(t.isRunning());
    EXPECT_EQ(t.afterRuns.load(), 2);
    t.stopJoin();  // joined: nothing happens
    EXPECT_EQ(t.runs.load(), 2);
}

TEST(XThread, StopRightAfterStartIsNotLost) {
    for (int i = 0; i < 50; ++i) {
        Loop t;
        t.start();
        t.stopJoin();
        EXPECT_TRUE(t.isJoined());
        EXPECT_FALSE(t.isRunning());
    }
}

TEST(XThread, DefaultRunPollsAndLogsItsThreadId) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    {
        XThread t;
        t.start();
        ASSERT_TRUE(waitUntil([&] { return cap.containsText(QStringLiteral("XThread::run - overwrite me")); }));
        t.stopJoin();  // break_sleep ends early when RUNNING is cleared
        EXPECT_TRUE(t.isJoined());
    }
    loggerQuit();
}

TEST(StateTexts, BaseThreadStateAndAbstractThread) {
    BaseThreadState s;
    EXPECT_EQ(s.toString(), QString());
    s.set_running(true);
    s.set_error(true);
    EXPECT_EQ(s.toString(), QStringLiteral("RUNNING | ERROR"));
    s.set_initialized(true);
    s.set_cancelled(true);
    s.set_finished(true);
    EXPECT_EQ(s.toString(), QStringLiteral("INITIALIZED | RUNNING | FINISHED | ERROR | CANCELLED"));
    EXPECT_TRUE(s.is_cancelled());
    s.reset_flags();
    EXPECT_FALSE(s.is_running());
    EXPECT_EQ(s.toString(), QString());

    BaseThread b;
    b.set_running(false);
    const auto t0 = std::chrono::steady_clock::now();
    b.sleep_breakable(120000);  // not running: ends at the first step, not after two minutes
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(zortest::kWaitBoundMs));
    EXPECT_TRUE(BaseThread::wait_for_all(5000));
}

TEST(XThreadPool, FunctionsAndEmptyFunctions) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    XThreadPool pool;
    std::atomic<int> n{0};
    for (int i = 0; i < 200; ++i) EXPECT_NE(pool.start([&n] { ++n; }), nullptr);
    EXPECT_EQ(pool.start(std::function<void()>()), nullptr);
    pool.waitForDone();
    EXPECT_EQ(n.load(), 200);

    for (int i = 0; i < 20; ++i) XThreadPool::start_function_global([&n] { ++n; });
    EXPECT_EQ(XThreadPool::start_function_global(std::function<void()>()), nullptr);
    EXPECT_TRUE(BaseThread::wait_for_all(10000));
    EXPECT_EQ(n.load(), 220);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XThreadPool::start, empty function")));
    loggerQuit();
}

TEST(XLightweightThread, ReuseAndAutoDelete) {
    XThreadPool pool;
    Counting kept;
    EXPECT_EQ(kept.toString(), QStringLiteral("{INITIALIZED}"));
    EXPECT_EQ(pool.start_lwThread(&kept, false), &kept);
    pool.waitForDone();
    EXPECT_EQ(kept.toString(), QStringLiteral("{INITIALIZED | FINISHED}"));
    kept.reuse();
    EXPECT_EQ(kept.toString(), QStringLiteral("{INITIALIZED}"));
    pool.start_lwThread(&kept, false);
    pool.waitForDone();
    EXPECT_EQ(kept.runs.load(), 2);

    std::atomic<int> alive{0};
    for (int i = 0; i < 50; ++i) pool.start_lwThread(new Counting(&alive), true);
    pool.waitForDone();
    EXPECT_EQ(alive.load(), 0);  // every auto-deleted runnable is gone

    Counting global;
    XThreadPool::start_global(&global, false);
    EXPECT_TRUE(BaseThread::wait_for_all(10000));
    EXPECT_TRUE(global.isFinished());
    EXPECT_EQ(pool.start_lwThread(nullptr, true), nullptr);
}

TEST(XLightweightThread, ListenersAreToldOfStartAndFinishOnTheMainThread) {
    zortest::TestApp app;
    XThreadPool pool;
    Counting t;
    QStringList events;
    std::thread::id where;
    t.startedListeners().add([&] { events << QStringLiteral("started"); });
    t.finishedListeners().add([&] {
        events << QStringLiteral("finished");
        where = std::this_thread::get_id();
        app.quit();
    });

    t.enableListener(false);  // emission off: a run tells nobody
    pool.start_lwThread(&t, false);
    pool.waitForDone();
    QCoreApplication::processEvents();
    EXPECT_TRUE(events.isEmpty());

    t.reuse();
    t.enableListener(true);
    pool.start_lwThread(&t, false);
    app.exec(zortest::kWaitBoundMs);
    pool.waitForDone();
    EXPECT_EQ(events, QStringList({"started", "finished"}));
    EXPECT_EQ(where, std::this_thread::get_id());

    t.prepareListener(false);  // no state listener: no more calls
    t.reuse();
    pool.start_lwThread(&t, false);
    pool.waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(events.size(), 2);
}

TEST(XFunctionWorker, SleepsWithoutWorkWakesOnWorkAndStops) {
    XFunctionWorker w, idle;
    w.startThreadInitial();
    idle.startThreadInitial();
    EXPECT_FALSE(w.isWorking());
    EXPECT_FALSE(w.waitFinished(50));  // idle, not ended
    idle.stopThread();                 // a worker that never got work stops too
    EXPECT_TRUE(idle.waitFinished(10000));
    std::atomic<int> calls{0};
    w.setWorker([&calls] {
        ++calls;
        xSleep(1);
        return 0;
    });
    EXPECT_TRUE(w.isWorking());
    ASSERT_TRUE(waitUntil([&] { return calls.load() >= 3; }));

    w.setWorker(std::function<int()>());  // back to sleep
    const int seen = calls.load();
    xSleep(50);
    EXPECT_LE(calls.load(), seen + 1);  // at most the call that was running
    EXPECT_FALSE(w.isWorking());

    w.stopThread();
    EXPECT_TRUE(w.waitFinished(10000));
    EXPECT_FALSE(w.isWorking());
}

TEST(XThreadWorker, WorkerCalledRepeatedlyThenStoppedTheLateWarningAndDebugLines) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    {
        XThreadWorker t;
        t.setDebug(true);
        t.startThreadInitial();
        EXPECT_FALSE(t.isWorking());
        SlowWorker fast(1);
        t.setWorker(&fast);
        EXPECT_EQ(t.worker(), &fast);
        ASSERT_TRUE(waitUntil([&] { return fast.calls.load() >= 3; }));
        t.setWorker(nullptr);
        t.stopThread(10000);
        EXPECT_TRUE(t.wait(1));
        EXPECT_FALSE(t.isWorking());

        // A worker that is still inside work() when the limit passes is reported and left running.
        HeldWorker slow;
        t.startThreadInitial();
        t.setWorker(&slow);
        ASSERT_TRUE(waitUntil([&] { return slow.calls.load() >= 1; }));
        t.stopThread(20);
        slow.open = true;
        EXPECT_TRUE(t.wait(zortest::kWaitBoundMs));
        EXPECT_EQ(slow.calls.load(), 1);
    }
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XThreadWorker::run")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XThreadWorker::~run")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XThreadWorker::stopThread, thread not really finished")));
    std::size_t warnings = 0;
    for (const auto& m : cap.messages())
        if (m.text == QStringLiteral("XThreadWorker::stopThread, thread not really finished")) {
            ++warnings;
            EXPECT_EQ(m.level & 0x1FFEu, static_cast<unsigned int>(WARNING));
        }
    EXPECT_EQ(warnings, 1u);

    // XWorker's own debug lines come only with its flag.
    cap.clear();
    XWorker::atomicDebugFlag.store(true);
    { XWorker w; }
    XWorker::atomicDebugFlag.store(false);
    { XWorker quiet; }
    zortest::drainLogger();
    EXPECT_EQ(cap.texts().filter(QStringLiteral("XWorker::")), QStringList({"XWorker::XWorker", "XWorker::~XWorker"}));
    loggerQuit();
}
