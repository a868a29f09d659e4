// Content search, as a user runs it: the zor program against ripgrep and GNU grep, each a process
// of its own started the same way, with the machine's thread count (the default of zor and rg),
// on a warm page cache (one untimed run first). Two questions on two trees:
//   files_with_word  which files contain one word:   zor find --query W{w} --list true | rg -lw W | grep -rlw W
//   lines_with_word  every line with it, into a file: zor find --query W{w} --summary false | rg -nw W | grep -rnw W
// The trees: a generated corpus of prose (2,400 files of 132 kB, /tmp/zor_find_corpus; the word in
// one file of twelve), and a copy of /usr/share/doc made once into /tmp/zor_find_doc (its regular
// files only: a symbolic link would be searched by zor and passed over by the peers). Both are made
// by the first run that needs them; their files and bytes are shown as counters. paragraph_and_and_not
// times zor's library alone on a paragraph query that neither peer can answer.
#include <zor/core.h>

#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <random>
#include <string>

namespace {

const QString kCorpus = QStringLiteral("/tmp/zor_find_corpus");
const QString kDoc = QStringLiteral("/tmp/zor_find_doc");
const QString kDocSource = QStringLiteral("/usr/share/doc");
constexpr int kFiles = 2400;
constexpr int kFileBytes = 132 * 1000;
const char* const kCorpusWord = "zorvanite";  // in about one file of twelve
const char* const kDocWord = "license";

QString g_zor;  // the zor program beside this one

std::vector<std::string> vocabulary(std::mt19937_64& rng) {
    std::vector<std::string> v = {"the",   "of",    "and",    "a",     "to",    "in",     "is",    "was",
                                  "it",    "for",   "on",     "with",  "as",    "his",    "her",   "they",
                                  "river", "stone", "night",  "light", "house", "road",   "water", "morning",
                                  "old",   "long",  "little", "under", "over",  "before", "after", "again"};
    static const char* syll[] = {"ka", "ro",  "mi",   "tal", "en",  "dor", "si",  "ve",  "lun", "ar", "bel", "co",
                                 "nu", "qui", "ster", "pha", "gro", "ul",  "zen", "tha", "wy",  "ix", "om",  "pe"};
    std::uniform_int_distribution<int> n(2, 4), s(0, 23);
    while (v.size() < 8000) {
        std::string w;
        for (int i = n(rng); i > 0; --i) w += syll[s(rng)];
        v.push_back(w);
    }
    return v;
}

// A finished tree has a marker with its files and bytes ("files bytes").
QString marker(const QString& tree) { return tree + QStringLiteral("/.complete"); }

bool writeMarker(const QString& tree, long long files, long long bytes) {
    QFile done(marker(tree));
    return done.open(QIODevice::WriteOnly) &&
           done.write(QByteArray::number(files) + ' ' + QByteArray::number(bytes)) > 0;
}

// The files and bytes of a finished tree ({0, 0} when it is not there); a marker without them (an
// older corpus) is completed by counting once.
std::pair<double, double> treeSize(const QString& tree) {
    QFile f(marker(tree));
    if (!f.open(QIODevice::ReadOnly)) return {0, 0};
    const QList<QByteArray> parts = f.readAll().split(' ');
    f.close();
    if (parts.size() == 2) return {parts[0].toDouble(), parts[1].toDouble()};
    long long files = 0, bytes = 0;
    QDirIterator it(tree, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++files;
        bytes += it.fileInfo().size();
    }
    writeMarker(tree, files, bytes);
    return {static_cast<double>(files), static_cast<double>(bytes)};
}

bool makeCorpus() {
    if (QFile::exists(marker(kCorpus))) return true;
    QDir().mkpath(kCorpus);
    std::mt19937_64 rng(42);
    const std::vector<std::string> vocab = vocabulary(rng);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::uniform_int_distribution<int> sentenceLen(6, 20), paraLen(3, 8), endChar(0, 9);
    long long bytes = 0;
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
                    if (w == 1 && rare && u(rng) < 0.002) word = kCorpusWord;
                    text += word;
                    text += w == 1 ? "" : " ";
                }
                const int e = endChar(rng);
                text += e < 8 ? ". " : e == 8 ? "! " : "? ";
            }
            text.back() = '\n';
            text += '\n';
        }
        if (rare) text += std::string("The end of ") + kCorpusWord + ".\n";
        QFile out(sub + QStringLiteral("/text%1.txt").arg(f));
        const auto size = static_cast<qint64>(text.size());
        if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), size) != size) return false;
        bytes += size;
    }
    return writeMarker(kCorpus, kFiles, bytes);
}

// The regular files of /usr/share/doc, copied once (links are neither copied nor followed).
bool makeDocCopy() {
    if (QFile::exists(marker(kDoc))) return true;
    if (!QFileInfo(kDocSource).isDir()) return false;
    long long files = 0, bytes = 0;
    QDirIterator it(kDocSource, QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = kDoc + from.mid(kDocSource.size());
        QDir().mkpath(QFileInfo(to).absolutePath());
        if (!QFile::exists(to) && !QFile::copy(from, to)) continue;  // unreadable ones are left out
        ++files;
        bytes += QFileInfo(to).size();
    }
    return files > 0 && writeMarker(kDoc, files, bytes);
}

bool prepare(benchmark::State& state, const QString& tree) {
    const bool ok = tree == kCorpus ? makeCorpus() : makeDocCopy();
    if (!ok) {
        state.SkipWithError(tree == kCorpus ? "cannot write the corpus" : "no /usr/share/doc to copy");
        return false;
    }
    const auto size = treeSize(tree);
    state.counters["tree_files"] = size.first;
    state.counters["tree_MB"] = size.second / 1e6;
    return true;
}

