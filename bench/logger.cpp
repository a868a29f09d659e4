// The logger core against spdlog's asynchronous logger, both delivering to a sink that only
// counts (no I/O), with an equivalent message ("XmlLoader::parse, item 17 took 3.250000 ms for
// 'config/settings.xml'").
//   logger_call/IMPL/T:       cost of one log call on the calling thread (T threads logging). Every
//                             call is timed on its own with the time-stamp counter (fenced reads on
//                             both sides, converted to ns); the time is the mean, p50_ns and p99_ns
//                             are percentiles over all calls of the run, timer_ns the median of an
//                             empty timed region (included in every sample, not subtracted).
//   logger_throughput/IMPL/T: messages delivered to the sink per second while T threads log flat
//                             out (the clock stops when the sink has counted the last one).
#include <zor/CommandLine.h>
#include <zor/Logger.h>

#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <time.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>
#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace {

const QString kName = QStringLiteral("config/settings.xml");
const std::string kNameStd = "config/settings.xml";

std::atomic<unsigned long long> g_zorCount{0};
std::atomic<unsigned long long> g_spdCount{0};

class CountingAppender : public zor::Appender {
public:
    void append(zor::LogMessage*) override { g_zorCount.fetch_add(1, std::memory_order_relaxed); }
};

template <typename Mutex>
class CountingSink : public spdlog::sinks::base_sink<Mutex> {
protected:
    void sink_it_(const spdlog::details::log_msg&) override { g_spdCount.fetch_add(1, std::memory_order_relaxed); }
    void flush_() override {}
};

void startZor() {
    static std::once_flag once;
    std::call_once(once, [] {
        static CountingAppender appender;
        QList<zor::Appender*> list{&appender};
        zor::Logger::ini(zor::CommandLine(), &list, zor::LOG_LEVEL_ALL);
        zor::Logger::atomicFlagDeleteMessage = true;  // a long-running program: nothing is kept
    });
}

std::shared_ptr<spdlog::logger> spd() {
    static std::shared_ptr<spdlog::logger> logger = [] {
        spdlog::init_thread_pool(8192, 1);
        auto sink = std::make_shared<CountingSink<spdlog::details::null_mutex>>();
        return std::make_shared<spdlog::async_logger>("bench", sink, spdlog::thread_pool(),
                                                      spdlog::async_overflow_policy::block);
    }();
    return logger;
}

inline void zorLog(int i) { zor::logInfo("XmlLoader::parse, item $ took $ ms for '$'", i, 3.25, kName); }
inline void spdLog(int i) { spd()->info("XmlLoader::parse, item {} took {:.6f} ms for '{}'", i, 3.25, kNameStd); }

inline long long nowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000ll + ts.tv_nsec;
}

#if defined(__x86_64__) || defined(__i386__)
// The counter read before a timed call: earlier instructions are done before it is read.
inline unsigned long long stampBefore() {
    _mm_lfence();
    const unsigned long long t = __rdtsc();
    _mm_lfence();
    return t;
}
// The counter read after a timed call: waits until the call's instructions are done.
inline unsigned long long stampAfter() {
    unsigned int aux;
    const unsigned long long t = __rdtscp(&aux);
    _mm_lfence();
    return t;
}
inline unsigned long long ticks() { return __rdtsc(); }
#else
inline unsigned long long stampBefore() { return static_cast<unsigned long long>(nowNs()); }
inline unsigned long long stampAfter() { return static_cast<unsigned long long>(nowNs()); }
inline unsigned long long ticks() { return static_cast<unsigned long long>(nowNs()); }
#endif

// Nanoseconds per counter tick, measured once against the monotonic clock.
double nsPerTick() {
    static const double rate = [] {
        const long long n0 = nowNs();
        const unsigned long long t0 = ticks();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long long n1 = nowNs();
        const unsigned long long t1 = ticks();
        return static_cast<double>(n1 - n0) / static_cast<double>(t1 - t0);
    }();
    return rate;
}

void waitFor(std::atomic<unsigned long long>& counter, unsigned long long target) {
    while (counter.load(std::memory_order_relaxed) < target) std::this_thread::yield();
}

