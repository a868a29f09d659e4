// The '$' formatter against the ways a Qt or C++ programmer would otherwise build a log text:
// QString::arg, a QTextStream, and fmt::format. Same text, same renderings (six decimals).
#include <zor/xformat.h>

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <QString>
#include <QTextStream>
#include <string>

namespace {

const QString kName = QStringLiteral("config/settings.xml");
const std::string kNameStd = "config/settings.xml";

void xformat_zor(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        QString s = zor::xformat("XmlLoader::parse, item $ took $ ms for '$'", i, 3.25 + i, kName);
        ++i;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(xformat_zor)->Name("xformat/zor");

void xformat_arg(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        QString s = QStringLiteral("XmlLoader::parse, item %1 took %2 ms for '%3'").arg(i).arg(3.25 + i, 0, 'f', 6).arg(kName);
        ++i;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(xformat_arg)->Name("xformat/QString_arg");

void xformat_stream(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        QString s;
        {
            QTextStream ts(&s);
            ts.setRealNumberNotation(QTextStream::FixedNotation);
            ts << "XmlLoader::parse, item " << i << " took " << 3.25 + i << " ms for '" << kName << "'";
            ++i;
        }
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(xformat_stream)->Name("xformat/QTextStream");

void xformat_fmt(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        std::string s = fmt::format("XmlLoader::parse, item {} took {:.6f} ms for '{}'", i, 3.25 + i, kNameStd);
        ++i;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(xformat_fmt)->Name("xformat/fmt");

// The same texts must come out of all four, or the comparison means nothing.
bool sameOutput() {
    const QString z = zor::xformat("item $ took $ ms for '$'", 7, 3.25, kName);
    const QString a = QStringLiteral("item %1 took %2 ms for '%3'").arg(7).arg(3.25, 0, 'f', 6).arg(kName);
    const std::string f = fmt::format("item {} took {:.6f} ms for '{}'", 7, 3.25, kNameStd);
    return z == a && z.toStdString() == f;
}
const bool kChecked = [] {
    if (!sameOutput()) {
        std::fprintf(stderr, "xformat benchmark: the implementations disagree\n");
        std::abort();
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
