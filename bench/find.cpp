// Content search over a generated corpus of prose (at least 300 MB in 2,400 files, paragraphs as
// lines separated by empty lines): which files contain one word, by zor::find (two threads and
// one) against GNU grep (grep -rlw) and ripgrep (rg -lw) run as processes; and a paragraph query
// "a & b & ~c" that neither peer can answer per paragraph, zor's time only. The corpus is written
// once to /tmp/zor_find_corpus and reused. The ratios are printed at the end (above 1: zor faster).
#include <zor/core.h>

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

const QString kCorpus = QStringLiteral("/tmp/zor_find_corpus");
constexpr int kFiles = 2400;
constexpr int kFileBytes = 132 * 1000;
const char* const kWord = "zorvanite";  // in about one file of twelve

std::vector<std::string> vocabulary(std::mt19937_64& rng) {
    std::vector<std::string> v = {"the", "of", "and", "a", "to", "in", "is", "was", "it", "for", "on", "with", "as",
                                  "his", "her", "they", "river", "stone", "night", "light", "house", "road", "water",
                                  "morning", "old", "long", "little", "under", "over", "before", "after", "again"};
    static const char* syll[] = {"ka", "ro", "mi", "tal", "en", "dor", "si", "ve", "lun", "ar", "bel", "co", "nu",
                                 "qui", "ster", "pha", "gro", "ul", "zen", "tha", "wy", "ix", "om", "pe"};
    std::uniform_int_distribution<int> n(2, 4), s(0, 23);
    while (v.size() < 8000) {
        std::string w;
        for (int i = n(rng); i > 0; --i) w += syll[s(rng)];
        v.push_back(w);
    }
    return v;
}

bool corpusReady() { return QFile::exists(kCorpus + QStringLiteral("/.complete")); }

bool makeCorpus() {
    if (corpusReady()) return true;
    QDir().mkpath(kCorpus);
    std::mt19937_64 rng(42);
    const std::vector<std::string> vocab = vocabulary(rng);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::uniform_int_distribution<int> sentenceLen(6, 20), paraLen(3, 8), endChar(0, 9);
    for (int f = 0; f < kFiles; ++f) {
        const QString sub = kCorpus + QStringLiteral("/d%1").arg(f % 40, 2, 10, QLatin1Char('0'));
        QDir().mkpath(sub);
        std::string text;
        text.reserve(kFileBytes + 4096);
        const bool rare = f % 12 == 5;
        while (text.size() < static_cast<std::size_t>(kFileBytes)) {
            for (int s = paraLen(rng); s > 0; --s) {
                for (int w = sentenceLen(rng); w > 0; --w) {
                    // Skewed towards the first words, as real prose is.
                    const double x = u(rng);
                    std::string word = vocab[static_cast<std::size_t>(x * x * x * static_cast<double>(vocab.size()))];
                    if (w == 1 && rare && u(rng) < 0.002) word = kWord;
                    text += word;
                    text += w == 1 ? "" : " ";
                }
                const int e = endChar(rng);
                text += e < 8 ? ". " : e == 8 ? "! " : "? ";
            }
            text.back() = '\n';
            text += '\n';
        }
        if (rare) text += std::string("The end of ") + kWord + ".\n";
        QFile out(sub + QStringLiteral("/text%1.txt").arg(f));
        if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            return false;
    }
    QFile done(kCorpus + QStringLiteral("/.complete"));
    return done.open(QIODevice::WriteOnly);
}

std::vector<const QFileInfo*> corpusFiles(zor::XDirInfo& scan) {
    scan.reload = true;  // walk the directory as the peers do, not from the scan cache
    scan.scan_dir(kCorpus);
    zor::XFileFilter all;
    all.setPattern(QStringLiteral("*.txt"), false);
    scan.setup_filtered_files(all, false);
    return scan.get_view_filtered_files();
}

std::size_t zorSearch(const QString& query, zor::find::XContentFilter::Scope scope, int threads) {
    zor::XDirInfo scan;
    const std::vector<const QFileInfo*> files = corpusFiles(scan);
    zor::find::XFilter filter;
    filter.setContentFilter(zor::find::XContentFilter(query, false, scope));
    return static_cast<std::size_t>(filter.search(files, threads, nullptr).files.load());
}

// Lines printed by a process (its file names).
std::size_t runPeer(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000)) return 0;
    return static_cast<std::size_t>(p.readAllStandardOutput().count('\n'));
}

std::map<std::string, std::size_t> g_found;

void files_with_word_zor(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) n = zorSearch(QString::fromLatin1(kWord) + QStringLiteral("{w}"), zor::find::XContentFilter::File,
                                       static_cast<int>(state.range(0)));
    state.counters["files"] = static_cast<double>(n);
    g_found["zor"] = n;
}
BENCHMARK(files_with_word_zor)->Name("files_with_word/zor")->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void files_with_word_grep(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) n = runPeer(QStringLiteral("grep"), {QStringLiteral("-rlw"), QString::fromLatin1(kWord), kCorpus});
    state.counters["files"] = static_cast<double>(n);
    g_found["grep"] = n;
}
BENCHMARK(files_with_word_grep)->Name("files_with_word/grep")->Unit(benchmark::kMillisecond)->UseRealTime();

void files_with_word_rg(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) n = runPeer(QStringLiteral("rg"), {QStringLiteral("-lw"), QString::fromLatin1(kWord), kCorpus});
    state.counters["files"] = static_cast<double>(n);
    g_found["rg"] = n;
}
BENCHMARK(files_with_word_rg)->Name("files_with_word/rg")->Unit(benchmark::kMillisecond)->UseRealTime();

void paragraph_query_zor(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) n = zorSearch(QStringLiteral("river & stone & ~night"), zor::find::XContentFilter::Paragraph,
                                       static_cast<int>(state.range(0)));
    state.counters["files"] = static_cast<double>(n);
}
BENCHMARK(paragraph_query_zor)->Name("paragraph_and_and_not/zor")->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the real time of every run for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // Single runs, or the median of repetitions, under the run's own name.
        for (const Run& r : runs)
            if (r.aggregate_name.empty() || r.aggregate_name == "median") times[r.run_name.str()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::fprintf(stderr, "find: preparing the corpus in %s ...\n", qPrintable(kCorpus));
    if (!makeCorpus()) {
        std::fprintf(stderr, "find: cannot write the corpus to %s\n", qPrintable(kCorpus));
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto t = [&reporter](const char* name) {
        auto it = reporter.times.find(name);
        return it == reporter.times.end() ? 0.0 : it->second;
    };
    const double zor2 = t("files_with_word/zor/2/real_time"), zor1 = t("files_with_word/zor/1/real_time");
    const double grep = t("files_with_word/grep/real_time"), rg = t("files_with_word/rg/real_time");
    if (zor2 > 0 && grep > 0) std::printf("ratio files_with_word grep/zor (2 threads): %.2fx\n", grep / zor2);
    if (zor1 > 0 && grep > 0) std::printf("ratio files_with_word grep/zor (1 thread):  %.2fx\n", grep / zor1);
    if (zor2 > 0 && rg > 0) std::printf("ratio files_with_word rg/zor (2 threads):   %.2fx\n", rg / zor2);
    for (const auto& kv : g_found) std::printf("files found by %s: %zu\n", kv.first.c_str(), kv.second);
    benchmark::Shutdown();
    return 0;
}
