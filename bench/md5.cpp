// MD5 over 64 MiB: the library's digest against OpenSSL (EVP, its assembly MD5 on x86-64) and
// QCryptographicHash, on the same bytes. Throughput is reported as bytes per second.
#include <zor/MD5.h>

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <cstring>

namespace {

constexpr int kSize = 64 * 1024 * 1024;

const QByteArray& input() {
    static const QByteArray data = [] {
        QByteArray d(kSize, Qt::Uninitialized);
        unsigned int x = 2463534242u;
        for (int i = 0; i < kSize; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            d[i] = static_cast<char>(x);
        }
        return d;
    }();
    return data;
}

void md5_zor(benchmark::State& state) {
    const QByteArray& d = input();
    for (auto _ : state) {
        zor::MD5 md5(d.constData(), static_cast<unsigned>(d.size()));
        benchmark::DoNotOptimize(md5.getDigest()[0]);
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * d.size());
}
BENCHMARK(md5_zor)->Name("md5/zor")->Unit(benchmark::kMillisecond);

void md5_openssl(benchmark::State& state) {
    const QByteArray& d = input();
    for (auto _ : state) {
        unsigned char out[EVP_MAX_MD_SIZE];
        unsigned int n = 0;
        EVP_Digest(d.constData(), static_cast<size_t>(d.size()), out, &n, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * d.size());
}
BENCHMARK(md5_openssl)->Name("md5/openssl")->Unit(benchmark::kMillisecond);

void md5_qt(benchmark::State& state) {
    const QByteArray& d = input();
    for (auto _ : state) {
        QByteArray r = QCryptographicHash::hash(d, QCryptographicHash::Md5);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * d.size());
}
BENCHMARK(md5_qt)->Name("md5/QCryptographicHash")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
