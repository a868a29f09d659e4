// Handing a function from a worker thread to the main thread: Kernel::runInGui (a kernel event
// posted under the runner mutex) against QMetaObject::invokeMethod with a queued connection. The
// time is the latency from the worker's call until the function runs on the main thread, which
// waits in its event loop.
#include <zor/KernelTerminal.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A worker that posts one function each time it is asked.
class Poster {
public:
    explicit Poster(bool zorSide) : m_zor(zorSide), m_thread([this] { loop(); }) {}
    ~Poster() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_one();
        m_thread.join();
    }
    // Asks for one post and runs the main event loop until the function has run; the latency.
    double once() {
        m_ran.store(false);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_request = true;
        }
        m_cv.notify_one();
        while (!m_ran.load()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return std::chrono::duration<double>(m_runAt - m_postedAt).count();
    }

private:
    void loop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [this] { return m_request || m_stop; });
            if (m_stop) return;
            m_request = false;
            auto f = [this] {
                m_runAt = Clock::now();
                m_ran.store(true);
            };
            m_postedAt = Clock::now();
            if (m_zor) zor::Kernel::runInGui(f);
            else QMetaObject::invokeMethod(QCoreApplication::instance(), f, Qt::QueuedConnection);
        }
    }

    bool m_zor;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_request = false;
    bool m_stop = false;
    std::atomic<bool> m_ran{false};
    Clock::time_point m_postedAt, m_runAt;  // ordered by m_ran
    std::thread m_thread;
};

void latency(benchmark::State& state, bool zorSide) {
    Poster poster(zorSide);
    for (auto _ : state) state.SetIterationTime(poster.once());
}

}  // namespace

BENCHMARK_CAPTURE(latency, zor, true)->Name("run_in_gui_latency/zor")->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(latency, qt, false)->Name("run_in_gui_latency/QMetaObject_invokeMethod")->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    char* env[] = {nullptr};
    int appArgc = 1;
    zor::KernelTerminal app(appArgc, argv, env, false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
