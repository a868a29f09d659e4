// The typed tree against the containers a user would otherwise pick, on the same data:
// 2,500 records of 82 values each (int32, double, strings, a nested tree) plus an array of 16
// ints per record, 205,000 values in all, as an XTree and as nested QVariantMaps.
//   write_tree, read_tree   XDataStream against QDataStream (QVariantMap) and QCborValue
//   copy_tree               create_copy against a deep copy of the nested QVariantMap
//   save_file, load_file    a 100 MB tree file through the mapped file against QFile with the
//                           same bytes
// The counter "bytes" is the size of each encoding.
#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QCborMap>
#include <QCborValue>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QVariantMap>

namespace {

constexpr int kRecords = 2500;

QString key(const char* prefix, int i) { return QString::asprintf("%s%02d", prefix, i); }

// Each contender builds only its own input, on first use: a process that measures QDataStream
// never holds a zor tree, and a reader holds only the bytes it reads. The tree and the maps are
// made by one template, so they hold the same keys and values.
void put(zor::XTree& m, const QString& k, qint32 v) { m.set(k, v); }
void put(zor::XTree& m, const QString& k, double v) { m.set(k, v); }
void put(zor::XTree& m, const QString& k, const QString& v) { m.setString(k, v); }
void put(zor::XTree& m, const QString& k, zor::XTree&& v) { m.set(k, std::move(v)); }
void put(zor::XTree& m, const QString& k, const std::vector<qint32>& v) { m.setArray<qint32>(k, v); }
void put(QVariantMap& m, const QString& k, qint32 v) { m.insert(k, v); }
void put(QVariantMap& m, const QString& k, double v) { m.insert(k, v); }
void put(QVariantMap& m, const QString& k, const QString& v) { m.insert(k, v); }
void put(QVariantMap& m, const QString& k, QVariantMap&& v) { m.insert(k, std::move(v)); }
void put(QVariantMap& m, const QString& k, const std::vector<qint32>& v) {
    QVariantList l;
    for (qint32 x : v) l << x;
    m.insert(k, l);
}

template <typename Map>
Map makeRecords() {
    Map items;
    for (int r = 0; r < kRecords; ++r) {
        Map rec;
        for (int i = 0; i < 30; ++i) {
            put(rec, key("i", i), static_cast<qint32>(r * 31 + i));
            put(rec, key("d", i), r * 0.5 + i * 0.25);
        }
        for (int i = 0; i < 19; ++i) put(rec, key("s", i), QStringLiteral("record %1, text %2").arg(r).arg(i));
        Map pos;
        for (const char* c : {"x", "y", "z"}) put(pos, QLatin1String(c), r * 1.5);
        put(rec, QStringLiteral("pos"), std::move(pos));
        std::vector<qint32> hist(16);
        for (int i = 0; i < 16; ++i) hist[static_cast<std::size_t>(i)] = r + i;
        put(rec, QStringLiteral("hist"), hist);
        put(items, QString::asprintf("item%05d", r), std::move(rec));
    }
    Map root;
    put(root, QStringLiteral("items"), std::move(items));
    return root;
}

zor::XTree makeTree() { return makeRecords<zor::XTree>(); }
QVariantMap makeMap() { return makeRecords<QVariantMap>(); }

const zor::XTree& zorTree() {
    static const zor::XTree* t = new zor::XTree(makeTree());
    return *t;
}

const QVariantMap& variantMap() {
    static const QVariantMap* m = new QVariantMap(makeMap());
    return *m;
}

QByteArray xtreeBytes() { return makeTree().createByteArray(); }

QByteArray qdsBytes() {
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << makeMap();
    return bytes;
}

QByteArray cborBytes() { return QCborValue(QCborMap::fromVariantMap(makeMap())).toCbor(); }

// ---- write

void write_tree_zor(benchmark::State& state) {
    const zor::XTree& t = zorTree();
    qint64 size = 0;
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        t.writeToDevice(buf);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(write_tree_zor)->Name("write_tree/zor")->Unit(benchmark::kMillisecond);

void write_tree_qdatastream(benchmark::State& state) {
    const QVariantMap& m = variantMap();
    qint64 size = 0;
    for (auto _ : state) {
        QByteArray bytes;
        QDataStream s(&bytes, QIODevice::WriteOnly);
        s << m;
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(write_tree_qdatastream)->Name("write_tree/qdatastream")->Unit(benchmark::kMillisecond);

void write_tree_cbor(benchmark::State& state) {
    QCborValue v(QCborMap::fromVariantMap(makeMap()));  // toCbor() is not const in Qt 5
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray bytes = v.toCbor();
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(write_tree_cbor)->Name("write_tree/cbor")->Unit(benchmark::kMillisecond);

// ---- read

void read_tree_zor(benchmark::State& state) {
    const QByteArray bytes = xtreeBytes();
    for (auto _ : state) {
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        zor::XTree t;
        if (!t.readFromDevice(buf)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(t.getMap().size());
    }
    state.counters["bytes"] = bytes.size();
}
BENCHMARK(read_tree_zor)->Name("read_tree/zor")->Unit(benchmark::kMillisecond);

void read_tree_qdatastream(benchmark::State& state) {
    const QByteArray bytes = qdsBytes();
    for (auto _ : state) {
        QDataStream s(bytes);
        QVariantMap m;
        s >> m;
        benchmark::DoNotOptimize(m.size());
    }
    state.counters["bytes"] = bytes.size();
}
BENCHMARK(read_tree_qdatastream)->Name("read_tree/qdatastream")->Unit(benchmark::kMillisecond);

void read_tree_cbor(benchmark::State& state) {
    const QByteArray bytes = cborBytes();
    for (auto _ : state) {
        const QCborValue v = QCborValue::fromCbor(bytes);
        benchmark::DoNotOptimize(v.isMap());
    }
    state.counters["bytes"] = bytes.size();
}
BENCHMARK(read_tree_cbor)->Name("read_tree/cbor")->Unit(benchmark::kMillisecond);

// ---- deep copy

QVariant deepCopy(const QVariant& v) {
    // Qt containers and strings share their data on copy: rebuild every one so that nothing is
    // shared with the source, as the tree copy shares nothing.
    if (v.type() == QVariant::Map) {
        QVariantMap out;
        const QVariantMap m = v.toMap();
        for (auto it = m.constBegin(); it != m.constEnd(); ++it)
            out.insert(QString(it.key().constData(), it.key().size()), deepCopy(it.value()));
        return out;
    }
    if (v.type() == QVariant::List) {
        QVariantList out;
        for (const QVariant& e : v.toList()) out << deepCopy(e);
        return out;
    }
    if (v.type() == QVariant::String) {
        const QString s = v.toString();
        return QString(s.constData(), s.size());
    }
    return v;
}

void copy_tree_zor(benchmark::State& state) {
    for (auto _ : state) {
        zor::XTree c = zorTree().create_copy();
        benchmark::DoNotOptimize(c.getMap().size());
    }
}
BENCHMARK(copy_tree_zor)->Name("copy_tree/zor")->Unit(benchmark::kMillisecond);

void copy_tree_qvariantmap(benchmark::State& state) {
    const QVariant source(variantMap());
    for (auto _ : state) {
        const QVariant c = deepCopy(source);
        benchmark::DoNotOptimize(c.isValid());
    }
}
BENCHMARK(copy_tree_qvariantmap)->Name("copy_tree/qvariantmap_deep")->Unit(benchmark::kMillisecond);

// ---- files of about 100 MB

zor::XTree makeBigTree() {
    zor::XTree out;
    std::vector<double> values(131072);
    for (int r = 0; r < 100; ++r) {
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = r + static_cast<double>(i) * 0.001;
        zor::XTree rec;
        rec.setArray<double>("samples", values);
        rec.setString("name", QStringLiteral("channel %1").arg(r));
        out.set(QString::asprintf("channel%03d", r), std::move(rec));
    }
    return out;
}

zor::XTree& bigTree() {
    static zor::XTree* t = new zor::XTree(makeBigTree());
    return *t;
}

QString filePath(const char* name) { return QDir::temp().filePath(QString::fromLatin1(name)); }

void save_file_zor(benchmark::State& state) {
    zor::XTree& t = bigTree();
    const QString path = filePath("zor_bench_tree.xtree");
    for (auto _ : state) {
        if (!t.saveAsFile(path)) state.SkipWithError("save failed");
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(save_file_zor)->Name("save_file_100MB/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void save_file_qfile(benchmark::State& state) {
    const QByteArray bytes = makeBigTree().createByteArray();
    const QString path = filePath("zor_bench_tree.qfile");
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            state.SkipWithError("write failed");
    }
    state.counters["bytes"] = bytes.size();
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * bytes.size());
    QFile::remove(path);
}
BENCHMARK(save_file_qfile)->Name("save_file_100MB/qfile_same_bytes")->Unit(benchmark::kMillisecond)->UseRealTime();

void load_file_zor(benchmark::State& state) {
    const QString path = filePath("zor_bench_tree_load.xtree");
    makeBigTree().saveAsFile(path);  // only the file stays
    for (auto _ : state) {
        zor::XTree back = zor::XTree::load(path);
        if (back.isEmpty()) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(back.getMap().size());
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(load_file_zor)->Name("load_file_100MB/zor")->Unit(benchmark::kMillisecond)->UseRealTime();

void load_file_qfile(benchmark::State& state) {
    const QByteArray bytes = makeBigTree().createByteArray();
    const QString path = filePath("zor_bench_tree_load.qfile");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) state.SkipWithError("open failed");
        const QByteArray back = f.readAll();
        benchmark::DoNotOptimize(back.data());
    }
    state.counters["bytes"] = bytes.size();
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * bytes.size());
    QFile::remove(path);
}
BENCHMARK(load_file_qfile)->Name("load_file_100MB/qfile_readall")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
