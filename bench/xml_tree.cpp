// The XML node tree against the trees a user would otherwise pick, on the same UTF-8 bytes in
// memory (bench/xml_sample.h: a large realistic document, 1.6 million small elements, and a
// 100,000-level deep document):
//
// - load: bytes to a tree and the tree destroyed again. zor: XNode::parseQByteArray (UTF-8
//   decoding, the scan, one node per element with its attributes and text). QDomDocument::setContent
//   (decoding, a full DOM with attribute and text nodes). pugixml load_buffer (a copy of the bytes
//   parsed in place, the lightest tree there is). Beside the time: the memory the loaded tree holds
//   and the peak of the load (bench/xml_memory.h), in MB and as multiples of the document's size.
// - write: the tree to UTF-8 text with four blanks per level. zor: saveNodeToUtf8.
//   QDomDocument::toByteArray(4). pugixml save into a string.
// - query: one element found in a loaded tree: zor's path query (the path of the last element in
//   document order that its own path finds) against QDomDocument::elementsByTagName of that
//   element's tag (all matches listed, the last taken).
//
// Every contender builds its own input when it runs (a process that runs one contender builds no
// other's tree); scripts/bench runs each in a process of its own and gives the ratios.
#include <zor/XNode.h>

#include "ratio_reporter.h"
#include "xml_memory.h"
#include "xml_sample.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Doc { kLarge = 0, kSmall = 1, kDeep = 2 };

const QByteArray& docFor(int which) {
    switch (which) {
        case kLarge:
            return xmlsample::largeDocument();
        case kSmall:
            return xmlsample::smallDocument();
        default:
            return xmlsample::deepDocument();
    }
}

void bytesOf(benchmark::State& state, const QByteArray& doc) {
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * doc.size());
}

// ---- load: one measured load (kept alive while its memory is read) before the timed ones.
// Google Benchmark calls a function several times; the first call of a process measures.

template <typename Load>
void load(benchmark::State& state, Load loadOnce) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    static std::map<int, std::pair<double, double>> measured;  // held, peak by document
    auto m = measured.find(static_cast<int>(state.range(0)));
    if (m == measured.end()) {
        const xmlsample::MemoryProbe probe;
        auto tree = loadOnce(doc);
        m = measured.emplace(static_cast<int>(state.range(0)), std::make_pair(probe.heldBytes(), probe.peakBytes()))
                .first;
    }
    for (auto _ : state) {
        auto tree = loadOnce(doc);
        if (!tree) state.SkipWithError("the document did not load");
        benchmark::DoNotOptimize(tree.get());
    }
    const double size = static_cast<double>(doc.size());
    state.counters["held_MB"] = m->second.first / 1e6;
    state.counters["peak_MB"] = m->second.second / 1e6;
    state.counters["held_x"] = m->second.first / size;
    state.counters["peak_x"] = m->second.second / size;
    bytesOf(state, doc);
}

std::unique_ptr<zor::XNode> loadZor(const QByteArray& doc) {
    return std::unique_ptr<zor::XNode>(zor::XNode::parseQByteArray(doc, nullptr));
}

std::unique_ptr<QDomDocument> loadQDom(const QByteArray& doc) {
    auto d = std::make_unique<QDomDocument>();
    if (!d->setContent(doc)) d.reset();
    return d;
}

std::unique_ptr<pugi::xml_document> loadPugi(const QByteArray& doc) {
    auto d = std::make_unique<pugi::xml_document>();
    if (!d->load_buffer(doc.constData(), static_cast<std::size_t>(doc.size()))) d.reset();
    return d;
}

void load_zor(benchmark::State& state) { load(state, loadZor); }
void load_qdom(benchmark::State& state) { load(state, loadQDom); }
void load_pugixml(benchmark::State& state) { load(state, loadPugi); }

// ---- write (the trees are built before the timed loop)

void write_zor(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    const auto root = loadZor(doc);
    long long out = 0;
    for (auto _ : state) {
        QByteArray text;
        zor::XNode::saveNodeToUtf8(*root, text);
        out = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, doc);
}

