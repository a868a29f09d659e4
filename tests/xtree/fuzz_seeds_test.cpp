// Writes the seed corpora of the tree fuzz targets from real trees when ZOR_WRITE_FUZZ_SEEDS names
// the repository's fuzz/corpus directory:
//   ZOR_WRITE_FUZZ_SEEDS=$PWD/fuzz/corpus build/dev/bin/zor_tests_xtree --gtest_filter='*Seeds*'
// Without it the test only checks that the seeds can be made.
#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include "SampleTree.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace zor;

namespace {

void writeSeed(const QString& dir, const QString& name, const QByteArray& bytes) {
    if (dir.isEmpty()) return;
    zortest::writeFile(dir + QLatin1Char('/') + name, bytes);
}

}  // namespace

TEST(XTreeSeeds, RealTreesInEveryForm) {
    const QString root = qEnvironmentVariable("ZOR_WRITE_FUZZ_SEEDS");
    const QString readDir = root.isEmpty() ? QString() : root + QStringLiteral("/xtree_read");
    const QString valueDir = root.isEmpty() ? QString() : root + QStringLiteral("/xtree_value");

    XTree small;
    small.set("n", static_cast<qint32>(7));
    XTree nested;
    nested.set("a", XTree());
    nested.getTree("a")->setString("s", "x");
    nested.setTreeArray("items", 2)->treeAt(0)->set("k", 1.5);
    nested.setLink("l", nested.pointerFromPath("/a"));
    const XTree sample = zortest::sampleTree();
    const XTree* trees[] = {&small, &nested, &sample};
    int i = 0;
    for (const XTree* t : trees) {
        const QByteArray plain = t->createByteArray();
        ASSERT_FALSE(plain.isEmpty());
        writeSeed(readDir, QStringLiteral("plain_%1").arg(i), QByteArray(1, '\0') + plain);
        writeSeed(readDir, QStringLiteral("compressed_%1").arg(i), QByteArray(1, '\1') + t->write_to_compressed_bytes());
        writeSeed(readDir, QStringLiteral("base64_%1").arg(i), QByteArray(1, '\2') + t->create_string_base64().toLatin1());
        ++i;
    }
    // One record per entry of the sample: the selector bytes, then the payload.
    const QStringList types = [] {
        QStringList t = XTypeSupporter::basicTypes().typeSet().types(XTypeSet::CAT_SIMPLE);
        t << XTypeSet::str_XTree << XTypeSet::str_XTreeArray << XTypeSet::str_XLink;
        return t;
    }();
    for (const auto& kv : sample.getMap()) {
        QByteArray record;
        {
            XDataStream s(&record, QIODevice::WriteOnly);
            s.writeVal(kv.second);
        }
        const int typeIndex = types.indexOf(kv.second.getType());
        ASSERT_GE(typeIndex, 0) << kv.first.toStdString();
        const int head = 2 + static_cast<unsigned char>(record[1]);
        QByteArray seed;
        seed.append(record[0]).append(static_cast<char>(typeIndex)).append(record.mid(head));
        writeSeed(valueDir, kv.first, seed);
    }
}
