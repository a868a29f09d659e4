// zor run -- PROGRAM ARGS...: runs a child process and ends with its exit code. The child's output
// is passed through as it comes (its stdout to stdout, its stderr to stderr); with --verbose true
// each output line is logged instead. A child that cannot start ends zor with 127, a child ended
// by signal N with 128+N, as a shell reports them.
#include "Commands.h"

#include <zor/core.h>

#include <cstdio>

namespace zorapp {

using namespace zor;

namespace {

QStringList& passThrough() {
    static QStringList args;
    return args;
}

}  // namespace

void setPassThroughArgs(const QStringList& args) { passThrough() = args; }
const QStringList& passThroughArgs() { return passThrough(); }

int runRun(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    const QStringList& args = passThroughArgs();
    if (args.isEmpty() || args.first().isEmpty()) {
        logError("run, missing program: zor run -- PROGRAM ARGS... (zor --help shows the usage)");
        return finish(EXIT_ZOR_ARGUMENT);
    }
    XProcess child;
    child.setInputChannelMode(QProcess::ForwardedInputChannel);
    if (cmd.isBool(QStringLiteral("verbose"), false)) {
        child.setLogOutput(true);
    } else {
        child.addListenerOutput([](const QByteArray& chunk, bool isStdErr) {
            std::FILE* to = isStdErr ? stderr : stdout;
            std::fwrite(chunk.constData(), 1, static_cast<std::size_t>(chunk.size()), to);
            std::fflush(to);
        });
    }
    child.start(args.first(), args.mid(1));
    if (!child.waitForStarted(-1)) {
        logError("run, cannot start '$': $", args.first(), child.errorString());
        return finish(EXIT_RUN_CANNOT_START);
    }
    child.waitForFinished(-1);
    if (child.exitStatus() == QProcess::CrashExit) {
        const int sig = child.exitSignal();
        logWarning("run, '$' ended by signal $", args.first(), sig);
        return finish(128 + sig);
    }
    logInfo("run, '$' exit code $", args.first(), child.exitCode());
    return finish(child.exitCode());
}

}  // namespace zorapp
