// Tasks: states, error names, time-outs, waiting on the work and progress on the main thread.
#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/Wait.h"

#include <zor/AbstractTask.h>
#include <zor/Logger.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

using namespace zor;

namespace {

// Counts to `steps`, reporting progress, until cancelled or out of time.
class CountingTask : public AbstractTask {
public:
    void run(int steps, int msPerStep) {
        setTaskState(BUSY);
        stopwatch().start();
        setFuture(std::async(std::launch::async, [this, steps, msPerStep] {
            for (int i = 1; i <= steps; ++i) {
                if (isCancelled()) break;
                if (timeout() != 0 && timeIsUP()) {
                    setError(TIMEOUT);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(msPerStep));
                fireProgress(static_cast<unsigned int>(i * 100 / steps));
            }
            fireProgressString(isError() ? errorAsString() : QStringLiteral("done"));
            finish();
        }));
    }
};

}  // namespace

TEST(Task, ErrorNamesAndStates) {
    const char* names[] = {"TIMEOUT", "SIZE", "MEMORY", "FILE_NOT_FOUND", "READ", "READ_RESOURCE", "READ_EOF",
                           "WRITE", "PARSER", "CANCEL"};
    for (unsigned int code = 1; code <= 10; ++code) EXPECT_EQ(AbstractTask::errorToString(code), QLatin1String(names[code - 1]));
    EXPECT_EQ(AbstractTask::errorToString(11), QStringLiteral("UNKNOWN-TASK-ERROR:11"));
    EXPECT_EQ(AbstractTask::errorToString(0), QStringLiteral("UNKNOWN-TASK-ERROR:0"));

    CountingTask t;
    EXPECT_TRUE(t.isInitialized());
    EXPECT_EQ(t.toString(), QStringLiteral("TASK is initialized"));
    EXPECT_TRUE(t.timeIsUP()) << "a time-out of 0 is always up";
    EXPECT_FALSE(t.wait_for_milliseconds(1)) << "no work to wait for";
    t.setCancel();
    EXPECT_TRUE(t.isCancelled());
    EXPECT_TRUE(t.isError());
    EXPECT_EQ(t.errorAsString(), QStringLiteral("CANCEL"));
}

TEST(Task, FinishesFailsTimesOutAndIsCancelled) {
    zortest::LogCapture cap;

    CountingTask ok;
    ok.run(3, 1);
    EXPECT_TRUE(ok.isBusy() || ok.isFinished());
    ASSERT_TRUE(ok.wait_for_milliseconds(zortest::kWaitBoundMs));
    EXPECT_TRUE(ok.isFinished());
    EXPECT_TRUE(ok.isOK());
    EXPECT_EQ(ok.toString(), QStringLiteral("TASK is ready:true"));

    CountingTask failed;
    failed.run(2, 1);
    ASSERT_TRUE(failed.wait_for_milliseconds(zortest::kWaitBoundMs));
    failed.setError(AbstractTask::READ);
    EXPECT_FALSE(failed.isOK());
    EXPECT_EQ(failed.toString(), QStringLiteral("TASK is ready:true, error code:5, error: 'READ'"));

    CountingTask slow;
    slow.setTimeout(30);
    slow.run(1000, 5);
    ASSERT_TRUE(slow.wait_for_milliseconds(zortest::kWaitBoundMs));
    EXPECT_EQ(slow.error(), static_cast<unsigned int>(AbstractTask::TIMEOUT));
    // The time-out counts from the start's whole millisecond, the elapsed time in truncated
    // microseconds: the two may differ by one.
    EXPECT_GE(slow.elapsedTime() + 1, 30u);

    CountingTask cancelled;
    cancelled.run(1000, 5);
    cancelled.setCancel();
    ASSERT_TRUE(cancelled.wait_for_milliseconds(zortest::kWaitBoundMs));
    EXPECT_TRUE(cancelled.isCancelled());
    EXPECT_FALSE(cancelled.isOK());

    // A running stopwatch is never OK, and says so once per call.
    CountingTask running;
    running.stopwatch().start();
    EXPECT_FALSE(running.isOK());
    EXPECT_FALSE(running.isOK());
    zortest::drainLogger();
    int lines = 0;
    for (const auto& m : cap.messages())
        if (m.text == QLatin1String("AbstractTask::isOK(), !stopwatch.isStopped()")) {
            ++lines;
            EXPECT_NE(m.level & XERROR, 0u);
        }
    EXPECT_EQ(lines, 2);
    Logger::quit();
}

TEST(Task, ProgressReachesTheListenersOnTheMainThreadInOrder) {
    zortest::TestApp app;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<unsigned int> seen;
    QString text;
    bool allOnMain = true;
    auto task = std::make_unique<CountingTask>();
    task->progressListeners().add([&](unsigned int p) {
        allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
        seen.push_back(p);
    });
    task->progressStringListeners().add([&](QString s) {
        text = s;
        app.quit();
    });
    task->run(10, 1);
    app.exec(zortest::kWaitBoundMs);
    ASSERT_TRUE(task->wait_for_milliseconds(zortest::kWaitBoundMs));
    EXPECT_TRUE(allOnMain);
    ASSERT_EQ(seen.size(), 10u);
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], (i + 1) * 10);
    EXPECT_EQ(text, QStringLiteral("done"));

    // Reports still queued when the task goes away are delivered without touching it.
    auto gone = std::make_unique<CountingTask>();
    int late = 0;
    gone->progressListeners().add([&](unsigned int) { ++late; });
    gone->run(3, 0);
    ASSERT_TRUE(gone->wait_for_milliseconds(zortest::kWaitBoundMs));
    gone.reset();
    app.exec(200);
    EXPECT_EQ(late, 3);
}
