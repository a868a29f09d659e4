#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include "SampleTree.h"
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zor;

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

QByteArray bodyOf(const XTree& t) {
    QByteArray out;
    XDataStream s(&out, QIODevice::WriteOnly);
    EXPECT_TRUE(t.writeToStream(s));
    return out;
}

QByteArray recordOf(const XVal& v) {
    QByteArray out;
    XDataStream s(&out, QIODevice::WriteOnly);
    s.writeVal(v);
    return out;
}

// Reads a device form; the tree, and how many error or warning lines it took.
struct ReadResult {
    bool ok = false;
    XTree tree;
    QStringList problems;
};

ReadResult readBytes(const QByteArray& bytes, zortest::CaptureAppender& cap) {
    zortest::drainLogger();
    cap.clear();
    ReadResult r;
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    r.ok = r.tree.readFromDevice(buf);
    zortest::drainLogger();
    for (const auto& m : cap.messages())
        if (m.level & (0x4 | 0x8)) r.problems << m.text;
    return r;
}

}  // namespace

TEST(XDataStream, ByteLayoutOfASmallTree) {
    XTree t;
    t.set("n", static_cast<qint32>(7));
    EXPECT_EQ(bodyOf(t).toHex(), hex("00000001" "00000000000000016E" "01" "05696E743332" "00000007").toHex());
    EXPECT_EQ(t.createByteArray().toHex(),
              hex("0000000000000005" "5854726565" "00000001" "00000000000000016E" "01" "05696E743332" "00000007").toHex());
    EXPECT_EQ(t.calc_mem_size(), 37u);

    XVal f;
    f.setValMove(1.5f);
    EXPECT_EQ(recordOf(f).toHex(), hex("01" "05666C6F6174" "3FF8000000000000").toHex());
    XVal s;
    s.setValMove(QStringLiteral("ä"));
    EXPECT_EQ(recordOf(s).toHex(), hex("01" "0751537472696E67" "0000000000000002C3A4").toHex());

    // A sub-tree is its record head and its body; an array of trees its element type in Qt's
    // string form, the count, then the bodies.
    XTree outer;
    outer.set("t", XTree());
    outer.setTreeArray("a", 2);
    EXPECT_EQ(bodyOf(outer).toHex(),
              hex("00000002"
                  "000000000000000161" "03" "0A58547265654172726179" "0000000A" "00580054007200650065"
                  "0000000000000002" "00000000" "00000000"
                  "000000000000000174" "02" "055854726565" "00000000")
                  .toHex());
}

TEST(XDataStream, ArrayElementEncodingFollowsTheByteOrderSwitch) {
    XTree t;
    t.setArray<qint16>("a", {1, 2, 3});
    const QByteArray head = hex("00000001" "000000000000000161" "03" "0A58547265654172726179" "0000000A" "0069006E007400310036"
                                "0000000000000003");
    EXPECT_EQ(bodyOf(t).toHex(), (head + hex("010002000300")).toHex());
    XDataStream::atomicConsiderByteOrder = true;
    EXPECT_EQ(bodyOf(t).toHex(), (head + hex("000100020003")).toHex());
    XTree back;
    QByteArray body = bodyOf(t);
    XDataStream in(body);
    EXPECT_TRUE(back.readFromStream(in));
    XDataStream::atomicConsiderByteOrder = false;
    ASSERT_NE(back.getPointer<XTreeArray>("a"), nullptr);
    EXPECT_EQ(back.getPointer<XTreeArray>("a")->getPointerAt<qint16>(2)[0], 3);
}

TEST(XDataStream, ShortStringsAreCutAt254Bytes) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    QByteArray out;
    {
        XDataStream s(&out, QIODevice::WriteOnly);
        s.write_short_UTF8_String(QString(300, QLatin1Char('x')));
    }
    ASSERT_EQ(out.size(), 255);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 254);
    XDataStream in(out);
    EXPECT_EQ(in.readShortString(), QString(254, QLatin1Char('x')));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XDataStream::write_short_UTF8_String, str.length() > 254, 300 > 254, cut now")));
}

