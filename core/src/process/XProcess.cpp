#include <zor/XProcess.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/Tokenizer.h>
#include <zor/XArgs.h>

#include "platform/Platform.h"
#include "platform/PlatformProcess.h"

#include <QFile>
#include <QProcessEnvironment>

namespace zor {

XAtomic<bool> XProcess::atomicFlagDebug{false};

namespace {

// Listeners are called on a copy of their list: one that adds another listener does not deadlock.
template <typename F>
std::vector<F> snapshot(std::mutex& m, const std::vector<F>& list) {
    std::lock_guard<std::mutex> lock(m);
    return list;
}

}  // namespace

XProcess::XProcess() {
    logDebug("XProcess::XProcess");
    QObject::connect(this, &QProcess::stateChanged, this, [this](QProcess::ProcessState s) { onStateChanged(s); });
    QObject::connect(this, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) { onError(e); });
    QObject::connect(this, &QProcess::started, this, [this] { onStarted(); });
    QObject::connect(this, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                     [this](int code, QProcess::ExitStatus status) { onFinished(code, status); });
}

// A child still running when its object goes is killed and reaped here, with the listeners
// disconnected first: QProcess's own destructor would emit finished into members already gone.
XProcess::~XProcess() {
    QObject::disconnect(this, nullptr, this, nullptr);
    if (state() != NotRunning) {
        kill();
        waitForFinished(5000);
    }
}

void XProcess::start(const QString& program, const QStringList& arguments, OpenMode mode) {
    startTime = getMicroseconds();
    QProcess::start(program, arguments, mode);
}

void XProcess::start(const QString& command, OpenMode mode) {
    QStringList parts = QProcess::splitCommand(command);
    const QString program = parts.isEmpty() ? QString() : parts.takeFirst();
    start(program, parts, mode);
}

void XProcess::start(OpenMode mode) {
    startTime = getMicroseconds();
    QProcess::start(mode);
}

QStringList XProcess::splitArgs(const QString& args) {
    QStringList out;
    for (const TokenString& piece : Tokenizer::get_token_strings(args, QStringLiteral("\""))) {
        if (piece.quoted) {
            out << piece.text;
            continue;
        }
        const Tokenizer words(piece.text, QStringLiteral(" \t"));
        for (const QString& w : words.tokens()) out << w;
    }
    return out;
}

void XProcess::setArgs(const QString& args) { setArguments(splitArgs(args)); }

bool XProcess::addEnv(const QString& text) {
    if (isDebug()) logDebug("XProcess::addEnv, strEnv:$", text);
    XArgs pairs;
    if (!pairs.fromString(text)) {
        logError("XProcess::addEnv, cannot read the pairs of '$'", text);
        return false;
    }
    QProcessEnvironment env = processEnvironment();
    if (env.isEmpty()) env = QProcessEnvironment::systemEnvironment();
    for (const auto& kv : pairs.getMap()) {
        if (isDebug()) logDebug("XProcess::addEnv, key:$, val:$", kv.first, kv.second);
        env.insert(kv.first, kv.second);
    }
    setProcessEnvironment(env);
    return true;
}

bool XProcess::addToPath(const QString& dir) {
    if (dir.isEmpty()) return true;
    const QByteArray pathOld = qgetenv("PATH");
    logInfo("pathOld:'$'", QString::fromLocal8Bit(pathOld));
    // ':' separates PATH entries on this platform.
    const QByteArray pathNew = pathOld.isEmpty() ? QFile::encodeName(dir) : QFile::encodeName(dir) + ':' + pathOld;
    if (!platform::setEnvironment("PATH", pathNew.constData())) {
        logError("XProcess::addToPath, cannot set PATH to '$'", QString::fromLocal8Bit(pathNew));
        return false;
    }
    logInfo("pathNew:'$'", QString::fromLocal8Bit(pathNew));
    return true;
}

void XProcess::addListenerError(ListenerError f) {
    std::lock_guard<std::mutex> lock(m_mutexError);
    m_listenersError.push_back(std::move(f));
}

void XProcess::addListenerStart(ListenerStart f) {
    std::lock_guard<std::mutex> lock(m_mutexStart);
    m_listenersStart.push_back(std::move(f));
}

void XProcess::addListenerExit(ListenerExit f) {
    std::lock_guard<std::mutex> lock(m_mutexExit);
    m_listenersExit.push_back(std::move(f));
}

void XProcess::addListenerOutput(ListenerOutput f) {
    {
        std::lock_guard<std::mutex> lock(m_mutexOutput);
        m_listenersOutput.push_back(std::move(f));
    }
    consumeOutput();
}

void XProcess::setLogOutput(bool on) {
    m_logOutput = on;
    if (on) consumeOutput();
}

// From now on the output is read as it arrives instead of waiting in QProcess's buffers.
void XProcess::consumeOutput() {
    if (m_consumeOutput) return;
    m_consumeOutput = true;
    QObject::connect(this, &QProcess::readyReadStandardOutput, this, [this] { readChannel(false); });
    QObject::connect(this, &QProcess::readyReadStandardError, this, [this] { readChannel(true); });
}

