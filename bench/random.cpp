// MersenneTwister::genrand_int32 against std::mt19937 (the same MT19937) and a seeded
// QRandomGenerator: a million 32-bit outputs per iteration, summed so none is optimised away.
#include <zor/MersenneTwister.h>

#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <cstdint>
#include <random>

namespace {

constexpr int kCount = 1000000;

void random_zor(benchmark::State& state) {
    zor::MersenneTwister mt;
    mt.init_genrand(5489);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int i = 0; i < kCount; ++i) sum += mt.genrand_int32();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(random_zor)->Name("mt19937/zor")->Unit(benchmark::kMillisecond);

void random_std(benchmark::State& state) {
    std::mt19937 mt(5489);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int i = 0; i < kCount; ++i) sum += static_cast<std::uint32_t>(mt());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(random_std)->Name("mt19937/std_mt19937")->Unit(benchmark::kMillisecond);

void random_qt(benchmark::State& state) {
    QRandomGenerator rng(5489u);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int i = 0; i < kCount; ++i) sum += rng.generate();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(random_qt)->Name("mt19937/QRandomGenerator")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
