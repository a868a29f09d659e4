// The XML node tree against the trees a user would otherwise pick, on the same UTF-8 bytes in
// memory (bench/xml_sample.h: a large realistic document and a 100,000-level deep one):
//
// - load: bytes to a tree and the tree destroyed again. zor: XNode::parseQByteArray (UTF-8
//   decoding, the scan, one node per element with its attributes and text). QDomDocument::setContent
//   (decoding, a full DOM with attribute and text nodes). pugixml load_buffer (in-place parse into
//   its own UTF-8 buffer, the lightest tree there is).
// - write: the tree to UTF-8 text with four blanks per level. zor: saveNodeToString and toUtf8.
//   QDomDocument::toByteArray(4). pugixml save into a string.
// - query: one element found in a loaded tree: zor's path query (query of the last element's own
//   path) against QDomDocument::elementsByTagName of that element's tag (all matches listed, the last
//   taken).
//
// After the runs the program prints peer time / zor time per group (above 1: zor is faster), from
// wall-clock time and from CPU time (the steadier of the two on a busy machine).
#include <zor/XNode.h>

#include "ratio_reporter.h"
#include "xml_sample.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <unistd.h>
#include <QDomDocument>
#include <QDomNodeList>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const QByteArray& docFor(int which) { return which == 0 ? xmlsample::largeDocument() : xmlsample::deepDocument(); }
const char* docName(int which) { return which == 0 ? "large" : "deep"; }

void bytesOf(benchmark::State& state, int which) {
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * docFor(which).size());
}

// ---- load

void load_zor(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<zor::XNode> root(zor::XNode::parseQByteArray(doc, nullptr));
        if (!root) state.SkipWithError("zor could not load the document");
        benchmark::DoNotOptimize(root.get());
    }
    bytesOf(state, static_cast<int>(state.range(0)));
}

void load_qdom(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QDomDocument d;
        if (!d.setContent(doc)) state.SkipWithError("QDomDocument could not load the document");
        benchmark::DoNotOptimize(d);
    }
    bytesOf(state, static_cast<int>(state.range(0)));
}

void load_pugixml(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document d;
        if (!d.load_buffer(doc.constData(), static_cast<std::size_t>(doc.size())))
            state.SkipWithError("pugixml could not load the document");
        benchmark::DoNotOptimize(d);
    }
    bytesOf(state, static_cast<int>(state.range(0)));
}

// ---- write (the trees are built before the timed loop)

void write_zor(benchmark::State& state) {
    std::unique_ptr<zor::XNode> root(zor::XNode::parseQByteArray(xmlsample::largeDocument(), nullptr));
    long long out = 0;
    for (auto _ : state) {
        const QByteArray text = zor::XNode::saveNodeToString(*root).toUtf8();
        out = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, 0);
}

void write_qdom(benchmark::State& state) {
    QDomDocument d;
    d.setContent(xmlsample::largeDocument());
    long long out = 0;
    for (auto _ : state) {
        const QByteArray text = d.toByteArray(4);
        out = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, 0);
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void write_pugixml(benchmark::State& state) {
    pugi::xml_document d;
    d.load_buffer(xmlsample::largeDocument().constData(), static_cast<std::size_t>(xmlsample::largeDocument().size()));
    long long out = 0;
    for (auto _ : state) {
        StringWriter w;
        d.save(w, "    ");
        out = static_cast<long long>(w.text.size());
        benchmark::DoNotOptimize(w.text.data());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, 0);
}

// ---- query: the last element in document order that its own path finds (names repeat among
// siblings in the sample, and a path follows the first match)

struct QueryTarget {
    QString path;
    QString tag;
};

QueryTarget queryTarget(zor::XNode& root) {
    std::vector<zor::XNode*> all;
    root.iterateTree([&all](zor::XNode* n, unsigned int) {
        all.push_back(n);
        return true;
    });
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (root.query((*it)->getQuery()) == *it) return {(*it)->getQuery(), (*it)->getType()};
    return {};
}

void query_zor(benchmark::State& state) {
    std::unique_ptr<zor::XNode> root(zor::XNode::parseQByteArray(xmlsample::largeDocument(), nullptr));
    const QueryTarget target = queryTarget(*root);
    for (auto _ : state) {
        const zor::XNode* found = root->query(target.path);
        if (found == nullptr) state.SkipWithError("zor found nothing");
        benchmark::DoNotOptimize(found);
    }
}

void query_qdom(benchmark::State& state) {
    QString tag;
    {
        std::unique_ptr<zor::XNode> root(zor::XNode::parseQByteArray(xmlsample::largeDocument(), nullptr));
        tag = queryTarget(*root).tag;
    }
    QDomDocument d;
    d.setContent(xmlsample::largeDocument());
    for (auto _ : state) {
        const QDomNodeList list = d.elementsByTagName(tag);
        const QDomNode found = list.item(list.count() - 1);
        if (found.isNull()) state.SkipWithError("QDomDocument found nothing");
        benchmark::DoNotOptimize(found);
    }
}

BENCHMARK(load_zor)->Name("xml_load/zor")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(load_qdom)->Name("xml_load/QDomDocument")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(load_pugixml)->Name("xml_load/pugixml")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(load_zor)->Name("xml_load_deep/zor")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(load_pugixml)->Name("xml_load_deep/pugixml")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(write_zor)->Name("xml_write/zor")->Unit(benchmark::kMillisecond);
BENCHMARK(write_qdom)->Name("xml_write/QDomDocument")->Unit(benchmark::kMillisecond);
BENCHMARK(write_pugixml)->Name("xml_write/pugixml")->Unit(benchmark::kMillisecond);
BENCHMARK(query_zor)->Name("xml_query/zor")->Unit(benchmark::kMicrosecond);
BENCHMARK(query_qdom)->Name("xml_query/QDomDocument")->Unit(benchmark::kMicrosecond);


}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (int which : {0, 1}) {
        std::unique_ptr<zor::XNode> root(zor::XNode::parseQByteArray(docFor(which), nullptr));
        std::printf("document %s: %.1f MB, %u elements in the zor tree\n", docName(which), docFor(which).size() / 1e6,
                    root ? root->sizeRecursive(true) : 0u);
        if (!root) return 1;
    }
    zorbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
