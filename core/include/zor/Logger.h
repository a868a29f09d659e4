#pragma once
/// \zclass{Logger,log} The process-wide logger. Any thread logs; messages are filtered by the level mask,
/// numbered (densely, in the order they are accepted), queued behind the start-up header and
/// delivered by one logger thread to the appenders, in list order. Logging threads never do I/O
/// and do not build texts: a level helper copies its format and arguments into the calling
/// thread's own bounded buffer, and the logger thread renders them with the '$' rule and delivers
/// them in number order (Logger_inline.h). Messages logged while the logger is not running are
/// dropped.
///
/// Typical start-up: `zor::Logger::ini(cmd);`, then `zor::logInfo("Main::run, $ files", n);` and the
/// other level helpers, and at the end `zor::Logger::quit();`.
///
/// Thread-safety: every member may be called from any thread. Appenders run only on the logger
/// thread; the appender list is locked while they run, so addAppender/removeAppender never change
/// it under a running append (and an appender may itself log). The logger does not own appenders.
/// A thread that ends leaves its buffer to the logger thread, which delivers what it holds.
#include <zor/Appender.h>
#include <zor/AtomicBits.h>
#include <zor/LogHeaderInfos.h>
#include <zor/LogLevel.h>
#include <zor/LogMessage.h>
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

#include <QList>
#include <QString>
#include <atomic>
#include <memory>

namespace zor {

class AppenderLimitMemory;
class CommandLine;
class XMemFile;
class XScheduler;
class XSchedulerAction;

class ZOR_EXPORT Logger {
public:
    // Set to destroy delivered messages from now on (the first 500 are kept otherwise).
    static XAtomic<bool> atomicFlagDeleteMessage;
    // While set, the logger thread holds the current message and polls every 10 ms.
    static XAtomic<bool> atomicPause;
    // The header has been queued.
    static XAtomic<bool> atomicInitialized;

    static Logger& getLogger();  // created with mask 0x1FFE on first use
    // Builds a fresh logger from the command line (console unless "--logConsole false"; file
    // logging with "--logFile" and "--logDir") or from the given appenders, and starts it.
    static bool ini(const CommandLine& cmd, QList<Appender*>* appenders = nullptr,
                    unsigned int logLevel = LOG_LEVEL_ALL);
    static void standardIni();

    // Takes ownership of msg: queued when running (level word = level | 0x640000), else dropped.
    static void log(LogMessage* msg, unsigned int level, unsigned int space = 0);
    // Logs text with a copy of mem (moved out of mem when move is true) as the attachment.
    static void logMem(XMemFile& mem, bool move, unsigned int level, const QString& text);
    static void logMemCommand(XMemFile& mem, bool move, const QString& text);
    static void logMemDebug(XMemFile& mem, bool move, const QString& text);
    static void logMemError(XMemFile& mem, bool move, const QString& text);
    static void logMemInfo(XMemFile& mem, bool move, const QString& text);
    static void logMemRequest(XMemFile& mem, bool move, const QString& text);
    static void logMemResponse(XMemFile& mem, bool move, const QString& text);
    static void logMemState(XMemFile& mem, bool move, const QString& text);
    static void logMemTest(XMemFile& mem, bool move, const QString& text);
    static void logMemWarning(XMemFile& mem, bool move, const QString& text);