TEST(XDataStream, LongStringsStopAtTheFirstZeroAndBigDataMovesInChunks) {
    QByteArray out;
    {
        XDataStream s(&out, QIODevice::WriteOnly);
        s.writeCount(3);
        s.flush();  // the stream buffers its writes
        out.append("a\0b", 3);
    }
    XDataStream in(out);
    EXPECT_EQ(in.readString(), QStringLiteral("a"));

    QByteArray big(3 * 1048576 + 17, 'q');
    big[1048576] = 'x';
    QByteArray data;
    {
        XDataStream s(&data, QIODevice::WriteOnly);
        EXPECT_EQ(s.writeBigData(big.constData(), static_cast<std::uint64_t>(big.size())), big.size());
    }
    EXPECT_EQ(data, big);
    XDataStream r(data);
    XMem mem = r.readBigData(static_cast<std::uint64_t>(big.size()));
    ASSERT_EQ(mem.size(), static_cast<std::size_t>(big.size()));
    EXPECT_EQ(QByteArray(mem.mem(), static_cast<int>(mem.size())), big);
}

TEST(XDataStream, EveryRegisteredTypeSurvivesEveryForm) {
    const XTree t = zortest::sampleTree();
    const QString md5 = t.calc_MD5Sum();
    const QString text = t.toStringExtended();
    auto same = [&](const XTree& u, const char* form) {
        EXPECT_EQ(u.calc_MD5Sum(), md5) << form;
        EXPECT_EQ(u.toStringExtended(), text) << form;
        EXPECT_EQ(u.getMap().size(), t.getMap().size()) << form;
    };
    // device
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    ASSERT_TRUE(t.writeToDevice(buf));
    buf.seek(0);
    XTree d;
    ASSERT_TRUE(d.readFromDevice(buf));
    same(d, "device");
    // memory and copies
    XMem mem = t.createMem();
    same(XTree::load(mem), "mem");
    same(t.create_copy(), "create_copy");
    XTree c;
    c.set("old", 1);
    ASSERT_TRUE(t.copy(&c));
    same(c, "copy");
    EXPECT_FALSE(c.containsKey("old"));
    // files
    QTemporaryDir dir;
    const QString file = dir.filePath("t.xtree");
    XTree f = t.create_copy();
    ASSERT_TRUE(f.saveAsFile(file));
    EXPECT_EQ(f.getFilename(), file);
    EXPECT_EQ(QFileInfo(file).size(), static_cast<qint64>(t.calc_mem_size()));
    same(XTree::load(file), "file");
    EXPECT_EQ(XTree::load(file).getFilename(), file);
    ASSERT_TRUE(f.save_as_compressed_file(dir.filePath("t.xtreez")));
    XTree z;
    ASSERT_TRUE(z.load_from_compressed_file(dir.filePath("t.xtreez")));
    same(z, "compressed file");
    XTree zb;
    ASSERT_TRUE(zb.read_from_compressed_bytes(t.write_to_compressed_bytes()));
    same(zb, "compressed bytes");
    same(XTree::create_tree_from_base64(t.create_string_base64()), "base64");

    // Values, arrays, links and parents after reading.
    XTree& u = z;
    EXPECT_EQ(*u.getPointer<QString>("QString"), *t.getPointer<QString>("QString"));
    EXPECT_EQ(*u.getPointer<float>("float"), 1.5f);
    EXPECT_EQ(*u.getPointer<double>("double"), -2.25e-300);
    EXPECT_EQ(*u.getPointer<qint64>("int64"), -9000000000000000000LL);
    EXPECT_EQ(*u.getPointer<QMarginsF>("QMarginsF"), QMarginsF(1.5, 2.5, 3.5, 4.5));
    EXPECT_EQ(*u.getPointer<Vector4>("Vector4"), Vector4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(*u.getPointer<Matrix4>("Matrix4"), *t.getPointer<Matrix4>("Matrix4"));
    EXPECT_EQ(*u.get_tree_array("a_Vector3").getPointerAt<Vector3>(1), Vector3(-1, -2, -3));
    EXPECT_EQ(u.get_XByteArray("bytes"), QByteArray("\x00\x01\xfe\xff", 4));
    EXPECT_TRUE(u.get_tree_array("a_QString").getPointerAt<QString>(1)->isNull());
    ASSERT_NE(u.getPointer<XLink>("toCamera"), nullptr);
    EXPECT_EQ(u.getPointer<XLink>("toCamera")->object(), u.pointerFromPath("/view/camera"));
    EXPECT_EQ(u.getPointer<XLink>("toItem")->object(), u.pointerFromPath("/items/1"));
    EXPECT_EQ(*u.pointerFromPath<qint32>("/items/1/index"), 1);
    EXPECT_EQ(u.pointerFromPath("/view/camera")->parent(), u.getTree("view"));
}

TEST(XDataStream, EveryRegisteredSimpleTypeIsInTheSample) {
    const XTree t = zortest::sampleTree();
    for (const QString& type : XTypeSupporter::basicTypes().typeSet().types(XTypeSet::CAT_SIMPLE)) {
        EXPECT_TRUE(t.containsKey(type)) << type.toStdString();
        if (t.containsKey(type)) {
            EXPECT_EQ(t.getMap().at(type).getType(), type);
            EXPECT_FALSE(t.getMap().at(type).toString().contains("not supported")) << type.toStdString();
        }
    }
    // Maths values: each float is written as an 8-byte double.
    XVal v;
    v.setValMove(Vector2(1.5f, -2.0f));
    QByteArray out;
    {
        XDataStream s(&out, QIODevice::WriteOnly);
        s.writeVal(v);
    }
    EXPECT_EQ(out.toHex(), QByteArray("01" "07566563746f7232" "3ff8000000000000" "c000000000000000"));
}

TEST(XDataStream, SizeAndDigestAgreeWithTheWrittenBytes) {
    const XTree t = zortest::sampleTree();
    const XByteArray bytes = t.createByteArray();
    EXPECT_EQ(t.calc_mem_size(), static_cast<std::uint64_t>(bytes.size()));
    EXPECT_EQ(t.calc_MD5Sum(), MD5(bytes.constData(), static_cast<unsigned int>(bytes.size())).hexdigest());
    const XRamInfo info = t.createRamInfo();
    EXPECT_EQ(info.bytes, bytes.size());
    EXPECT_EQ(info, XRamInfo::ramInfoFromRawMemory(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

TEST(XDataStream, CopiesAreDeep) {
    XTree t = zortest::sampleTree();
    XTree c = t.create_copy();
    *t.pointerFromPath<QString>("/view/camera/name") = QStringLiteral("changed");
    t.get_tree_array("a_int16").getPointerAt<qint16>(0);
    *const_cast<XTreeArray&>(t.get_tree_array("a_int16")).getPointerAt<qint16>(0) = 99;
    EXPECT_EQ(*c.pointerFromPath<QString>("/view/camera/name"), QStringLiteral("main"));
    EXPECT_EQ(*c.get_tree_array("a_int16").getPointerAt<qint16>(0), 1);
    EXPECT_NE(c.pointerFromPath("/view/camera"), t.pointerFromPath("/view/camera"));
    // The copy's links point into the copy.
    EXPECT_EQ(c.getPointer<XLink>("toCamera")->object(), c.pointerFromPath("/view/camera"));
}

TEST(XDataStream, DeepTreesAreWrittenReadCopiedAndDestroyedWithoutRecursion) {
    // Far deeper than the machine stack would allow for recursive walks in a sanitizer build.
    const unsigned int depth = 9000;
    XTree root;
    XTree* t = &root;
    for (unsigned int i = 0; i < depth; ++i) {
        t->set("c", XTree());
        t = t->getTree("c");
        t->set("i", static_cast<qint32>(i));
    }
    const XByteArray bytes = root.createByteArray();
    XTree back = root.create_copy();
    EXPECT_EQ(back.calc_MD5Sum(), root.calc_MD5Sum());
    EXPECT_EQ(back.get_by_type<qint32>(true, false).size(), depth);
    EXPECT_FALSE(back.toStringExtended().isEmpty());
    QString path;
    for (int i = 0; i < 100; ++i) path += QStringLiteral("/c");
    EXPECT_EQ(*back.pointerFromPath<qint32>(path + "/i"), 99);
}

TEST(XDataStream, NestingDeeperThanTheLimitStopsTheReading) {
    XTree root;
    XTree* t = &root;
    for (int i = 0; i < 20; ++i) {
        t->set("x", i);
        t->set("y", XTree());
        t = t->getTree("y");
    }
    const XByteArray bytes = root.createByteArray();
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    XDataStream::setMaxDepth(10);
    ReadResult r = readBytes(bytes, cap);
    XDataStream::setMaxDepth(10000);
    EXPECT_FALSE(r.ok);
    // The levels above the limit are kept, each with its value; the tree that would go deeper is
    // an empty slot.
    QString path;
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(r.tree.pointerFromPath<qint32>(path + "/x"), nullptr) << i;
        EXPECT_EQ(*r.tree.pointerFromPath<qint32>(path + "/x"), i);
        path += QStringLiteral("/y");
    }
    EXPECT_EQ(r.tree.pointerFromPath<XTree>(path), nullptr) << r.tree.toStringExtended().toStdString();
    EXPECT_EQ(r.problems.join('\n').toStdString(),
              "XDataStream::readVal, nesting deeper than 10 levels\n"
              "XDataStream::readVal, type problems <XTree>, typeSupporter@Standard");
}

TEST(XDataStream, ReadingGoesOnPastValuesThatCannotBeRead) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    const QByteArray head = hex("0000000000000005" "5854726565");                   // the class name "XTree"
    const QByteArray b7 = hex("000000000000000162" "01" "05696E743332" "00000007");  // b: int32 7
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList keys;      // what the tree holds afterwards
        QStringList problems;  // every error line, in order ("type problems <T>" for the one of T)
    };
    auto tp = [](const char* type) {
        return QStringLiteral("XDataStream::readVal, type problems <%1>, typeSupporter@Standard")
            .arg(QLatin1String(type));
    };
    const QString hugeCount = QStringLiteral("XDataStream::read, 2147483647 entries cannot be in the 83 bytes left");
    QByteArray huge = head + hex("7FFFFFFF");
    huge.append(QByteArray(100 - huge.size(), '\0'));
    // clang-format off
    const Case cases[] = {
        {"empty", QByteArray(), {}, {QStringLiteral("XDataStream::read, the data ends early or is damaged at byte 0")}},
        {"unknown type, then a value",
         head + hex("00000002" "000000000000000161" "01" "0573706F6F6B") + b7,
         {"a", "b"},
         {tp("spook")}},
        {"category that does not fit",
         head + hex("00000002" "000000000000000161" "02" "05696E743332") + b7,
         {"a", "b"},
         {QStringLiteral("XDataStream::readVal, category TREE does not fit type <int32>"), tp("int32")}},
        {"array element type unknown",
         head + hex("00000002" "000000000000000161" "03" "0A58547265654172726179"
                    "00000002" "0078" "0000000000000000") + b7,
         {"a", "b"},
         {tp("x")}},
        {"value cut short",
         head + hex("00000002") + b7 + hex("000000000000000163" "01" "05696E743332" "0000"),
         {"b", "c"},
         {QStringLiteral("XDataStream::read, the data ends early or is damaged at byte 55"), tp("int32")}},
        {"cut inside a key",
         head + hex("00000002") + b7 + hex("0000000000000001"),
         {"b"},
         {QStringLiteral("XDataStream::readString, length 1 does not fit the 0 bytes left")}},
        {"2^31 entries in 100 bytes",
         huge,
         {""},
         QStringList(hugeCount) << tp("") << tp("") << tp("") << tp("") << tp("") << tp("") << tp("") << tp("")},
        {"key longer than the file",
         head + hex("00000001" "7FFFFFFFFFFFFFFF" "0000000000000000"),
         {},
         {QStringLiteral("XDataStream::readString, length 9223372036854775807 does not fit the 8 bytes left")}},
        {"negative count",
         head + hex("80000000"),
         {},
         {QStringLiteral("XDataStream::read, negative entry count -2147483648")}},
        {"Qt string longer than the file",
         head + hex("00000001" "000000000000000161" "03" "0A58547265654172726179" "7FFFFFFE"),
         {"a"},
         {QStringLiteral("XDataStream::readQtString, length 2147483646 does not fit the 0 bytes left"),
          tp("XTreeArray")}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const ReadResult r = readBytes(c.bytes, cap);
        EXPECT_FALSE(r.ok) << c.name;
        QStringList keys;
        for (const auto& kv : r.tree.getMap()) keys << kv.first;
        EXPECT_EQ(keys, c.keys) << c.name;
        EXPECT_EQ(r.problems.join('\n').toStdString(), c.problems.join('\n').toStdString()) << c.name;
        for (const auto& kv : r.tree.getMap()) {
            if (kv.first == QLatin1String("b")) {
                EXPECT_EQ(*r.tree.getPointer<qint32>("b"), 7) << c.name;
            } else {
                EXPECT_EQ(kv.second.value(), nullptr) << c.name << " " << kv.first.toStdString();
            }
        }
    }
}

TEST(XDataStream, ArraysThatPromiseMoreThanTheBytesHoldKeepWhatIsThere) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    // clang-format off
    const QByteArray head = hex("0000000000000005" "5854726565" "00000001" "000000000000000161" "03" "0A58547265654172726179");
    // clang-format on
    const QString tp = QStringLiteral("XDataStream::readVal, type problems <XTreeArray>, typeSupporter@Standard");
    // 2^31 int16 elements, three there (the memory image, machine order).
    ReadResult r = readBytes(head + hex("0000000A" "0069006E007400310036" "0000000080000000" "010002000300"), cap);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.tree.get_tree_array("a").size(), 3u);
    EXPECT_EQ(*r.tree.pointerFromPath<qint16>("/a/2"), 3);
    EXPECT_EQ(r.problems.join('\n').toStdString(),
              ("XDataStream::read, 2147483648 elements cannot be in the 6 bytes left\n" + tp).toStdString());
    // Strings, element by element: the third one is cut.
    // clang-format off
    r = readBytes(head + hex("0000000E" "00510053007400720069006E0067" "0000000000000003"
                             "00000002" "0061" "00000000" "00000004" "00"), cap);
    // clang-format on
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.tree.get_tree_array("a").size(), 2u);
    EXPECT_EQ(*r.tree.pointerFromPath<QString>("/a/0"), QStringLiteral("a"));
    // 1000 trees, two there; then a cut inside the second of three: the trees begun are kept.
    const QByteArray trees = head + hex("0000000A" "00580054007200650065");
    // clang-format off
    r = readBytes(trees + hex("00000000000003E8" "00000000"
                              "00000001" "000000000000000178" "01" "05696E743332" "00000005"), cap);
    // clang-format on
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.tree.get_tree_array("a").size(), 2u);
    EXPECT_EQ(*r.tree.pointerFromPath<qint32>("/a/1/x"), 5);
    EXPECT_EQ(r.problems.join('\n').toStdString(), "XDataStream::read, 1000 trees cannot be in the 28 bytes left");
    // clang-format off
    r = readBytes(trees + hex("0000000000000003" "00000000"
                              "00000002" "000000000000000178" "01" "05696E743332" "00000005" "0000"), cap);
    // clang-format on
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.tree.get_tree_array("a").size(), 2u);
    EXPECT_EQ(*r.tree.pointerFromPath<qint32>("/a/1/x"), 5);
    EXPECT_EQ(r.tree.pointerFromPath<XTree>("/a/1")->parent(), &r.tree.get_tree_array("a"));
}

