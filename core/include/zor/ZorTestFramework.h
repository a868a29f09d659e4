#pragma once
/// \zclass{ZorTestFramework,program} Runs registered tests (TestContextAdder) from a test program. mainTest is the
/// main method of such a program:
/// \code int main(int argc, char** argv, char** envp) {
///       return zor::XProgramConsole::runStandard(argc, argv, envp, "company", "tests", nullptr);
///   } \endcode
/// runs "prog NAME [--logLevel debug]" as the single test NAME and gives its result as the exit
/// code, in a frame of result lines ("*** 'NAME', result:0, executed in 0,000.120 sec"); "prog" and
/// "prog all" list every test, "prog TEXT" the tests whose name contains TEXT ("test 'TEXT' not
/// found", exit code 6). A logger that cannot be started ends the process with exit code 1 after
/// exitPause() (three seconds by default; tests set 0).
///
/// The framework collects appenders and starts the logger with them; it stops the logger at the
/// end only when it started it (a logger already running is used as it is). Appenders added are
/// owned by the framework. Used from the main thread.
#include <zor/zor_export.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>

namespace zor {

class Appender;
class Kernel;
class KernelTerminal;

class ZOR_EXPORT ZorTestFramework {
public:
    explicit ZorTestFramework(Kernel& kernel);
    virtual ~ZorTestFramework();
    ZorTestFramework(const ZorTestFramework&) = delete;
    ZorTestFramework& operator=(const ZorTestFramework&) = delete;

    /// Builds the console application object and kernel (with the place holder when asked: then
    /// the first argument is not taken as a test name) and runs mainTest on it.
    static int mainTest(int argc, char** argv, char** env, bool addPlaceHolder);
    static int mainTest(KernelTerminal& terminal);
    static int mainTest(Kernel& kernel);
    static bool hasTest(const QString& name);

    /// "debug" 5118, "test" 990, "info" 926, "warn"/"warning" 910, "err"/"error" 902, else 8190.
    static unsigned int stringToLogLevel(const QString& text);
    /// A "--logLevel" value as a level mask: a whole number 1-5 is a coarse level
    /// (mapToLogLevelFlags), a larger number the mask itself, a word goes through stringToLogLevel.
    static unsigned int levelMask(const QString& text);

    static std::chrono::milliseconds exitPause();
    static void setExitPause(std::chrono::milliseconds pause);

    Kernel& kernel() { return m_kernel; }
    /// Takes ownership of appender.
    void addLogAppender(Appender* appender);
    /// With a console appender when none was added: iniTestFramework(mask).
    bool iniSimple(unsigned int mask);
    /// Starts the logger with the collected appenders and mask (the kernel's logger keys apply,
    /// "--logLevel" excepted: the caller chose the mask). True when a logger runs afterwards.
    virtual bool iniTestFramework(unsigned int mask);
    /// Runs the kernel's command as a test, or lists tests (see mainTest).
    virtual int execTest();
    /// Stops the logger when this framework started it.
    void stopLogger();
    bool startedLogger() const { return m_startedLogger; }

private:
    int runOneTest(const QString& name);
    int listTests(const QString& command);
    // Prints the lines to standard output, waits exitPause() when asked, ends with exit code 1.
    [[noreturn]] static void failAndExit(const QStringList& lines, bool pause);

    Kernel& m_kernel;
    QList<Appender*> m_appenders;
    bool m_startedLogger = false;
};

}  // namespace zor
