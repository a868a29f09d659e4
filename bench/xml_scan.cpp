// The XML scanner alone (events counted, no tree) against Expat and QXmlStreamReader, on the same
// UTF-8 bytes in memory: a large realistic document, 1.6 million small elements and a
// 100,000-level deep document.
//
// What each side includes, per iteration:
// - zor: UTF-8 to UTF-16 decoding (QString::fromUtf8, as every loader does) and the scan, with
//   the attribute map of every element filled; text reported trimmed, references left as written.
// - Expat: the parse straight from UTF-8 (decoding to its UTF-8 output is a copy), attributes as
//   an array, entity references decoded, character data reported in pieces.
// - QXmlStreamReader: decoding and the pull loop, attributes read for every element.
// Every run checks its counts of elements and attributes against the document's own (so no
// contender runs another's scan in its process). Throughput is input bytes per second. After the
// runs the program prints peer time / zor time for each document (above 1: zor is faster).
#include <zor/SaxParser.h>

#include "ratio_reporter.h"
#include "xml_sample.h"

#include <benchmark/benchmark.h>
#include <expat.h>

#include <QXmlStreamReader>
#include <map>
#include <string>

namespace {

struct Counts {
    long long elements = 0;
    long long attributes = 0;
    long long texts = 0;
    long long comments = 0;
};

class CountingScanner : public zor::SaxParser {
public:
    Counts counts;
    void inspectDefinition(const QString&) override {}
    void inspectCommend(const QString&, int) override { ++counts.comments; }
    void inspectText(const QString&, int) override { ++counts.texts; }
    bool inspectTypeAttribs(const QString&, const std::map<QString, QString>& attributes, int) override {
        ++counts.elements;
        counts.attributes += static_cast<long long>(attributes.size());
        return true;
    }
};

Counts scanZor(const QByteArray& doc, bool& ok) {
    CountingScanner s;
    s.set_QByteArray(doc);
    zor::XNode_Parse_Control ctl;
    ok = s.parse(ctl);
    return s.counts;
}

Counts scanExpat(const QByteArray& doc, bool& ok) {
    Counts c;
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, &c);
    XML_SetStartElementHandler(p, [](void* user, const XML_Char*, const XML_Char** atts) {
        auto* c = static_cast<Counts*>(user);
        ++c->elements;
        for (const XML_Char** a = atts; *a != nullptr; a += 2) ++c->attributes;
    });
    XML_SetEndElementHandler(p, [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(p, [](void* user, const XML_Char*, int) { ++static_cast<Counts*>(user)->texts; });
    XML_SetCommentHandler(p, [](void* user, const XML_Char*) { ++static_cast<Counts*>(user)->comments; });
    ok = XML_Parse(p, doc.constData(), doc.size(), 1) == XML_STATUS_OK;
    XML_ParserFree(p);
    return c;
}

Counts scanQt(const QByteArray& doc, bool& ok) {
    Counts c;
    QXmlStreamReader r(doc);
    while (!r.atEnd()) {
        switch (r.readNext()) {
            case QXmlStreamReader::StartElement:
                ++c.elements;
                c.attributes += r.attributes().size();
                break;
            case QXmlStreamReader::Characters:
                if (!r.isWhitespace()) ++c.texts;
                break;
            case QXmlStreamReader::Comment:
                ++c.comments;
                break;
            default:
                break;
        }
    }
    ok = !r.hasError();
    return c;
}

using ScanFn = Counts (*)(const QByteArray&, bool&);

// Bytes of each group's document, for the MB/s in the ratio lines (filled by the runs).
std::map<std::string, double>& groupBytes() {
    static std::map<std::string, double> bytes;
    return bytes;
}

template <ScanFn scan>
void run(benchmark::State& state, const xmlsample::Sample& sample, const char* group) {
    const QByteArray& doc = sample.bytes;
    groupBytes()[group] = static_cast<double>(doc.size());
    Counts c;
    bool ok = false;
    for (auto _ : state) {
        c = scan(doc, ok);
        benchmark::DoNotOptimize(c);
    }
    if (!ok)
        state.SkipWithError("the document did not parse");
    else if (c.elements != sample.elements || c.attributes != sample.attributes)
        state.SkipWithError("the counts of elements or attributes differ from the document's");
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * doc.size());
    state.counters["elements"] = static_cast<double>(c.elements);
    state.counters["attributes"] = static_cast<double>(c.attributes);
}

void large_zor(benchmark::State& s) { run<scanZor>(s, xmlsample::large(), "xml_scan_large"); }
void large_expat(benchmark::State& s) { run<scanExpat>(s, xmlsample::large(), "xml_scan_large"); }
void large_qt(benchmark::State& s) { run<scanQt>(s, xmlsample::large(), "xml_scan_large"); }
void small_zor(benchmark::State& s) { run<scanZor>(s, xmlsample::small(), "xml_scan_small"); }
void small_expat(benchmark::State& s) { run<scanExpat>(s, xmlsample::small(), "xml_scan_small"); }
void small_qt(benchmark::State& s) { run<scanQt>(s, xmlsample::small(), "xml_scan_small"); }
void deep_zor(benchmark::State& s) { run<scanZor>(s, xmlsample::deep(), "xml_scan_deep"); }
void deep_expat(benchmark::State& s) { run<scanExpat>(s, xmlsample::deep(), "xml_scan_deep"); }
void deep_qt(benchmark::State& s) { run<scanQt>(s, xmlsample::deep(), "xml_scan_deep"); }

BENCHMARK(large_zor)->Name("xml_scan_large/zor")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(large_expat)->Name("xml_scan_large/expat")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(large_qt)->Name("xml_scan_large/QXmlStreamReader")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(small_zor)->Name("xml_scan_small/zor")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(small_expat)->Name("xml_scan_small/expat")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(small_qt)->Name("xml_scan_small/QXmlStreamReader")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(deep_zor)->Name("xml_scan_deep/zor")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(deep_expat)->Name("xml_scan_deep/expat")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(deep_qt)->Name("xml_scan_deep/QXmlStreamReader")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // One line per document at the end: MB/s of each side and peer time / zor time.
    zorbench::RatioReporter reporter([](const std::string& group) {
        const auto it = groupBytes().find(group);
        return it == groupBytes().end() ? 0.0 : it->second;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
