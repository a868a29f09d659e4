// File checksums of a 1 GiB file: CheckSum::calc (the mapped file in 64 KiB blocks) against
// md5sum, sha1sum and sha256sum run as processes on the same file, with two more rows per
// algorithm: OpenSSL's EVP over read(2) blocks in this binary (the limit of the digest code) and
// Qt's QCryptographicHash over the same blocks (the portable choice, for comparison). The file is
// /tmp/zor_bench_checksum_1GiB.bin, made at the first start and reused; the page cache holds it
// after the first pass, so the figures compare the hashing paths, not the disk.
#include <zor/CheckSum.h>

#include "noise_file.h"

#include <benchmark/benchmark.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr long long kSize = 1LL << 30;
const char* const kPath = "/tmp/zor_bench_checksum_1GiB.bin";

bool makeFile() {
    if (QFileInfo(QString::fromLatin1(kPath)).size() == kSize) return true;
    return zorbench::writeNoiseFile(QString::fromLatin1(kPath), kSize);
}

void withZor(benchmark::State& state, zor::CheckSum::ALGO algo) {
    for (auto _ : state) {
        zor::CheckSum cs(QFileInfo(QString::fromLatin1(kPath)), algo);
        zor::XAtomic<bool> run{true};
        zor::XAtomic<int> percent{0};
        cs.calc(run, percent);
        if (!cs) {
            state.SkipWithError("CheckSum failed");
            return;
        }
        benchmark::DoNotOptimize(cs.get_checksum().constData());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void withTool(benchmark::State& state, const char* tool) {
    for (auto _ : state) {
        QProcess p;
        p.start(QString::fromLatin1(tool), {QString::fromLatin1(kPath)});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            state.SkipWithError("the tool failed");
            return;
        }
        benchmark::DoNotOptimize(p.readAllStandardOutput().size());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

template <typename Add>
bool readBlocks(Add add) {
    std::vector<char> buf(1 << 20);
    const int fd = ::open(kPath, O_RDONLY);
    if (fd < 0) return false;
    ssize_t r = 0;
    while ((r = ::read(fd, buf.data(), buf.size())) > 0) add(buf.data(), static_cast<std::size_t>(r));
    ::close(fd);
    return r == 0;
}

void withEvp(benchmark::State& state, const EVP_MD* md) {
    for (auto _ : state) {
        EVP_MD_CTX* ctx = EVP_MD_CTX_new();
        EVP_DigestInit_ex(ctx, md, nullptr);
        const bool ok = readBlocks([ctx](const char* p, std::size_t n) { EVP_DigestUpdate(ctx, p, n); });
        unsigned char out[EVP_MAX_MD_SIZE];
        unsigned int len = 0;
        EVP_DigestFinal_ex(ctx, out, &len);
        EVP_MD_CTX_free(ctx);
        if (!ok) {
            state.SkipWithError("cannot read");
            return;
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void withQt(benchmark::State& state, QCryptographicHash::Algorithm algo) {
    for (auto _ : state) {
        QCryptographicHash h(algo);
        if (!readBlocks([&h](const char* p, std::size_t n) { h.addData(p, static_cast<int>(n)); })) {
            state.SkipWithError("cannot read");
            return;
        }
        benchmark::DoNotOptimize(h.result().size());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

using ALGO = zor::CheckSum::ALGO;

#define CHECKSUM_GROUP(group, algo, tool, evp, qt)                                                              \
    BENCHMARK_CAPTURE(withZor, group, algo)->Name(#group "_1GiB/zor")->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(withTool, group, tool)->Name(#group "_1GiB/" tool)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(withEvp, group, evp())->Name(#group "_1GiB/openssl_evp")->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(withQt, group, qt)->Name(#group "_1GiB/qcryptographichash")->Unit(benchmark::kMillisecond)->UseRealTime();

CHECKSUM_GROUP(md5, ALGO::MD5, "md5sum", EVP_md5, QCryptographicHash::Md5)
CHECKSUM_GROUP(sha1, ALGO::SHA1, "sha1sum", EVP_sha1, QCryptographicHash::Sha1)
CHECKSUM_GROUP(sha256, ALGO::SHA256, "sha256sum", EVP_sha256, QCryptographicHash::Sha256)

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!makeFile()) {
        std::fprintf(stderr, "checksum: cannot create %s\n", kPath);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