// One run of a program; with `to` its output goes into that file, else through a pipe. The lines
// it printed, or -1 when it did not end as expected (0: found, 1: nothing found).
long long runProgram(const QString& program, const QStringList& args, const QString& to) {
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    if (!to.isEmpty()) p.setStandardOutputFile(to, QIODevice::Truncate);
    p.start(program, args);
    if (!p.waitForStarted(60000) || !p.waitForFinished(600000)) return -1;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() > 1) return -1;
    if (to.isEmpty()) return p.readAllStandardOutput().count('\n');
    QFile out(to);
    return out.open(QIODevice::ReadOnly) ? out.readAll().count('\n') : -1;
}

enum class Impl { Zor, Rg, Grep };
enum class Ask { Files, Lines };

// The command of one contender for one question.
std::pair<QString, QStringList> command(Impl impl, Ask ask, const QString& tree, const QString& word) {
    switch (impl) {
        case Impl::Zor: {
            QStringList args{QStringLiteral("find"), QStringLiteral("--dir"), tree, QStringLiteral("--query"),
                             word + QStringLiteral("{w}")};
            if (ask == Ask::Files)
                args << QStringLiteral("--list") << QStringLiteral("true");
            else
                args << QStringLiteral("--summary") << QStringLiteral("false");
            return {g_zor, args};
        }
        case Impl::Rg:
            return {QStringLiteral("rg"),
                    {ask == Ask::Files ? QStringLiteral("-lw") : QStringLiteral("-nw"), word, tree}};
        default:
            return {QStringLiteral("grep"),
                    {ask == Ask::Files ? QStringLiteral("-rlw") : QStringLiteral("-rnw"), word, tree}};
    }
}

void search(benchmark::State& state, Impl impl, Ask ask, const QString& tree, const char* word) {
    if (!prepare(state, tree)) return;
    if (impl == Impl::Zor && !QFileInfo(g_zor).isExecutable()) {
        state.SkipWithError("the zor program is not built beside this benchmark");
        return;
    }
    const auto cmd = command(impl, ask, tree, QString::fromLatin1(word));
    const QString out = ask == Ask::Lines ? QStringLiteral("/tmp/zor_find_bench_out.txt") : QString();
    long long printed = runProgram(cmd.first, cmd.second, out);  // warms the page cache
    if (printed < 0) {
        state.SkipWithError("the program failed");
        return;
    }
    for (auto _ : state) printed = runProgram(cmd.first, cmd.second, out);
    state.counters[ask == Ask::Files ? "files" : "lines"] = static_cast<double>(printed);
    if (!out.isEmpty()) QFile::remove(out);
}

#define ZOR_FIND_BENCH(id, name, impl, ask, tree, word) \
    BENCHMARK_CAPTURE(search, id, impl, ask, tree, word)->Name(name)->Unit(benchmark::kMillisecond)->UseRealTime()

ZOR_FIND_BENCH(files_zor, "files_with_word/zor", Impl::Zor, Ask::Files, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(files_rg, "files_with_word/rg", Impl::Rg, Ask::Files, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(files_grep, "files_with_word/grep", Impl::Grep, Ask::Files, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(lines_zor, "lines_with_word/zor", Impl::Zor, Ask::Lines, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(lines_rg, "lines_with_word/rg", Impl::Rg, Ask::Lines, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(lines_grep, "lines_with_word/grep", Impl::Grep, Ask::Lines, kCorpus, kCorpusWord);
ZOR_FIND_BENCH(doc_files_zor, "doc_files_with_word/zor", Impl::Zor, Ask::Files, kDoc, kDocWord);
ZOR_FIND_BENCH(doc_files_rg, "doc_files_with_word/rg", Impl::Rg, Ask::Files, kDoc, kDocWord);
ZOR_FIND_BENCH(doc_files_grep, "doc_files_with_word/grep", Impl::Grep, Ask::Files, kDoc, kDocWord);
ZOR_FIND_BENCH(doc_lines_zor, "doc_lines_with_word/zor", Impl::Zor, Ask::Lines, kDoc, kDocWord);
ZOR_FIND_BENCH(doc_lines_rg, "doc_lines_with_word/rg", Impl::Rg, Ask::Lines, kDoc, kDocWord);
ZOR_FIND_BENCH(doc_lines_grep, "doc_lines_with_word/grep", Impl::Grep, Ask::Lines, kDoc, kDocWord);

// zor's library on a query per paragraph, with two threads and one.
void paragraph_query_zor(benchmark::State& state) {
    if (!prepare(state, kCorpus)) return;
    zor::find::XFilter filter;
    filter.setContentFilter(zor::find::XContentFilter(QStringLiteral("river & stone & ~night"), false,
                                                      zor::find::XContentFilter::Paragraph));
    std::size_t found = 0;
    for (auto _ : state) found = filter.searchDir(kCorpus, static_cast<int>(state.range(0)), nullptr).files.load();
    state.counters["files"] = static_cast<double>(found);
}
BENCHMARK(paragraph_query_zor)
    ->Name("paragraph_and_and_not/zor")
    ->Arg(2)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    g_zor = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath() + QStringLiteral("/zor");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // MB/s over the tree each group searches (the sizes come from the trees' markers).
    zorbench::RatioReporter reporter(
        [](const std::string& group) { return treeSize(group.rfind("doc_", 0) == 0 ? kDoc : kCorpus).second; });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