void XProcess::readChannel(bool isStdErr) {
    const QByteArray chunk = isStdErr ? readAllStandardError() : readAllStandardOutput();
    if (chunk.isEmpty()) return;
    for (const ListenerOutput& f : snapshot(m_mutexOutput, m_listenersOutput)) f(chunk, isStdErr);
    if (m_logOutput) logLines(isStdErr ? m_pendingErr : m_pendingOut, chunk, isStdErr, false);
}

void XProcess::logLines(QByteArray& pending, const QByteArray& chunk, bool isStdErr, bool flushAll) {
    pending += chunk;
    int from = 0;
    for (;;) {
        int nl = pending.indexOf('\n', from);
        int end = nl;
        if (nl < 0) {
            // No end of line: log what is there when it is too long to wait for, or at the end.
            if (pending.size() - from >= LINE_LIMIT) end = from + LINE_LIMIT;
            else if (flushAll && pending.size() > from) end = pending.size();
            else break;
        }
        int len = end - from;
        if (nl >= 0 && len > 0 && pending.at(end - 1) == '\r') --len;
        const QString line = QString::fromLocal8Bit(pending.constData() + from, len);
        if (isStdErr) logWarning("XProcess::stdErr, [$] $", m_pid, line);
        else logInfo("XProcess::stdOut, [$] $", m_pid, line);
        from = nl >= 0 ? nl + 1 : end;
    }
    pending.remove(0, from);
}

void XProcess::flushOutput() {
    if (!m_consumeOutput) return;
    readChannel(false);
    readChannel(true);
    if (m_logOutput) {
        logLines(m_pendingOut, QByteArray(), false, true);
        logLines(m_pendingErr, QByteArray(), true, true);
    }
    m_pendingOut.clear();
    m_pendingErr.clear();
}

unsigned long long XProcess::mcProcessTimeConsumption() const {
    const unsigned long long now = getMicroseconds();
    return now > startTime ? now - startTime : 0;
}

int XProcess::exitSignal() const {
    if (exitStatus() != CrashExit || error() == FailedToStart) return 0;
    return platform::signalOfCrashedChild(exitCode());
}

QString XProcess::processStateToString(QProcess::ProcessState state) {
    switch (static_cast<int>(state)) {
    case 0: return QStringLiteral("NOT RUNNING");
    case 1: return QStringLiteral("STARTING");
    case 2: return QStringLiteral("RUNNING");
    default: return xformat("UNKNOWN-PROCESS-STATE:$", static_cast<int>(state));
    }
}

QString XProcess::processErrorToString(QProcess::ProcessError err) {
    switch (static_cast<int>(err)) {
    case 0: return QStringLiteral("FailedToStart");
    case 1: return QStringLiteral("Crashed");
    case 2: return QStringLiteral("Timedout");
    case 3: return QStringLiteral("ReadError");
    case 4: return QStringLiteral("WriteError");
    case 5: return QStringLiteral("UnknownError");
    default: return xformat("UNKNOWN ERROR:$", static_cast<int>(err));
    }
}

// A child gets a console window of its own only on Windows; here it shares the parent's terminal.
void XProcess::setWindowsConsoleWin() { logDebug("XProcess::setWindowsConsoleWin"); }

void XProcess::showEnv(unsigned int indent) const {
    QStringList vars = processEnvironment().toStringList();
    if (vars.isEmpty()) vars = QProcessEnvironment::systemEnvironment().toStringList();
    logDebugSpace(indent, "environment variables:$", vars.size());
    for (const QString& v : vars) logDebugSpace(indent + 2, "$", v);
}

QString XProcess::toString() const {
    const QString args = arguments().join(QLatin1Char(' '));
    if (error() == UnknownError) return xformat("[$], $ (unknown?)", processStateAsString(), args);
    return xformat("[$], $ err:$", processStateAsString(), args, processErrorAsString());
}

void XProcess::onStateChanged(QProcess::ProcessState s) {
    if (s == Running) m_pid = QProcess::processId();
    if (isDebug()) logDebug("XProcess::XProcess, QProcess::stateChanged, state:$", processStateToString(s));
}

void XProcess::onError(QProcess::ProcessError e) {
    logError("XProcess::XProcess, QProcess::ProcessError, error:$", processErrorToString(e));
    for (const ListenerError& f : snapshot(m_mutexError, m_listenersError)) f(e);
}

void XProcess::onStarted() {
    for (const ListenerStart& f : snapshot(m_mutexStart, m_listenersStart)) f();
}

void XProcess::onFinished(int /*exitCode*/, QProcess::ExitStatus status) {
    flushOutput();  // the last output belongs before the exit
    if (isDebug()) logDebug("XProcess::XProcess, QProcess::ExitStatus:$", status == CrashExit ? "CRASH" : "NORMAL");
    const bool crashed = status == CrashExit;
    for (const ListenerExit& f : snapshot(m_mutexExit, m_listenersExit)) f(crashed);
}

}  // namespace zor
