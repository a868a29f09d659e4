// Many threads, pooled runnables and workers started and stopped from several threads at once.
// Its value is in the sanitizer builds (CI runs it under address and thread sanitizers): every
// hand-over of state between threads must be ordered, and nothing may leak or outlive its owner.
#include <zor/ThreadTools.h>
#include <zor/XFunctionWorker.h>
#include <zor/XLightweightThread.h>
#include <zor/XThread.h>
#include <zor/XThreadPool.h>
#include <zor/XThreadWorker.h>
#include <zor/XWorker.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace zor;

namespace {

class Spinner : public XThread {
public:
    ~Spinner() override { stopJoin(); }
    std::atomic<int> runs{0};

protected:
    void run() override {
        ++runs;
        while (isRunning()) xSleep(1);
    }
};

class Once : public XLightweightThread {
public:
    explicit Once(std::atomic<int>* done) : m_done(done) {}

protected:
    void runCustom() override { ++*m_done; }

private:
    std::atomic<int>* m_done;
};

class Tick : public XWorker {
public:
    std::atomic<int> calls{0};
    int work() override {
        ++calls;
        xSleep(1);
        return 0;
    }
};

}  // namespace

TEST(Stress, ThreadsPoolsAndWorkersFromSeveralThreads) {
    constexpr int kDrivers = 4;
    constexpr int kRounds = 25;
    std::atomic<int> lwDone{0}, fnDone{0};
    std::atomic<int> threadRuns{0};
    XThreadPool pool;
    pool.setMaxThreadCount(4);

    // One XThread shared by all drivers: concurrent start/stop/stopJoin must stay consistent.
    Spinner shared;

    std::vector<std::thread> drivers;
    for (int d = 0; d < kDrivers; ++d) {
        drivers.emplace_back([&, d] {
            for (int r = 0; r < kRounds; ++r) {
                Spinner own;
                own.start();
                shared.start();
                for (int i = 0; i < 10; ++i) pool.start([&fnDone] { ++fnDone; });
                pool.start_lwThread(new Once(&lwDone), true);

                XFunctionWorker fw;
                fw.startThreadInitial();
                std::atomic<int> fwCalls{0};
                if ((r + d) % 2 == 0)
                    fw.setWorker([&fwCalls] {
                        ++fwCalls;
                        xSleep(1);
                        return 0;
                    });

                XThreadWorker tw;
                Tick tick;
                tw.startThreadInitial();
                if ((r + d) % 3 != 0) tw.setWorker(&tick);

                if (r % 2 == 0) shared.stop();
                own.stopJoin();
                threadRuns += own.runs.load();
                if (r % 5 == 0) shared.stopJoin();

                fw.stopThread();
                EXPECT_TRUE(fw.waitFinished(10000));
                tw.stopThread(10000);
                EXPECT_TRUE(tw.wait(10000));
            }
        });
    }
    for (auto& t : drivers) t.join();
    shared.stopJoin();
    pool.waitForDone();

    EXPECT_EQ(threadRuns.load(), kDrivers * kRounds);
    EXPECT_EQ(fnDone.load(), kDrivers * kRounds * 10);
    EXPECT_EQ(lwDone.load(), kDrivers * kRounds);
    EXPECT_GE(shared.runs.load(), 1);
    EXPECT_FALSE(shared.isRunning());
}

TEST(Stress, GlobalPoolFunctionsFromSeveralThreads) {
    std::atomic<int> n{0};
    std::vector<std::thread> submitters;
    for (int d = 0; d < 4; ++d)
        submitters.emplace_back([&n] {
            for (int i = 0; i < 500; ++i) XThreadPool::start_function_global([&n] { ++n; });
        });
    for (auto& t : submitters) t.join();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(n.load(), 2000);
}
