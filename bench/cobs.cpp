// COBS framing over 64 MiB: frame + unframe of the same bytes, against memcpy of those bytes
// (twice, one copy each way) as the floor of any framing that has to move the data. Random bytes
// hold a zero about every 256 bytes, as binary messages do.
#include <zor/ArrayTools.h>

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <cstring>

namespace {

constexpr int kSize = 64 * 1024 * 1024;

const QByteArray& input() {
    static const QByteArray data = [] {
        QByteArray d(kSize, Qt::Uninitialized);
        unsigned int x = 88172645u;
        for (int i = 0; i < kSize; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            d[i] = static_cast<char>(x >> 7);
        }
        return d;
    }();
    return data;
}

void cobs_zor(benchmark::State& state) {
    const QByteArray& d = input();
    for (auto _ : state) {
        const QByteArray framed = zor::ArrayTools::frameQByteArray(d);
        const QByteArray back = zor::ArrayTools::unFrameQByteArray(framed);
        if (back.size() != d.size()) state.SkipWithError("round trip lost bytes");
        benchmark::DoNotOptimize(back.constData());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * d.size());
}
BENCHMARK(cobs_zor)->Name("cobs/zor")->Unit(benchmark::kMillisecond);

void cobs_memcpy(benchmark::State& state) {
    const QByteArray& d = input();
    for (auto _ : state) {
        QByteArray there(d.size(), Qt::Uninitialized);
        std::memcpy(there.data(), d.constData(), static_cast<size_t>(d.size()));
        QByteArray back(there.size(), Qt::Uninitialized);
        std::memcpy(back.data(), there.constData(), static_cast<size_t>(there.size()));
        benchmark::DoNotOptimize(back.constData());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * d.size());
}
BENCHMARK(cobs_memcpy)->Name("cobs/memcpy")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