void write_qdom(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    const auto d = loadQDom(doc);
    long long out = 0;
    for (auto _ : state) {
        const QByteArray text = d->toByteArray(4);
        out = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, doc);
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void write_pugixml(benchmark::State& state) {
    const QByteArray& doc = docFor(static_cast<int>(state.range(0)));
    const auto d = loadPugi(doc);
    long long out = 0;
    for (auto _ : state) {
        StringWriter w;
        d->save(w, "    ");
        out = static_cast<long long>(w.text.size());
        benchmark::DoNotOptimize(w.text.data());
    }
    state.counters["out_MB"] = static_cast<double>(out) / 1e6;
    bytesOf(state, doc);
}

// ---- query: the last element in document order that its own path finds (names repeat among
// siblings in the sample, and a path follows the first match). Each side finds it in its own tree.

QString queryTarget(zor::XNode& root) {
    std::vector<zor::XNode*> all;
    root.iterateTree([&all](zor::XNode* n, unsigned int) {
        all.push_back(n);
        return true;
    });
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (root.query((*it)->getQuery()) == *it) return (*it)->getQuery();
    return {};
}

// The same element in a DOM: a path item is the tag, with "@name" when the element has a name; the
// walk takes the first child element that matches each item.
QString queryTargetTag(const QDomDocument& d) {
    std::vector<QDomElement> all;
    std::vector<QDomElement> todo{d.documentElement()};
    while (!todo.empty()) {  // pre-order, children in document order
        const QDomElement e = todo.back();
        todo.pop_back();
        if (e != d.documentElement()) all.push_back(e);
        std::vector<QDomElement> kids;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) kids.push_back(c);
        todo.insert(todo.end(), kids.rbegin(), kids.rend());
    }
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        std::vector<QDomElement> path;
        for (QDomElement e = *it; e != d.documentElement(); e = e.parentNode().toElement()) path.push_back(e);
        QDomElement at = d.documentElement();
        for (auto p = path.rbegin(); p != path.rend() && !at.isNull(); ++p) {
            const QString name = p->attribute(QStringLiteral("name"));
            QDomElement c = at.firstChildElement(p->tagName());
            while (!c.isNull() && !name.isEmpty() && c.attribute(QStringLiteral("name")) != name)
                c = c.nextSiblingElement(p->tagName());
            at = c;
        }
        if (at == *it) return it->tagName();
    }
    return {};
}

void query_zor(benchmark::State& state) {
    const auto root = loadZor(xmlsample::largeDocument());
    const QString path = queryTarget(*root);
    for (auto _ : state) {
        const zor::XNode* found = root->query(path);
        if (found == nullptr) state.SkipWithError("zor found nothing");
        benchmark::DoNotOptimize(found);
    }
}

void query_qdom(benchmark::State& state) {
    const auto d = loadQDom(xmlsample::largeDocument());
    const QString tag = queryTargetTag(*d);
    for (auto _ : state) {
        const QDomNodeList list = d->elementsByTagName(tag);
        const QDomNode found = list.item(list.count() - 1);
        if (found.isNull()) state.SkipWithError("QDomDocument found nothing");
        benchmark::DoNotOptimize(found);
    }
}

BENCHMARK(load_zor)->Name("xml_load/zor")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(load_qdom)->Name("xml_load/QDomDocument")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(load_pugixml)->Name("xml_load/pugixml")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(load_zor)->Name("xml_load_small/zor")->Arg(kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(load_qdom)->Name("xml_load_small/QDomDocument")->Arg(kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(load_pugixml)->Name("xml_load_small/pugixml")->Arg(kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(load_zor)->Name("xml_load_deep/zor")->Arg(kDeep)->Unit(benchmark::kMillisecond);
BENCHMARK(load_pugixml)->Name("xml_load_deep/pugixml")->Arg(kDeep)->Unit(benchmark::kMillisecond);
BENCHMARK(write_zor)->Name("xml_write/zor")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(write_qdom)->Name("xml_write/QDomDocument")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(write_pugixml)->Name("xml_write/pugixml")->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(write_zor)->Name("xml_write_small/zor")->Arg(kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(write_pugixml)->Name("xml_write_small/pugixml")->Arg(kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(query_zor)->Name("xml_query/zor")->Unit(benchmark::kMicrosecond);
BENCHMARK(query_qdom)->Name("xml_query/QDomDocument")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    zorbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
