// The file commands: a file's MD5 digest, compressed blocks and MD5 frames written and read back.
// Each prints one result line on success; a missing argument, a file that cannot be read or
// written and a damaged block each end with one error line and the library's exit code for it.
#include "Commands.h"

#include <zor/core.h>

#include <QFile>
#include <cstdio>
#include <functional>

namespace zorapp {

using namespace zor;

namespace {

// Without --verbose a command's output is its result line only: warnings and errors go to stderr
// as "zor: <text>", everything else is dropped.
class ProblemsToStderr : public Appender {
public:
    ProblemsToStderr() : Appender(QStringLiteral("stderr")) {}
    void append(LogMessage* msg) override {
        if (!msg->isFatal() && !msg->isError() && !msg->isWarning()) return;
        std::fprintf(stderr, "zor: %s\n", qPrintable(msg->toString()));
        std::fflush(stderr);
    }
};

}  // namespace

// Starts the logger for a command: the console with every level for --verbose true, else
// problems to stderr.
bool startLogger(const CommandLine& cmd) {
    if (cmd.isBool(QStringLiteral("verbose"), false)) return Logger::ini(cmd);
    // Owned by the process: appenders outlive every logger that delivers to them.
    static ProblemsToStderr* problems = new ProblemsToStderr();
    QList<Appender*> appenders{problems};
    return Logger::ini(cmd, &appenders);
}

// Ends a command: delivers every log line, then prints the result line of a successful one.
int finish(int rc, const QString& line) {
    Logger::quit();
    if (rc == EXIT_ZOR_OK && !line.isEmpty()) std::printf("%s\n", qPrintable(line));
    return rc;
}

// The value of a required key; logs and returns false when it is missing or empty.
bool requireKey(const CommandLine& cmd, const char* key, QString& value) {
    value = cmd.getString(QLatin1String(key));
    if (value.isEmpty()) {
        logError("$, missing argument --$ (zor --help shows the usage)", cmd.getCommand(), key);
        return false;
    }
    return true;
}

// Reads a whole input file; the exit code says why it could not be read.
std::unique_ptr<KernelTerminal> ensureApplication() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    // Qt keeps references to argc and argv for the application's whole life.
    static int argc = 1;
    static char name[] = "zor";
    static char* argv[] = {name, nullptr};
    static char* env[] = {nullptr};
    return std::make_unique<KernelTerminal>(argc, argv, env, false);
}

int readInput(const CommandLine& cmd, const QString& name, QByteArray& data) {
    if (!fileExists(name)) {
        logError("$, no such file '$'$", cmd.getCommand(), name, dirExists(name) ? " (it is a directory)" : "");
        return EXIT_ZOR_FILE_NOT_FOUND;
    }
    if (getFileLength(name) == 0) {  // an empty file is a valid, empty input
        data.clear();
        return EXIT_ZOR_OK;
    }
    XByteArray bytes;
    if (!FileReader::loadFromFile(bytes, name)) {
        logError("$, cannot read '$'", cmd.getCommand(), name);
        return EXIT_ZOR_IO;
    }
    data = bytes;
    return EXIT_ZOR_OK;
}

namespace {

int writeOutput(const CommandLine& cmd, const QString& name, const QByteArray& data) {
    if (dirExists(name)) {
        logError("$, '$' is a directory", cmd.getCommand(), name);
        return EXIT_ZOR_IO;
    }
    if (!writeByteArrayToFile(data, name)) {
        logError("$, cannot write '$'", cmd.getCommand(), name);
        return EXIT_ZOR_IO;
    }
    return EXIT_ZOR_OK;
}

// The shape of the conversions: --in read, converted by step (which returns an exit code and
// logs its own error), --out written, then one line "<done> 'in' (n bytes) to 'out' (m bytes)".
using Step = std::function<int(const QString& in, const QByteArray& input, QByteArray& output)>;

int convert(const CommandLine& cmd, const char* done, const Step& step) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString in, out;
    if (!requireKey(cmd, "in", in) || !requireKey(cmd, "out", out)) return finish(EXIT_ZOR_ARGUMENT);
    QByteArray input, output;
    if (int rc = readInput(cmd, in, input)) return finish(rc);
    if (int rc = step(in, input, output)) return finish(rc);
    if (int rc = writeOutput(cmd, out, output)) return finish(rc);
    return finish(EXIT_ZOR_OK, xformat("$ '$' ($ bytes) to '$' ($ bytes)", done, in, input.size(), out, output.size()));
}

}  // namespace

int runMd5(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString file;
    if (!requireKey(cmd, "file", file)) return finish(EXIT_ZOR_ARGUMENT);
    if (!fileExists(file)) {
        logError("md5, no such file '$'$", file, dirExists(file) ? " (it is a directory)" : "");
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    const QString digest = MD5::md5FromFile(QFile::encodeName(file).constData());
    if (digest == QLatin1String("MD5-NOT-FINALIZED")) {
        logError("md5, cannot read '$'", file);
        return finish(EXIT_ZOR_IO);
    }
    return finish(EXIT_ZOR_OK, xformat("$  $", digest, file));
}

int runCompress(const CommandLine& cmd) {
    return convert(cmd, "compressed", [](const QString&, const QByteArray& data, QByteArray& block) {
        block = XByteArray::compress(data);
        return EXIT_ZOR_OK;
    });
}

int runUncompress(const CommandLine& cmd) {
    return convert(cmd, "uncompressed", [](const QString& in, const QByteArray& block, QByteArray& data) {
        data = XByteArray::unCompress(block);
        // An empty result is right only for a block that holds an empty array: 16 digest bytes
        // and a zero length. Anything else was refused as damaged.
        const bool emptyBlock = block.size() >= 20 && block.mid(16, 4) == QByteArray(4, '\0') &&
                                MD5::md5_16(block.mid(16)) == block.left(16);
        if (data.isEmpty() && !emptyBlock) {
            logError("uncompress, '$' is not an intact compressed block", in);
            return EXIT_ZOR_CHECKSUM;
        }
        return EXIT_ZOR_OK;
    });
}

int runFrame(const CommandLine& cmd) {
    return convert(cmd, "framed", [](const QString&, const QByteArray& data, QByteArray& frame) {
        frame = ArrayTools::frameQByteArray_MD5(data);
        return EXIT_ZOR_OK;
    });
}

int runUnframe(const CommandLine& cmd) {
    return convert(cmd, "unframed", [](const QString& in, const QByteArray& frame, QByteArray& data) {
        if (!ArrayTools::unFrameQByteArray_MD5(frame, data)) {
            logError("unframe, '$' is not an intact MD5 frame", in);
            return EXIT_ZOR_CHECKSUM;
        }
        return EXIT_ZOR_OK;
    });
}

}  // namespace zorapp
