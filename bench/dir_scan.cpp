// Directory scanning: a tree of 1,000 directories with 100 files each (100,000 files, made once in
// /tmp/zor_bench_dirs and reused) scanned by XDirInfo::scan_dir with reload set (so every pass
// reads the disk), against QDirIterator with Subdirectories collecting the QFileInfo of every file.
// Both produce the same result: the list of files and the total of their sizes (the peer asks
// QFileInfo::size, as scan_dir does). A third run collects without sizes, to show what the stat
// calls cost. The tree is in the page cache after the first pass: the figures compare the walks.
#include <zor/Logger.h>
#include <zor/XDirInfo.h>

#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <vector>

namespace {

const QString kRoot = QStringLiteral("/tmp/zor_bench_dirs");
constexpr int kDirs = 1000;
constexpr int kFiles = 100;

bool makeTree() {
    const QString done = kRoot + QStringLiteral("/.complete");
    if (QFileInfo::exists(done)) return true;
    QDir(kRoot).removeRecursively();
    for (int d = 0; d < kDirs; ++d) {
        // Ten top directories of a hundred each: a little depth, as in real trees.
        const QString dir = kRoot + QStringLiteral("/g%1/d%2").arg(d / 100).arg(d);
        if (!QDir().mkpath(dir)) return false;
        for (int f = 0; f < kFiles; ++f) {
            QFile file(dir + QStringLiteral("/file%1.txt").arg(f));
            if (!file.open(QIODevice::WriteOnly)) return false;
            file.write(QByteArray(f % 17, 'x'));
        }
    }
    QFile mark(done);
    return mark.open(QIODevice::WriteOnly);
}

void scan_zor(benchmark::State& state) {
    zor::XDirInfo info;
    for (auto _ : state) {
        info.reload = true;
        if (!info.scan_dir(kRoot)) {
            state.SkipWithError("scan failed");
            return;
        }
        benchmark::DoNotOptimize(info.countBytes.load());
    }
    state.counters["files"] = info.countFiles.load();
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(info.countFiles.load()));
}
BENCHMARK(scan_zor)->Name("dir_scan_100k/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void scan_qdiriterator(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) {
        std::vector<QFileInfo> files;
        unsigned long long bytes = 0;
        QDirIterator it(kRoot, QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            QFileInfo fi = it.fileInfo();
            bytes += static_cast<unsigned long long>(fi.size());
            if (fi.isFile()) files.push_back(std::move(fi));
        }
        benchmark::DoNotOptimize(bytes);
        n = files.size();
    }
    state.counters["files"] = static_cast<double>(n);
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(scan_qdiriterator)->Name("dir_scan_100k/QDirIterator")->Unit(benchmark::kMillisecond)->UseRealTime();

void scan_qdiriterator_nosize(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) {
        std::vector<QFileInfo> files;
        QDirIterator it(kRoot, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files.push_back(it.fileInfo());
        }
        n = files.size();
        benchmark::DoNotOptimize(files.data());
    }
    state.counters["files"] = static_cast<double>(n);
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(scan_qdiriterator_nosize)->Name("dir_scan_100k/QDirIterator_without_sizes")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!makeTree()) {
        std::fprintf(stderr, "dir_scan: cannot create the tree in %s\n", qPrintable(kRoot));
        return 1;
    }
    // One pass first so that every walker finds the tree's inodes and entries in memory.
    {
        QDirIterator it(kRoot, QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        long long bytes = 0;
        while (it.hasNext()) {
            it.next();
            bytes += it.fileInfo().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    zorbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
