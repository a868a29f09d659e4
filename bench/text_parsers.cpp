// The text parsers against what a C++ or Qt programmer would otherwise pick, on the same input:
// IntegerParser against std::from_chars and strtoll, FloatParser against strtod (and from_chars),
// Tokenizer against QString::split. Each iteration parses the whole data set.
#include <zor/FloatParser.h>
#include <zor/IntegerParser.h>
#include <zor/Tokenizer.h>

#include <benchmark/benchmark.h>

#include <QString>
#include <QRegularExpression>
#include <QStringList>
#include <charconv>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCount = 1000000;

// Zero-terminated numbers packed in one buffer, with their starts and lengths.
struct Numbers {
    std::string buffer;
    std::vector<std::size_t> start;
    std::vector<std::size_t> length;
    const char* at(std::size_t i) const { return buffer.data() + start[i]; }
};

Numbers makeIntegers() {
    std::mt19937_64 rng(42);
    Numbers n;
    n.start.reserve(kCount);
    n.length.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        long long v = 0;
        switch (rng() % 4) {
            case 0: v = static_cast<long long>(rng() % 100); break;                     // small
            case 1: v = -static_cast<long long>(rng() % 100000); break;                 // negative
            case 2: v = static_cast<long long>(rng() % 4000000000ull); break;           // 32-bit range
            default: v = static_cast<long long>(rng() >> 1) * ((rng() & 1) ? 1 : -1); break;  // 64-bit
        }
        const std::string s = std::to_string(v);
        n.start.push_back(n.buffer.size());
        n.length.push_back(s.size());
        n.buffer += s;
        n.buffer.push_back('\0');
    }
    return n;
}

Numbers makeFloats() {
    std::mt19937_64 rng(7);
    Numbers n;
    char tmp[64];
    for (int i = 0; i < kCount; ++i) {
        int len = 0;
        const double mant = static_cast<double>(rng() % 10000000) / 1000.0 * ((rng() & 1) ? 1 : -1);
        switch (rng() % 3) {
            case 0: len = std::snprintf(tmp, sizeof tmp, "%.3f", mant); break;
            case 1: len = std::snprintf(tmp, sizeof tmp, "%.6f", mant / 1000.0); break;
            default: len = std::snprintf(tmp, sizeof tmp, "%.4e", mant * 1e10); break;
        }
        n.start.push_back(n.buffer.size());
        n.length.push_back(static_cast<std::size_t>(len));
        n.buffer.append(tmp, static_cast<std::size_t>(len));
        n.buffer.push_back('\0');
    }
    return n;
}

const Numbers& integers() {
    static const Numbers n = makeIntegers();
    return n;
}
const Numbers& floats() {
    static const Numbers n = makeFloats();
    return n;
}

void int_zor(benchmark::State& state) {
    const Numbers& n = integers();
    for (auto _ : state) {
        long long sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) sum += zor::IntegerParser::stoi(n.at(i));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(int_zor)->Name("int_parse/zor")->Unit(benchmark::kMillisecond);

void int_from_chars(benchmark::State& state) {
    const Numbers& n = integers();
    for (auto _ : state) {
        long long sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) {
            long long v = 0;
            std::from_chars(n.at(i), n.at(i) + n.length[i], v);
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(int_from_chars)->Name("int_parse/from_chars")->Unit(benchmark::kMillisecond);

void int_strtoll(benchmark::State& state) {
    const Numbers& n = integers();
    for (auto _ : state) {
        long long sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) sum += std::strtoll(n.at(i), nullptr, 10);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(int_strtoll)->Name("int_parse/strtoll")->Unit(benchmark::kMillisecond);

void float_zor(benchmark::State& state) {
    const Numbers& n = floats();
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) sum += zor::FloatParser::stof(n.at(i));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(float_zor)->Name("float_parse/zor")->Unit(benchmark::kMillisecond);

void float_strtod(benchmark::State& state) {
    const Numbers& n = floats();
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) sum += std::strtod(n.at(i), nullptr);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(float_strtod)->Name("float_parse/strtod")->Unit(benchmark::kMillisecond);

void float_from_chars(benchmark::State& state) {
    const Numbers& n = floats();
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < n.start.size(); ++i) {
            double v = 0;
            std::from_chars(n.at(i), n.at(i) + n.length[i], v);
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(float_from_chars)->Name("float_parse/from_chars")->Unit(benchmark::kMillisecond);

// A large delimited text: a million fields of mixed length separated by commas.
const QString& delimitedText() {
    static const QString text = [] {
        std::mt19937 rng(3);
        QString t;
        for (int i = 0; i < kCount; ++i) {
            t += QString::number(rng() % 100000);
            t += QStringLiteral("field");
            t += QLatin1Char(',');
        }
        return t;
    }();
    return text;
}

void tokenize_zor(benchmark::State& state) {
    const QString& text = delimitedText();
    for (auto _ : state) {
        zor::Tokenizer t(text, QStringLiteral(","), false);
        benchmark::DoNotOptimize(t.size());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(tokenize_zor)->Name("tokenize/zor")->Unit(benchmark::kMillisecond);

void tokenize_split(benchmark::State& state) {
    const QString& text = delimitedText();
    for (auto _ : state) {
        const QStringList l = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
        benchmark::DoNotOptimize(l.size());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(tokenize_split)->Name("tokenize/QString_split")->Unit(benchmark::kMillisecond);

// Several delimiters: the zor tokenizer's table against splitting by a character class.
void tokenize_multi_zor(benchmark::State& state) {
    const QString& text = delimitedText();
    for (auto _ : state) {
        zor::Tokenizer t(text, QStringLiteral(",;d"), false);
        benchmark::DoNotOptimize(t.size());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(tokenize_multi_zor)->Name("tokenize_multi/zor")->Unit(benchmark::kMillisecond);

void tokenize_multi_regexp(benchmark::State& state) {
    const QString& text = delimitedText();
    const QRegularExpression re(QStringLiteral("[,;d]"));
    for (auto _ : state) {
        const QStringList l = text.split(re, Qt::SkipEmptyParts);
        benchmark::DoNotOptimize(l.size());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(tokenize_multi_regexp)->Name("tokenize_multi/QString_split_regexp")->Unit(benchmark::kMillisecond);

}  // namespace

// Each tokenizer run allocates and frees a million strings. glibc adapts its trim and mmap
// thresholds to the frees it has seen, so without fixed thresholds whichever benchmark runs after
// a given allocation history pays for faulting the heap in again on every iteration. Fixed
// thresholds give every implementation the same allocator.
int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
