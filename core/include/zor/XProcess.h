#pragma once
/// \zclass{XProcess,process} A child process (a QProcess) with logging, environment and argument helpers and three
/// listener lists: process errors, start, and exit (told whether the child crashed).
/// \code
///   XProcess p;
///   p.addListenerExit([](bool crashed) { ... });
///   p.setArgs("-c \"echo two words\"");  p.setProgram("/bin/sh");  p.start();
/// \endcode
/// Output: by default the child's output stays in the QProcess buffers for the caller to read.
/// With an output listener or setLogOutput(true) the process consumes it as it arrives (so a
/// child that writes without end never fills memory): listeners get every chunk, and the logger
/// gets every complete line ("XProcess::stdOut, [pid] text", stderr lines at WARNING as
/// "XProcess::stdErr, [pid] text"; a line longer than LINE_LIMIT bytes is logged in pieces).
///
/// addToPath joins with ':' (the PATH separator of this platform) where Windows uses ';'.
/// setWindowsConsoleWin only logs: a child has no console window of its own to open here.
///
/// Thread-safety: like every QObject, one thread (the owner's) drives the process; signals and so
/// the listeners run on it. Each listener list has its own mutex, so listeners may be added from
/// other threads. The debug switch is atomic. The process owns nothing it is handed but copies.
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>
#include <vector>

namespace zor {

class ZOR_EXPORT XProcess : public QProcess {
public:
    using ListenerError = std::function<void(QProcess::ProcessError)>;
    using ListenerStart = std::function<void()>;
    using ListenerExit = std::function<void(bool crashed)>;
    /// A chunk of the child's output as it arrived; isStdErr for the error channel.
    using ListenerOutput = std::function<void(const QByteArray& chunk, bool isStdErr)>;

    static constexpr int LINE_LIMIT = 64 * 1024;

    XProcess();
    ~XProcess() override;
    XProcess(const XProcess&) = delete;
    XProcess& operator=(const XProcess&) = delete;

    /// Each records startTime, then starts like QProcess. The one-string form splits the command
    /// like a shell word list (QProcess::splitCommand).
    void start(const QString& program, const QStringList& arguments, OpenMode mode = ReadWrite);
    void start(const QString& command, OpenMode mode = ReadWrite);
    void start(OpenMode mode = ReadWrite);

    /// Splits args at blanks and tabs; a double-quoted part is one argument (blanks kept, quotes
    /// dropped, "" an empty argument).
    void setArgs(const QString& args);
    static QStringList splitArgs(const QString& args);
    /// "--KEY value ..." pairs added to the environment the child gets (the one set before, else
    /// the system's). False, with an error line, when text does not parse; nothing is changed then.
    bool addEnv(const QString& text);
    /// Puts dir in front of this process's PATH (so also of every child started afterwards); an
    /// empty dir changes nothing. False when the variable cannot be set.
    static bool addToPath(const QString& dir);

    void addListenerError(ListenerError f);
    void addListenerStart(ListenerStart f);
    void addListenerExit(ListenerExit f);
    void addListenerOutput(ListenerOutput f);
    void setLogOutput(bool on);

    bool isNotRunning() const { return state() == NotRunning; }
    bool isStarting() const { return state() == Starting; }
    bool isRunning() const { return state() == Running; }
    long long processId() const { return QProcess::processId(); }  ///< 0 when not running
    long long getPid() const { return m_pid; }  ///< the child last started, kept after it ended
    unsigned long long getStartTime() const { return startTime; }
    unsigned long long mcProcessTimeConsumption() const;  ///< microseconds since start
    /// The signal that ended a crashed child; 0 when it exited normally or never ran.
    int exitSignal() const;

    static QString processStateToString(QProcess::ProcessState state);
    QString processStateAsString() const { return processStateToString(state()); }
    static QString processErrorToString(QProcess::ProcessError err);
    QString processErrorAsString() const { return processErrorToString(error()); }

    void setWindowsConsoleWin();
    void showEnv(unsigned int indent = 0) const;  ///< the environment the child gets
    QString toString() const;  ///< "[RUNNING], a b (unknown?)" or "[NOT RUNNING], a b err:Crashed"

    static void setDebug(bool on) { atomicFlagDebug = on; }
    static bool isDebug() { return atomicFlagDebug; }

private:
    void onStateChanged(QProcess::ProcessState s);
    void onError(QProcess::ProcessError e);
    void onStarted();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void consumeOutput();
    void readChannel(bool isStdErr);
    void logLines(QByteArray& pending, const QByteArray& chunk, bool isStdErr, bool flushAll);
    void flushOutput();

    unsigned long long startTime = 0;
    std::mutex m_mutexError;
    std::vector<ListenerError> m_listenersError;
    std::mutex m_mutexStart;
    std::vector<ListenerStart> m_listenersStart;
    std::mutex m_mutexExit;
    std::vector<ListenerExit> m_listenersExit;
    std::mutex m_mutexOutput;
    std::vector<ListenerOutput> m_listenersOutput;
    bool m_consumeOutput = false;  // set once output listeners or line logging exist
    bool m_logOutput = false;
    long long m_pid = 0;        // kept for the lines logged after the child ended
    QByteArray m_pendingOut;    // the unfinished last line of each channel
    QByteArray m_pendingErr;

    static XAtomic<bool> atomicFlagDebug;
};

}  // namespace zor