TEST(XDataStream, ATruncatedTreeKeepsEveryEntryReadBeforeTheCut) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    const XTree sample = zortest::sampleTree();
    const QByteArray good = sample.createByteArray();
    std::size_t lastCount = 0;
    for (int cut = 13; cut < good.size(); cut += 11) {
        const ReadResult r = readBytes(good.left(cut), cap);
        ASSERT_FALSE(r.ok) << cut;
        // At most two lines of the stream: where the data ended, and the value it ended in (links
        // to what was not read may add theirs).
        const QStringList stream = r.problems.filter(QRegularExpression(QStringLiteral("^XDataStream::")));
        EXPECT_GE(stream.size(), 1) << cut;
        EXPECT_LE(stream.size(), 2) << cut << ": " << r.problems.join('|').toStdString();
        // The entries come in key order: all but the last one are whole and as written.
        ASSERT_GE(r.tree.size(), lastCount) << cut;
        lastCount = r.tree.size();
        std::size_t i = 0;
        for (auto it = r.tree.getMap().begin(); it != r.tree.getMap().end(); ++it, ++i) {
            ASSERT_TRUE(sample.containsKey(it->first)) << cut;
            if (i + 1 < r.tree.size()) {
                EXPECT_EQ(recordOf(it->second), recordOf(sample.getVal(it->first)))
                    << cut << " " << it->first.toStdString();
            }
        }
    }
    EXPECT_EQ(lastCount, sample.size());
    // A tree that held entries before the read holds only what was read.
    XTree target = zortest::sampleTree();
    target.set("zzz", 1);
    QBuffer buf;
    buf.setData(good.left(good.size() - 3));
    buf.open(QIODevice::ReadOnly);
    EXPECT_FALSE(target.readFromDevice(buf));
    EXPECT_FALSE(target.containsKey("zzz"));
}

