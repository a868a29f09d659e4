// Threads: running many small functions through XThreadPool::start against the same work given to
// QThreadPool directly (Qt 5.15's start(std::function)) and to std::async; and the wake-up of a
// sleeping XFunctionWorker by new work against a plain std::thread woken by a condition variable.
#include <zor/XFunctionWorker.h>
#include <zor/XThreadPool.h>

#include <benchmark/benchmark.h>

#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kFunctions = 10000;

// A small piece of work: enough that it cannot be optimised away, far less than a scheduling step.
inline void smallWork(std::atomic<long long>& sum, int i) {
    long long x = i;
    for (int k = 0; k < 16; ++k) x = x * 6364136223846793005LL + 1442695040888963407LL;
    sum.fetch_add(x & 0xFF, std::memory_order_relaxed);
}

void pool_zor(benchmark::State& state) {
    zor::XThreadPool pool;
    pool.setMaxThreadCount(static_cast<int>(std::thread::hardware_concurrency()));
    std::atomic<long long> sum{0};
    for (auto _ : state) {
        for (int i = 0; i < kFunctions; ++i) pool.start([&sum, i] { smallWork(sum, i); });
        pool.waitForDone();
    }
    benchmark::DoNotOptimize(sum.load());
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kFunctions);
}
BENCHMARK(pool_zor)->Name("pool/zor_XThreadPool")->Unit(benchmark::kMicrosecond)->UseRealTime();

void pool_qt(benchmark::State& state) {
    QThreadPool pool;
    pool.setMaxThreadCount(static_cast<int>(std::thread::hardware_concurrency()));
    std::atomic<long long> sum{0};
    for (auto _ : state) {
        for (int i = 0; i < kFunctions; ++i) pool.start(std::function<void()>([&sum, i] { smallWork(sum, i); }));
        pool.waitForDone();
    }
    benchmark::DoNotOptimize(sum.load());
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kFunctions);
}
BENCHMARK(pool_qt)->Name("pool/QThreadPool")->Unit(benchmark::kMicrosecond)->UseRealTime();

void pool_async(benchmark::State& state) {
    std::atomic<long long> sum{0};
    std::vector<std::future<void>> futures;
    futures.reserve(kFunctions);
    for (auto _ : state) {
        for (int i = 0; i < kFunctions; ++i)
            futures.push_back(std::async(std::launch::async, [&sum, i] { smallWork(sum, i); }));
        for (auto& f : futures) f.wait();
        futures.clear();
    }
    benchmark::DoNotOptimize(sum.load());
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kFunctions);
}
BENCHMARK(pool_async)->Name("pool/std_async")->Unit(benchmark::kMicrosecond)->UseRealTime();

// The way back is the same for both wake-up variants: the woken thread reports on a condition
// variable the measuring thread waits on.
struct Done {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    void signal() {
        {
            std::lock_guard<std::mutex> lock(m);
            done = true;
        }
        cv.notify_one();
    }
    void wait() {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [this] { return done; });
        done = false;
    }
};

void wake_worker(benchmark::State& state) {
    zor::XFunctionWorker w;
    Done back;
    w.startThreadInitial();
    std::function<int()> once = [&] {
        w.setWorker(std::function<int()>());  // one call per wake-up, then back to sleep
        back.signal();
        return 0;
    };
    for (auto _ : state) {
        w.setWorker(once);
        back.wait();
    }
    w.stopThread();
    w.waitFinished(10000);
}
BENCHMARK(wake_worker)->Name("wake/zor_XFunctionWorker")->Unit(benchmark::kMicrosecond)->UseRealTime();

void wake_cv(benchmark::State& state) {
    std::mutex m;
    std::condition_variable cv;
    bool work = false, stop = false;
    Done back;
    std::thread t([&] {
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            cv.wait(lock, [&] { return work || stop; });
            if (stop) return;
            work = false;
            back.signal();
        }
    });
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> lock(m);
            work = true;
        }
        cv.notify_one();
        back.wait();
    }
    {
        std::lock_guard<std::mutex> lock(m);
        stop = true;
    }
    cv.notify_one();
    t.join();
}
BENCHMARK(wake_cv)->Name("wake/std_condition_variable")->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
