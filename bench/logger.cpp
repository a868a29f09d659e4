// The logger core against spdlog's asynchronous logger, both delivering to a sink that only
// counts (no I/O), with an equivalent message ("XmlLoader::parse, item 17 took 3.250000 ms for
// 'config/settings.xml'").
//   logger_call/IMPL/T:       cost of one log call on the calling thread (T threads logging),
//                             with the median and 99th percentile of single calls as counters.
//   logger_throughput/IMPL/T: messages delivered per second while T threads log flat out.
#include <zor/CommandLine.h>
#include <zor/Logger.h>

#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <time.h>
#include <vector>

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

void waitFor(std::atomic<unsigned long long>& counter, unsigned long long target) {
    while (counter.load(std::memory_order_relaxed) < target) std::this_thread::yield();
}

// Per-call cost: batches of calls, each call timed; between batches the sink catches up (not timed).
template <bool Zor>
void callCost(benchmark::State& state) {
    constexpr int kBatch = 2000;
    const int threads = static_cast<int>(state.range(0));
    if (Zor) startZor();
    else spd();
    auto& counter = Zor ? g_zorCount : g_spdCount;
    std::vector<long long> samples;
    samples.reserve(static_cast<size_t>(kBatch) * threads * 64);
    std::mutex samplesMutex;
    for (auto _ : state) {
        const unsigned long long target = counter.load() + static_cast<unsigned long long>(kBatch) * threads;
        std::atomic<long long> busyNs{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&] {
                std::vector<long long> mine;
                mine.reserve(kBatch);
                long long sum = 0;
                for (int i = 0; i < kBatch; ++i) {
                    const long long a = nowNs();
                    if (Zor) zorLog(i);
                    else spdLog(i);
                    const long long d = nowNs() - a;
                    mine.push_back(d);
                    sum += d;
                }
                busyNs += sum;
                std::lock_guard<std::mutex> lock(samplesMutex);
                if (samples.size() < samples.capacity()) samples.insert(samples.end(), mine.begin(), mine.end());
            });
        for (auto& th : pool) th.join();
        waitFor(counter, target);
        state.SetIterationTime(static_cast<double>(busyNs.load()) / threads / 1e9 / kBatch);
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["p50_ns"] = static_cast<double>(samples[samples.size() / 2]);
        state.counters["p99_ns"] = static_cast<double>(samples[samples.size() * 99 / 100]);
    }
}

// Throughput: T threads log kPerThread messages each; the time runs until the sink has them all.
template <bool Zor>
void throughput(benchmark::State& state) {
    constexpr int kPerThread = 50000;
    const int threads = static_cast<int>(state.range(0));
    if (Zor) startZor();
    else spd();
    auto& counter = Zor ? g_zorCount : g_spdCount;
    for (auto _ : state) {
        const unsigned long long target = counter.load() + static_cast<unsigned long long>(kPerThread) * threads;
        const long long begin = nowNs();
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([] {
                for (int i = 0; i < kPerThread; ++i) {
                    if (Zor) zorLog(i);
                    else spdLog(i);
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
BENCHMARK_TEMPLATE(throughput, false)->Name("logger_throughput/spdlog")->Arg(1)->Arg(4)->UseManualTime()->Iterations(20);

BENCHMARK_MAIN();