// Per-call cost: batches of calls, each call timed; between batches the sink catches up (not timed).
template <bool Zor>
void callCost(benchmark::State& state) {
    constexpr int kBatch = 2000;
    const int threads = static_cast<int>(state.range(0));
    if (Zor)
        startZor();
    else
        spd();
    const double rate = nsPerTick();
    auto& counter = Zor ? g_zorCount : g_spdCount;
    std::vector<unsigned int> samples;  // ticks, every call of the run
    std::mutex samplesMutex;
    for (auto _ : state) {
        const unsigned long long target = counter.load() + static_cast<unsigned long long>(kBatch) * threads;
        std::atomic<unsigned long long> busyTicks{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&] {
                std::vector<unsigned int> mine(kBatch);
                unsigned long long sum = 0;
                for (int i = 0; i < kBatch; ++i) {
                    const unsigned long long a = stampBefore();
                    if (Zor)
                        zorLog(i);
                    else
                        spdLog(i);
                    const unsigned long long d = stampAfter() - a;
                    mine[static_cast<size_t>(i)] = static_cast<unsigned int>(std::min<unsigned long long>(d, ~0u));
                    sum += d;
                }
                busyTicks += sum;
                std::lock_guard<std::mutex> lock(samplesMutex);
                samples.insert(samples.end(), mine.begin(), mine.end());
            });
        for (auto& th : pool) th.join();
        waitFor(counter, target);
        state.SetIterationTime(static_cast<double>(busyTicks.load()) * rate / threads / 1e9 / kBatch);
    }
    // The cost of the timing itself: an empty timed region, on this thread.
    std::vector<unsigned int> empty(100000);
    for (auto& e : empty) {
        const unsigned long long a = stampBefore();
        e = static_cast<unsigned int>(stampAfter() - a);
    }
    std::nth_element(empty.begin(), empty.begin() + static_cast<std::ptrdiff_t>(empty.size() / 2), empty.end());
    state.counters["timer_ns"] = empty[empty.size() / 2] * rate;
    if (!samples.empty()) {
        auto at = [&](size_t k) {
            std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(k), samples.end());
            return samples[k] * rate;
        };
        state.counters["p50_ns"] = at(samples.size() / 2);
        state.counters["p99_ns"] = at(samples.size() * 99 / 100);
    }
}

// Throughput: T threads log kPerThread messages each; the time runs until the sink has them all.
template <bool Zor>
void throughput(benchmark::State& state) {
    constexpr int kPerThread = 50000;
    const int threads = static_cast<int>(state.range(0));
    if (Zor)
        startZor();
    else
        spd();
    auto& counter = Zor ? g_zorCount : g_spdCount;
    for (auto _ : state) {
        const unsigned long long target = counter.load() + static_cast<unsigned long long>(kPerThread) * threads;
        const long long begin = nowNs();
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([] {
                for (int i = 0; i < kPerThread; ++i) {
                    if (Zor)
                        zorLog(i);
                    else
                        spdLog(i);
                }
            });
        for (auto& th : pool) th.join();
        waitFor(counter, target);
        state.SetIterationTime(static_cast<double>(nowNs() - begin) / 1e9);
    }
    state.SetItemsProcessed(state.iterations() * kPerThread * threads);
}

}  // namespace

BENCHMARK_TEMPLATE(callCost, true)->Name("logger_call/zor")->Arg(1)->Arg(4)->UseManualTime()->Iterations(200);
BENCHMARK_TEMPLATE(callCost, false)->Name("logger_call/spdlog")->Arg(1)->Arg(4)->UseManualTime()->Iterations(200);
BENCHMARK_TEMPLATE(throughput, true)->Name("logger_throughput/zor")->Arg(1)->Arg(4)->UseManualTime()->Iterations(20);
BENCHMARK_TEMPLATE(throughput, false)
    ->Name("logger_throughput/spdlog")
    ->Arg(1)
    ->Arg(4)
    ->UseManualTime()
    ->Iterations(20);

BENCHMARK_MAIN();