    // printf-style, logged at DEBUG.
    static void debug(const char* printfFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;
    static void debug(unsigned int space, const char* printfFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Direct console output, past the queue: works before ini and after quit.
    static void printToCout(const QString& text);
    static void printToCout(const char* text);

    // Queues the quit message (after everything logged before it) and waits up to 1200 ms for the
    // logger thread to deliver and end. Messages logged afterwards are never delivered.
    static void quit();
    static bool isRunning();
    static bool isReady();
    static bool isInitialized();

    static unsigned int getLogLevel();
    static void setLogLevel(unsigned int mask);
    static void setLogLevelSimple(SIMPLE_LOG_LEVEL level);
    static void saveLogLevel();
    static void restoreLogLevel();
    static void showLogLevel();

    static void setThreadIDMain();  // the calling thread becomes the main thread
    static unsigned int getThreadIDMain();
    static bool isMainThread(unsigned int threadId);

    static void resetLogMessageCounter();
    static void prepareForRegressionTests(bool on);  // the first message is numbered 0 again
    static void addHeaderString(const QString& text);
    static void setIncludeTraillerConsole(bool on);
    static bool isIncludeTraillerConsole();

    // True when a message of this level would be queued now (running and passing the mask).
    static bool acceptsLevel(unsigned int level);

    explicit Logger(unsigned int logLevelMask = LOG_LEVEL_ALL);
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    void startLogger();

    void addAppender(Appender* appender);
    bool removeAppender(Appender* appender);  // false when it is not in the list
    // Puts replacement in old's place in one step (no delivery falls between); false, and no
    // change, when old is not in the list. Once it returns, old is no longer called.
    bool replaceAppender(Appender* old, Appender* replacement);
    void enableConsoleAppender(bool on);
    bool IsConsoleAppenderEnabled();
    bool hasAppenderConsole();
    bool hasAppenderFile();
    bool hasAppenderGUI();
    Appender* getAppenderGUI();
    // The first memory appender of the list, or null, once every message queued so far has been
    // delivered (waits at most 5 s, as waitQueueEmpty: a paused logger delivers nothing).
    AppenderLimitMemory* getAppenderLimitMemory();

    unsigned int getLogLevelMask() const { return m_levelMask.value(); }
    void setLogLevelMask(unsigned int mask);
    bool isLogLevelMatching(unsigned int level) const { return (m_levelMask.value() & level) != 0; }

    // The queue's bound: a thread that logs while this many messages wait for delivery waits for
    // room after queueing its message (outside every logger lock), so a burst faster than the
    // appenders holds bounded memory and nothing is dropped. Each thread's buffer is bounded as
    // well: a thread whose buffer is full waits for room before its message takes a number. Not
    // applied on the logger thread itself (an appender that logs) nor while atomicPause holds
    // delivery. 0 means unbounded (the buffers stay bounded).
    static constexpr unsigned int DEFAULT_MAX_QUEUED = 32768;
    void setMaxQueued(unsigned int maxQueued);
    unsigned int getMaxQueued() const;
    // Messages queued and not yet delivered.
    std::size_t pendingMessages() const;

    // Waits until every message accepted before the call has been delivered and written out;
    // false after timeoutMs.
    bool waitQueueEmpty(unsigned long long timeoutMs = 5000);
    LogHeaderInfos& headerInfos() { return m_header; }

    // The log rotation thread (schedule SCHEDULE_SECOND and no action until rotation is set up).
    // It is stopped by quit and by the destructor.
    XScheduler& getScheduler();
    // Gives the scheduler its action; the logger owns it from now on (null removes it).
    void setSchedulerAction(XSchedulerAction* action);

protected:
    // Filters, numbers and queues msg (takes ownership). The level helpers and log() come here.
    void logMessage(LogMessage* msg);
    // Queues msg as it is, with the level word and indentation its maker gave it (takes
    // ownership); a null msg is a fatal check. For loggers built on this one.
    static void logPreparedMessage(LogMessage* msg);
    // The file sink from "--logFile", "--logDir", "--logFileLen" and "--logRotate"; called by ini.
    // False only for an unknown rotation period; a file that cannot be made leaves logging
    // running without a file sink.
    static bool iniFileAppender(const CommandLine& cmd);

private:
    struct Impl;
    // Used by ini: replaces a logger that is not running by a fresh one.
    static Logger& replaceInstance(unsigned int mask);
    static void setReady(bool on);
    void messageLoop();
    bool waitForThread(int ms);

    AtomicBits m_levelMask;
    LogHeaderInfos m_header;
    std::unique_ptr<Impl> d;
};

ZOR_EXPORT void loggerQuit();

}  // namespace zor

#include <zor/inline/Logger_inline.h>
