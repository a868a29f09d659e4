// The tree command: prints a tree file in the library's text form (plain, compressed or base64
// files are told apart by their first bytes), prints its MD5 through the stream, or writes a
// sample tree with every registered type. A damaged tree is printed as far as it could be read and
// ends with the parsing code (9); a compressed block whose digest does not match ends with the
// checksum code (10).
#include "Commands.h"
#include "TreeSample.h"

#include <zor/core.h>

#include <QFile>
#include <cstdio>

namespace zorapp {

using namespace zor;

namespace {

enum class Form { Plain, Compressed, Base64 };

const char* formName(Form f) {
    switch (f) {
        case Form::Plain: return "plain";
        case Form::Compressed: return "compressed";
        default: return "base64";
    }
}

// A plain tree starts with its class name as a long string: a small big-endian length, then that
// many printable bytes. Base64 text has only its alphabet and line breaks. Anything else is taken
// for a compressed block, which carries its own digest.
Form guessForm(const QByteArray& data) {
    if (data.size() >= 9 && data.left(7) == QByteArray(7, '\0')) {
        const int n = static_cast<unsigned char>(data[7]);
        bool printable = n > 0 && data.size() >= 8 + n;
        for (int i = 8; printable && i < 8 + n; ++i) printable = data[i] > 0x20 && data[i] < 0x7F;
        if (printable) return Form::Plain;
    }
    bool text = !data.isEmpty();
    for (char c : data) {
        const bool alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                           c == '/' || c == '=' || c == '\n' || c == '\r';
        if (!alpha) {
            text = false;
            break;
        }
    }
    return text ? Form::Base64 : Form::Compressed;
}

bool intactBlock(const QByteArray& block) {
    return block.size() >= 20 && MD5::md5_16(block.mid(16)) == block.left(16);
}

// Reads the tree; a damaged one gives the parsing code and keeps what could be read.
int readTree(const CommandLine& cmd, const QString& in, XTree& tree, Form& form) {
    QByteArray data;
    if (int rc = readInput(cmd, in, data)) return rc;
    form = guessForm(data);
    QByteArray block = data;
    if (form == Form::Base64) block = QByteArray::fromBase64(data);
    if (form != Form::Plain && !intactBlock(block)) {
        logError("tree, '$' is not an intact $ tree (CHECKSUM)", in, formName(form));
        return EXIT_ZOR_CHECKSUM;
    }
    bool ok = false;
    if (form == Form::Plain) ok = tree.loadFromFile(in);
    else ok = tree.read_from_compressed_bytes(block);
    if (!ok) {
        logError("tree, '$' is a damaged $ tree: $ entries could be read", in, formName(form), tree.size());
        return EXIT_ZOR_PARSING;
    }
    return EXIT_ZOR_OK;
}

// The tree's text on standard output, after the logger has written its lines.
int finishWithTree(int rc, const XTree& tree) {
    QString text = tree.toStringExtended();
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    Logger::quit();
    std::printf("%s\n", qPrintable(text));
    return rc;
}

int writeSample(const CommandLine& cmd) {
    QString out;
    if (!requireKey(cmd, "out", out)) return finish(EXIT_ZOR_ARGUMENT);
    if (dirExists(out)) {
        logError("tree, '$' is a directory", out);
        return finish(EXIT_ZOR_IO);
    }
    XTree tree = sampleTree();
    bool ok = false;
    Form form = Form::Plain;
    if (cmd.isBool(QStringLiteral("compress"), false)) {
        form = Form::Compressed;
        ok = tree.save_as_compressed_file(out);
    } else if (cmd.isBool(QStringLiteral("base64"), false)) {
        form = Form::Base64;
        const QByteArray text = tree.create_string_base64().toLatin1() + '\n';
        ok = writeByteArrayToFile(text, out);
    } else {
        ok = tree.saveAsFile(out);
    }
    if (!ok) {
        logError("tree, cannot write '$'", out);
        return finish(EXIT_ZOR_IO);
    }
    return finish(EXIT_ZOR_OK, xformat("wrote the $ sample tree '$' ($ bytes, $ entries, MD5 $)", formName(form), out,
                                       getFileLength(out), tree.getMap().size(), tree.calc_MD5Sum()));
}

}  // namespace

int runTree(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    if (cmd.hasKey(QStringLiteral("sample"))) return writeSample(cmd);
    QString in;
    if (!requireKey(cmd, "in", in)) return finish(EXIT_ZOR_ARGUMENT);
    XTree tree;
    Form form = Form::Plain;
    const bool md5 = cmd.isBool(QStringLiteral("md5"), false);
    const int rc = readTree(cmd, in, tree, form);
    // A damaged tree is shown as far as it was read; it has no digest of its own.
    if (rc == EXIT_ZOR_PARSING && !md5) return finishWithTree(rc, tree);
    if (rc != EXIT_ZOR_OK) return finish(rc);
    if (md5) return finish(EXIT_ZOR_OK, xformat("$  $", tree.calc_MD5Sum(), in));
    return finishWithTree(EXIT_ZOR_OK, tree);
}

}  // namespace zorapp