TEST(XDataStream, ManyValuesThatCannotBeReadDoNotHoldTheReader) {
    // Each value that cannot be read gets its line and its empty slot; the pause after each one is
    // a setting, none by default, so a file of a thousand such values is read at once.
    EXPECT_EQ(XDataStream::typeProblemPauseMs(), 0u);
    // clang-format off
    QByteArray bytes = hex("0000000000000005" "5854726565" "000003E8");
    for (int i = 0; i < 1000; ++i)  // keys 1000 to 1999, each of the unknown type "spook"
        bytes += hex("0000000000000004") + QByteArray::number(1000 + i) + hex("01" "0573706F6F6B");
    // clang-format on
    zortest::LogCapture capture;
    const ReadResult r = readBytes(bytes, capture.appender());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.tree.size(), 1000u);
    EXPECT_EQ(r.problems.size(), 1000);
    EXPECT_EQ(r.problems.filter(QStringLiteral("type problems <spook>")).size(), 1000);
}

TEST(XDataStream, DamagedCompressedTreesAreRefusedWithTheirChecksumError) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    const XTree t = zortest::sampleTree();
    QByteArray block = t.write_to_compressed_bytes();
    block[block.size() / 2] = static_cast<char>(block[block.size() / 2] ^ 0x10);
    XTree u = zortest::sampleTree();
    EXPECT_FALSE(u.read_from_compressed_bytes(block));
    EXPECT_TRUE(u.isEmpty());
    QString text = t.create_string_base64();
    text[40] = text[40] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    EXPECT_TRUE(XTree::create_tree_from_base64(text).isEmpty());
    zortest::drainLogger();
    int problems = 0;
    for (const auto& m : cap.messages()) problems += (m.level & (0x4 | 0x8)) ? 1 : 0;
    EXPECT_EQ(problems, 2) << cap.texts().join('|').toStdString();
    // An empty tree compresses to an intact block of nothing and reads back as empty.
    XTree empty;
    XTree into = zortest::sampleTree();
    EXPECT_TRUE(into.read_from_compressed_bytes(empty.write_to_compressed_bytes()));
    EXPECT_TRUE(into.isEmpty());
}

