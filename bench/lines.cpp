// The line index of XLineReaderDA over a 1 GiB text file against reading the same file line by
// line with std::getline and QFile::readLine, and `wc -l` run as a process (the limit: a plain
// count of line feeds). The file (prose lines of 20 to 120 characters) is made once in /tmp;
// ZOR_LINES_FILE names another one, ZOR_LINES_MB sets the size of a generated one.
#include <zor/MersenneTwister.h>
#include <zor/XLineReaderDA.h>

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

QString makeFile() {
    const QByteArray env = qgetenv("ZOR_LINES_FILE");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    const long long mb = qEnvironmentVariableIsSet("ZOR_LINES_MB") ? qEnvironmentVariableIntValue("ZOR_LINES_MB") : 1024;
    const QString path = QStringLiteral("/tmp/zor_lines_%1MiB.txt").arg(mb);
    const long long size = mb << 20;
    if (QFileInfo(path).size() == size) return path;
    std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    zor::MersenneTwister mt;
    std::string buf;
    long long written = 0;
    while (written < size) {
        const std::size_t len = 20 + static_cast<std::size_t>(mt.nextInt(101));
        buf += mt.randLine(len, 9, false, '.');
        buf += '\n';
        if (buf.size() > (1u << 20) || written + static_cast<long long>(buf.size()) >= size) {
            const std::size_t n = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(buf.size()), size - written));
            std::fwrite(buf.data(), 1, n, f);
            written += static_cast<long long>(n);
            buf.clear();
        }
    }
    std::fclose(f);
    return path;
}

const QString& file() {
    static const QString f = makeFile();
    return f;
}

long long fileSize() { return QFileInfo(file()).size(); }

void index_zor(benchmark::State& state) {
    file();  // made before the clock runs
    std::size_t lines = 0;
    for (auto _ : state) {
        zor::XLineReaderDA da;
        if (!da.openFile(file(), 4096, true)) state.SkipWithError("cannot map the file");
        lines = da.countLines();
        benchmark::DoNotOptimize(da.lineInfos().data());
    }
    state.SetBytesProcessed(state.iterations() * fileSize());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(index_zor)->Name("line_index_1GiB/zor")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void index_getline(benchmark::State& state) {
    file();
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ifstream in(file().toStdString(), std::ios::binary);
        std::string line;
        lines = 0;
        std::size_t bytes = 0;
        while (std::getline(in, line)) {
            ++lines;
            bytes += line.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * fileSize());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(index_getline)->Name("line_index_1GiB/std_getline")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void index_qfile(benchmark::State& state) {
    file();
    std::size_t lines = 0;
    for (auto _ : state) {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly)) state.SkipWithError("cannot open the file");
        lines = 0;
        std::size_t bytes = 0;
        while (!f.atEnd()) {
            const QByteArray line = f.readLine();
            ++lines;
            bytes += static_cast<std::size_t>(line.size());
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * fileSize());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(index_qfile)->Name("line_index_1GiB/QFile_readLine")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void index_wc(benchmark::State& state) {
    file();
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("wc"), {QStringLiteral("-l"), file()});
        if (!p.waitForFinished(600000)) state.SkipWithError("wc did not finish");
        benchmark::DoNotOptimize(p.readAllStandardOutput());
    }
    state.SetBytesProcessed(state.iterations() * fileSize());
}
BENCHMARK(index_wc)->Name("line_index_1GiB/wc_l_process")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
