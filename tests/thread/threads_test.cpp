// Threads, pool, workers and their state texts.
#include <zor/BaseThreadState.h>
#include <zor/ThreadTools.h>
#include <zor/XFunctionWorker.h>
#include <zor/XThread.h>
#include <zor/XThreadPool.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace zor;

namespace {
class Loop : public XThread {
public:
    ~Loop() override { stopJoin(); }
    std::atomic<int> runs{0};

protected:
    void run() override {
        ++runs;
        while (isRunning()) xSleep(1);
    }
};
}  // namespace

TEST(XThread, LifeCycleRestartOnlyAfterJoinAndTexts) {
    Loop t;
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED}"));
    t.start();
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED | RUNNING}"));
    t.start();  // running: nothing happens
    t.stop();
    while (!t.isFinished()) xSleep(1);
    t.start();  // finished, not joined: nothing happens
    t.join();
    EXPECT_EQ(t.AbstractThread::toString(), QStringLiteral("{INITIALIZED | FINISHED | JOINED}"));
    EXPECT_EQ(t.runs.load(), 1);
    t.start();
    t.stopJoin();
    EXPECT_EQ(t.runs.load(), 2);
    EXPECT_EQ(t.toString(), QStringLiteral("XTHREAD [%1]").arg(t.threadID()));
}

TEST(BaseThreadState, TextOfTheSetStates) {
    BaseThreadState s;
    EXPECT_EQ(s.toString(), QString());
    s.set_running(true);
    s.set_error(true);
    EXPECT_EQ(s.toString(), QStringLiteral("RUNNING | ERROR"));
}

TEST(XThreadPool, ManyFunctionsAndAWorkerWokenByWork) {
    XThreadPool pool;
    std::atomic<int> n{0};
    for (int i = 0; i < 200; ++i) pool.start([&n] { ++n; });
    EXPECT_EQ(pool.start(std::function<void()>()), nullptr);
    pool.waitForDone();
    EXPECT_EQ(n.load(), 200);

    XFunctionWorker w;
    w.startThreadInitial();
    EXPECT_FALSE(w.isWorking());
    std::atomic<int> calls{0};
    w.setWorker([&calls] {
        ++calls;
        xSleep(1);
        return 0;
    });
    while (calls.load() < 3) xSleep(1);
    w.stopThread();
    EXPECT_TRUE(w.waitFinished(10000));
}