TEST(XDataStream, ClassNameMismatchAndLinksToNothing) {
    zortest::LogCapture capture;
    zortest::CaptureAppender& cap = capture.appender();
    XTree t;
    t.set("x", 1);
    QByteArray bytes = t.createByteArray();
    bytes.replace(8, 5, "YTree");
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    XTree u;
    EXPECT_FALSE(u.readFromDevice(buf));
    EXPECT_TRUE(u.isEmpty());

    // A link whose path leads nowhere loads as a link without target.
    XTree withLink;
    withLink.set("l", XLink(QStringLiteral("/no/where")));
    XTree back = withLink.create_copy();
    ASSERT_NE(back.getPointer<XLink>("l"), nullptr);
    EXPECT_FALSE(back.getPointer<XLink>("l")->isValid());
    EXPECT_EQ(back.getPointer<XLink>("l")->url(), QStringLiteral("/no/where"));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTree::readFromDevice, TYPE warning, we are <XTree> but should be <YTree>")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLink::URL_to_pointer, url '/no/where' not found")));
}

TEST(XDataStream, SequentialDevicesAreBoundedByWhatTheyHold) {
    // A sequential device claims nothing beyond its buffered bytes: a huge count is refused.
    XTree t = zortest::sampleTree();
    const QByteArray bytes = t.createByteArray();
    QTemporaryDir dir;
    const QString name = dir.filePath("seq");
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(name, bytes));
    // QBuffer is random access; a process channel is sequential and holds everything once finished.
    QProcess cat;
    cat.start(QStringLiteral("cat"), {name});
    ASSERT_TRUE(cat.waitForFinished(10000));
    XTree u;
    EXPECT_TRUE(u.readFromDevice(cat));
    EXPECT_EQ(u.calc_MD5Sum(), t.calc_MD5Sum());
}

