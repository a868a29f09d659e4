// The zor program writes its sample tree as a file (`zor tree --sample`), and the round-trip tests
// build on the same tree: its bytes are pinned here, so that a change to the sample or to the
// binary format shows before files written by earlier builds stop matching.
#include <zor/XLink.h>
#include <zor/XTree.h>

#include "TreeSample.h"
#include "support/CaptureAppender.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

using namespace zor;

TEST(XTreeSample, TheProgramsSampleKeepsItsBytesThroughAFile) {
    zortest::LogCapture cap;
    const XTree t = zorapp::sampleTree();
    EXPECT_EQ(t.getMap().size(), 31u);
    const QByteArray bytes = t.createByteArray();
    EXPECT_EQ(bytes.size(), 1671);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper(),
              QByteArray("1F2ED0F6A8692B07CC70E3742F50E411"));
    EXPECT_EQ(t.calc_MD5Sum(), QStringLiteral("1F2ED0F6A8692B07CC70E3742F50E411"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sample.xtree"));
    XTree saved = zorapp::sampleTree();
    ASSERT_TRUE(saved.saveAsFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);

    // Read back, the link points into the copy, not at the tree that was written.
    XTree back = XTree::load(path);
    EXPECT_EQ(back.calc_MD5Sum(), t.calc_MD5Sum());
    const XLink* link = back.getPointer<XLink>("activeCamera");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->url(), QStringLiteral("/view/camera"));
    EXPECT_EQ(link->object(), back.pointerFromPath("/view/camera"));
    EXPECT_EQ(*back.pointerFromPath<double>("/lights/1/intensity"), 0.75);
}
