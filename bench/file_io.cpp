// File input and output. Reading: a 1 GiB file summed byte by byte (every page touched) through
// XFileMapper told that the pass is sequential, against read(2) in 1 MiB blocks and
// QFile::readAll. Writing: 100 million 8-byte values through FileWriter::writeLONG, against fwrite
// of each value and QDataStream on a QFile. The files live in a temporary directory made at start
// and removed at the end; the read file is in the page cache after the first pass, so the figures
// compare the code paths, not the disk.
#include <zor/FileWriter.h>
#include <zor/XFileMapper.h>

#include "noise_file.h"

#include <benchmark/benchmark.h>

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr long long kReadSize = 1LL << 30;
constexpr long long kValues = 100'000'000;

QTemporaryDir* tmpDir = nullptr;

QString readPath() { return tmpDir->filePath(QStringLiteral("read.bin")); }
QString writePath() { return tmpDir->filePath(QStringLiteral("write.bin")); }

bool makeReadFile() {
    return zorbench::writeNoiseFile(readPath(), kReadSize);
}

// The same summing loop for every reader, so only the way the bytes arrive differs.
std::uint64_t sumBytes(const char* p, std::size_t n) {
    std::uint64_t s = 0;
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) s += u[i];
    return s;
}

void read_mapper(benchmark::State& state) {
    for (auto _ : state) {
        zor::XFileMapper map(readPath());
        map.setSequential(true);  // one pass front to back: read-ahead and pre-faulted pages
        if (!map.mapReadOnly() || map.mem() == nullptr) {
            state.SkipWithError("cannot map");
            return;
        }
        benchmark::DoNotOptimize(sumBytes(map.mem(), map.length()));
    }
    state.SetBytesProcessed(state.iterations() * kReadSize);
}
BENCHMARK(read_mapper)->Name("read_1GiB/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void read_read2(benchmark::State& state) {
    std::vector<char> buf(1 << 20);
    const QByteArray name = QFile::encodeName(readPath());
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_RDONLY);
        if (fd < 0) {
            state.SkipWithError("cannot open");
            return;
        }
        std::uint64_t s = 0;
        ssize_t r = 0;
        while ((r = ::read(fd, buf.data(), buf.size())) > 0) s += sumBytes(buf.data(), static_cast<std::size_t>(r));
        ::close(fd);
        benchmark::DoNotOptimize(s);
    }
    state.SetBytesProcessed(state.iterations() * kReadSize);
}
BENCHMARK(read_read2)->Name("read_1GiB/read2_1MiB")->Unit(benchmark::kMillisecond)->UseRealTime();

void read_qfile(benchmark::State& state) {
    for (auto _ : state) {
        QFile f(readPath());
        if (!f.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open");
            return;
        }
        const QByteArray all = f.readAll();
        benchmark::DoNotOptimize(sumBytes(all.constData(), static_cast<std::size_t>(all.size())));
    }
    state.SetBytesProcessed(state.iterations() * kReadSize);
}
BENCHMARK(read_qfile)->Name("read_1GiB/qfile_readall")->Unit(benchmark::kMillisecond)->UseRealTime();

void write_filewriter(benchmark::State& state) {
    for (auto _ : state) {
        zor::FileWriter w;
        if (!w.open(writePath())) {
            state.SkipWithError("cannot open");
            return;
        }
        for (long long i = 0; i < kValues; ++i) w.writeLONG(i);
        w.close();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(write_filewriter)->Name("write_100M_longs/zor")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void write_fwrite(benchmark::State& state) {
    const QByteArray name = QFile::encodeName(writePath());
    for (auto _ : state) {
        std::FILE* f = std::fopen(name.constData(), "wb");
        if (f == nullptr) {
            state.SkipWithError("cannot open");
            return;
        }
        for (long long i = 0; i < kValues; ++i) std::fwrite(&i, sizeof(i), 1, f);
        std::fclose(f);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(write_fwrite)->Name("write_100M_longs/fwrite")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void write_qdatastream(benchmark::State& state) {
    for (auto _ : state) {
        QFile f(writePath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot open");
            return;
        }
        QDataStream out(&f);
        out.setByteOrder(QDataStream::LittleEndian);
        for (long long i = 0; i < kValues; ++i) out << static_cast<qint64>(i);
        f.close();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(write_qdatastream)->Name("write_100M_longs/qdatastream")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    QTemporaryDir dir;  // removed, with both files, when main returns
    if (!dir.isValid()) {
        std::fprintf(stderr, "file_io: cannot create a temporary directory\n");
        return 1;
    }
    tmpDir = &dir;
    if (!makeReadFile()) {
        std::fprintf(stderr, "file_io: cannot create the 1 GiB file in %s\n", qPrintable(dir.path()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tmpDir = nullptr;
    return 0;
}