TEST(XDataStream, EmptyArraysKeepTheirElementTypeThroughTheStream) {
    // Found by fuzzing: an empty array of trees read from a stream must write again.
    XTree t;
    t.setTreeArray("trees", 0);
    t.setLinkArray("links", 0);
    t.setArray<QString>("strings", std::vector<QString>());
    XTree back = t.create_copy();
    EXPECT_EQ(back.createByteArray(), t.createByteArray());
    EXPECT_TRUE(back.get_tree_array("trees").isCategoryTree());
    EXPECT_TRUE(back.get_tree_array("links").isCategoryLink());
    XVal v;
    QByteArray record = QByteArray::fromHex("03" "0A58547265654172726179" "0000000A" "00580054007200650065" "0000000000000000");
    XDataStream in(record);
    ASSERT_TRUE(in.readVal(v));
    QByteArray out;
    XDataStream s(&out, QIODevice::WriteOnly);
    EXPECT_TRUE(s.writeVal(v));
    EXPECT_EQ(out, record);
}

TEST(XDataStream, TreesFollowEachOtherOnOneDevice) {
    // The stream reads ahead in large pieces: what it did not use goes back to the device, so a
    // second tree (or anything else) right behind the first is read from the right place.
    XTree a = zortest::sampleTree();
    XTree b;
    b.setString("second", "yes");
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    ASSERT_TRUE(a.writeToDevice(buf));
    ASSERT_TRUE(b.writeToDevice(buf));
    buf.write("tail", 4);
    buf.seek(0);
    XTree ra, rb;
    ASSERT_TRUE(ra.readFromDevice(buf));
    EXPECT_EQ(buf.pos(), static_cast<qint64>(a.calc_mem_size()));
    ASSERT_TRUE(rb.readFromDevice(buf));
    EXPECT_EQ(*rb.getPointer<QString>("second"), QStringLiteral("yes"));
    EXPECT_EQ(buf.read(4), QByteArray("tail"));
    EXPECT_EQ(ra.calc_MD5Sum(), a.calc_MD5Sum());

    // Values one after another through one stream, with plain numbers in between.
    QByteArray bytes;
    {
        XDataStream s(&bytes, QIODevice::WriteOnly);
        for (const auto& kv : a.getMap()) {
            s << static_cast<qint32>(kv.first.size());
            ASSERT_TRUE(s.writeVal(kv.second)) << kv.first.toStdString();
        }
    }
    XDataStream in(bytes);
    for (const auto& kv : a.getMap()) {
        qint32 n = 0;
        in >> n;
        EXPECT_EQ(n, kv.first.size());
        XVal v;
        ASSERT_TRUE(in.readVal(v)) << kv.first.toStdString();
        EXPECT_EQ(v.getType(), kv.second.getType());
    }
    EXPECT_EQ(in.bytesLeft(), 0);
}
