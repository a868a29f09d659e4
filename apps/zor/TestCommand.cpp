// zor test: zor's own checks of the library, registered with the test framework and run by name,
// from a list file or by a name filter, with the framework's result lines and exit codes:
//   zor test                      lists the tests
//   zor test md5.known            runs one test (its result is the exit code)
//   zor test --list checks.txt    runs a regression list (0 when every test passed, else 1)
//   zor test --filter round       runs every test whose name contains "round"
#include "Commands.h"
#include "TreeSample.h"

#include <zor/core.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace zorapp {

using namespace zor;

namespace {

int md5Known() {
    // RFC 1321's test suite.
    if (MD5::md5FromString(QStringLiteral("abc")) != QLatin1String("900150983CD24FB0D6963F7D28E17F72")) return EXIT_ZOR_CHECKSUM;
    if (MD5::md5FromString(QString()) != QLatin1String("D41D8CD98F00B204E9800998ECF8427E")) return EXIT_ZOR_CHECKSUM;
    return EXIT_ZOR_OK;
}

// md5.check --text T --md5 HEX: the digest of T is HEX (any case).
int md5Check(Kernel& k) {
    const QString expected = k.getString(QStringLiteral("md5")).toUpper();
    if (expected.isEmpty()) {
        logError("md5.check, missing argument --md5");
        return EXIT_ZOR_ARGUMENT;
    }
    const QString digest = MD5::md5FromString(k.getString(QStringLiteral("text")));
    if (digest == expected) return EXIT_ZOR_OK;
    logError("md5.check, digest $, expected $", digest, expected);
    return EXIT_ZOR_CHECKSUM;
}

int compressRoundTrip() {
    QByteArray text;
    for (int i = 0; i < 5000; ++i) text += QByteArray::number(i % 97) + ' ';
    const XByteArray block = XByteArray::compress(text);
    if (block.size() >= text.size()) return EXIT_ZOR_GENERAL_FAILURE;  // repetitive text must shrink
    if (XByteArray::unCompress(block) != text) return EXIT_ZOR_CHECKSUM;
    QByteArray damaged = block;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
    return XByteArray::unCompress(damaged).isEmpty() ? EXIT_ZOR_OK : EXIT_ZOR_CHECKSUM;
}

int frameRoundTrip() {
    const QByteArray data("a\0b\0\0c", 6);
    QByteArray back;
    if (!ArrayTools::unFrameQByteArray_MD5(ArrayTools::frameQByteArray_MD5(data), back) || back != data) return EXIT_ZOR_CHECKSUM;
    return EXIT_ZOR_OK;
}

int xmlParse() {
    std::unique_ptr<XNode> root(XNode::parseString(
        QStringLiteral("<root><items><item name=\"a\" v=\"1\"/><item name=\"b\" v=\"2\"/></items></root>"), nullptr));
    if (!root) return EXIT_ZOR_XML;
    const XNode* b = root->query(QStringLiteral("/root/items/item@b"));
    if (b == nullptr || b->getString(QStringLiteral("v"), QString()) != QLatin1String("2")) return EXIT_ZOR_XML;
    std::unique_ptr<XNode> bad(XNode::parseString(QStringLiteral("<a><b></a>"), nullptr));
    return bad ? EXIT_ZOR_XML : EXIT_ZOR_OK;  // malformed text is refused
}

int treeRoundTrip() {
    QTemporaryDir dir;
    if (!dir.isValid()) return EXIT_ZOR_IO;
    XTree tree = sampleTree();
    const QString digest = tree.calc_MD5Sum();
    const QString plain = dir.filePath(QStringLiteral("t.xtree"));
    const QString packed = dir.filePath(QStringLiteral("t.xtreez"));
    if (!tree.saveAsFile(plain) || !tree.save_as_compressed_file(packed)) return EXIT_ZOR_IO;
    XTree back;
    if (!back.loadFromFile(plain)) return EXIT_ZOR_PARSING;
    const QString plainDigest = back.calc_MD5Sum();
    XByteArray block;
    XTree unpacked;
    if (!FileReader::loadFromFile(block, packed) || !unpacked.read_from_compressed_bytes(block)) return EXIT_ZOR_PARSING;
    const QString packedDigest = unpacked.calc_MD5Sum();
    if (plainDigest == digest && packedDigest == digest) return EXIT_ZOR_OK;
    logError("tree.roundtrip, digest $, plain file $, compressed file $", digest, plainDigest, packedDigest);
    return EXIT_ZOR_CHECKSUM;
}

// file.relative --file NAME: NAME, relative to the running list ($RELPATH), exists.
int fileRelative(Kernel& k) {
    const QString name = k.getString(QStringLiteral("file"));
    const QString rel = getEnv(QStringLiteral("RELPATH"));
    const QString path = rel.isEmpty() ? name : QDir(rel).filePath(name);
    if (!name.isEmpty() && QFileInfo(path).isFile()) return EXIT_ZOR_OK;
    logError("file.relative, no file '$'", path);
    return EXIT_ZOR_FILE_NOT_FOUND;
}

const ModuleTests zorTests(QStringLiteral("zor"),
                           {TestContextAdder(&md5Known, QStringLiteral("md5.known"), QStringLiteral("MD5 of the RFC 1321 texts")),
                            TestContextAdder(&md5Check, QStringLiteral("md5.check"), QStringLiteral("--text T --md5 HEX: T has that digest")),
                            TestContextAdder(&compressRoundTrip, QStringLiteral("compress.roundtrip"),
                                             QStringLiteral("a compressed block unpacks to its text, a damaged one is refused")),
                            TestContextAdder(&frameRoundTrip, QStringLiteral("frame.roundtrip"),
                                             QStringLiteral("an MD5 frame of bytes with zeros unframes to them")),
                            TestContextAdder(&xmlParse, QStringLiteral("xml.parse"),
                                             QStringLiteral("an XML text parses and answers a query; malformed text is refused")),
                            TestContextAdder(&treeRoundTrip, QStringLiteral("tree.roundtrip"),
                                             QStringLiteral("the sample tree written plain and compressed reads back with its digest")),
                            TestContextAdder(&fileRelative, QStringLiteral("file.relative"),
                                             QStringLiteral("--file NAME: NAME exists next to the running list"), false)});

}  // namespace

int runTest(const CommandLine& cmd) {
    // The framework builds its own kernel from arguments: "zor NAME-or-list ...keys".
    const std::vector<QByteArray>& words = programArgs();
    std::vector<QByteArray> args{words.empty() ? QByteArray("zor") : words.front()};
    const bool list = cmd.hasKey(QStringLiteral("list"));
    const bool filter = cmd.hasKey(QStringLiteral("filter"));
    if (list || filter) {
        const QString what = cmd.getString(list ? QStringLiteral("list") : QStringLiteral("filter"));
        if (what.isEmpty()) {
            std::fprintf(stderr, "zor: test, --%s needs a value (zor --help shows the usage)\n", list ? "list" : "filter");
            return EXIT_ZOR_ARGUMENT;
        }
        args.push_back(what.toLocal8Bit());
    }
    // The words after "test": a test name and keys, without --list/--filter and their values.
    for (std::size_t i = 2; i < words.size(); ++i) {
        if (words[i] == "--list" || words[i] == "--filter") {
            ++i;
            continue;
        }
        args.push_back(words[i]);
    }
    std::vector<char*> argv;
    for (QByteArray& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(args.size());
    if (list || filter) return RegressionTests::execRegressionTests(argc, argv.data(), nullptr);
    return ZorTestFramework::mainTest(argc, argv.data(), nullptr, false);
}

}  // namespace zorapp
