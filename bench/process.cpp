// Child processes and shared memory: starting and waiting for /bin/true through XProcess against a
// plain QProcess, and exchanging a 64 MiB buffer through XSharedMemory (writeMem then readMem into
// an XMem) against QSharedMemory with lock, memcpy and unlock in both directions.
#include <zor/XMem.h>
#include <zor/XProcess.h>
#include <zor/XSharedMemory.h>

#include <benchmark/benchmark.h>

#include <QProcess>
#include <QSharedMemory>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStarts = 200;
constexpr int kShmSize = 64 * 1024 * 1024;

void start_zor(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < kStarts; ++i) {
            zor::XProcess p;
            p.start(QStringLiteral("/bin/true"), QStringList());
            benchmark::DoNotOptimize(p.waitForFinished(-1));
        }
    }
    state.SetItemsProcessed(state.iterations() * kStarts);
}
BENCHMARK(start_zor)->Name("process_start_200/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void start_qprocess(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < kStarts; ++i) {
            QProcess p;
            p.start(QStringLiteral("/bin/true"), QStringList());
            benchmark::DoNotOptimize(p.waitForFinished(-1));
        }
    }
    state.SetItemsProcessed(state.iterations() * kStarts);
}
BENCHMARK(start_qprocess)->Name("process_start_200/QProcess")->Unit(benchmark::kMillisecond)->UseRealTime();

QString shmKey(const char* what) { return QStringLiteral("zor-bench-%1-%2").arg(QLatin1String(what)).arg(::getpid()); }

void shm_zor(benchmark::State& state) {
    zor::XMem src(kShmSize, 0x5a);
    zor::XMem dest(kShmSize);
    zor::XSharedMemory shm(shmKey("zor"));
    if (!shm.writeCreateMem(src)) {
        state.SkipWithError("cannot create the shared block");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(shm.writeMem(src));
        benchmark::DoNotOptimize(shm.readMem(dest));
    }
    state.SetBytesProcessed(state.iterations() * 2LL * kShmSize);
}
BENCHMARK(shm_zor)->Name("shm_exchange_64MB/zor")->Unit(benchmark::kMillisecond);

void shm_qt(benchmark::State& state) {
    std::vector<char> src(kShmSize, 0x5a);
    std::vector<char> dest(kShmSize);
    QSharedMemory shm(shmKey("qt"));
    if (!shm.create(kShmSize)) {
        state.SkipWithError("cannot create the shared block");
        return;
    }
    for (auto _ : state) {
        shm.lock();
        std::memcpy(shm.data(), src.data(), kShmSize);
        shm.unlock();
        shm.lock();
        std::memcpy(dest.data(), shm.constData(), kShmSize);
        shm.unlock();
        benchmark::DoNotOptimize(dest.data());
    }
    state.SetBytesProcessed(state.iterations() * 2LL * kShmSize);
}
BENCHMARK(shm_qt)->Name("shm_exchange_64MB/QSharedMemory")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
