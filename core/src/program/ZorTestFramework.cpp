#include <zor/ZorTestFramework.h>

#include <zor/AppenderConsole.h>
#include <zor/CommandLine.h>
#include <zor/KernelTerminal.h>
#include <zor/LogLevel.h>
#include <zor/Logger.h>
#include <zor/TestContextAdder.h>
#include <zor/XStopwatch.h>
#include <zor/ZorErrorCodes.h>
#include <zor/xformat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace zor {

namespace {
std::atomic<long long> s_exitPauseMs{3000};

// Appenders whose logger did not end in time: they may still be called, so they are kept.
QList<Appender*>& keptAppenders() {
    static QList<Appender*>* kept = new QList<Appender*>;
    return *kept;
}
}  // namespace

ZorTestFramework::ZorTestFramework(Kernel& kernel) : m_kernel(kernel) {}

ZorTestFramework::~ZorTestFramework() {
    const bool started = m_startedLogger;
    stopLogger();
    if (started && Logger::isRunning()) keptAppenders().append(m_appenders);
    else qDeleteAll(m_appenders);
}

std::chrono::milliseconds ZorTestFramework::exitPause() { return std::chrono::milliseconds(s_exitPauseMs.load()); }
void ZorTestFramework::setExitPause(std::chrono::milliseconds pause) { s_exitPauseMs.store(pause.count() < 0 ? 0 : pause.count()); }

int ZorTestFramework::mainTest(int argc, char** argv, char** env, bool addPlaceHolder) {
    if (argc < 1 || argv == nullptr) {
        Logger::printToCout("ZorTestFramework::mainTest, no program arguments");
        return EXIT_ZOR_ARGUMENT;
    }
    KernelTerminal terminal(argc, argv, env, addPlaceHolder);
    return mainTest(terminal);
}

int ZorTestFramework::mainTest(KernelTerminal& terminal) { return mainTest(static_cast<Kernel&>(terminal)); }

int ZorTestFramework::mainTest(Kernel& kernel) {
    ZorTestFramework framework(kernel);
    return framework.execTest();
}

bool ZorTestFramework::hasTest(const QString& name) { return TestContextAdder::hasTest(name); }

unsigned int ZorTestFramework::stringToLogLevel(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("debug")) return 5118;
    if (t == QLatin1String("test")) return 990;
    if (t == QLatin1String("info")) return 926;
    if (t == QLatin1String("warn") || t == QLatin1String("warning")) return 910;
    if (t == QLatin1String("err") || t == QLatin1String("error")) return 902;
    return 8190;
}

unsigned int ZorTestFramework::levelMask(const QString& text) {
    bool ok = false;
    const unsigned int n = text.trimmed().toUInt(&ok);
    if (!ok) return stringToLogLevel(text);
    if (n <= SIMPLE_ALL) return mapToLogLevelFlags(n);
    return (n & LOG_LEVEL_ALL) != 0 ? (n & LOG_LEVEL_ALL) : LOG_LEVEL_ALL;
}

void ZorTestFramework::addLogAppender(Appender* appender) {
    if (appender != nullptr) m_appenders.append(appender);
}

bool ZorTestFramework::iniSimple(unsigned int mask) {
    if (m_appenders.isEmpty()) addLogAppender(new AppenderConsole(true));
    return iniTestFramework(mask);
}

bool ZorTestFramework::iniTestFramework(unsigned int mask) {
    if (Logger::isRunning()) return true;  // the program's own logger: used as it is
    CommandLine cmd = m_kernel;
    cmd.removeKey(QStringLiteral("logLevel"));  // the caller turned it into mask already
    QList<Appender*> appenders = m_appenders;
    if (!Logger::ini(cmd, &appenders, mask)) return false;
    m_startedLogger = true;
    return true;
}

void ZorTestFramework::stopLogger() {
    if (!m_startedLogger) return;
    m_startedLogger = false;
    Logger::quit();
}

void ZorTestFramework::failAndExit(const QStringList& lines, bool pause) {
    for (const QString& l : lines) std::printf("%s\n", qPrintable(l));
    std::fflush(stdout);
    if (pause && exitPause().count() > 0) std::this_thread::sleep_for(exitPause());
    std::exit(EXIT_ZOR_GENERAL_FAILURE);
}

int ZorTestFramework::execTest() {
    const QString command = m_kernel.getCommand();
    if (!command.isEmpty() && hasTest(command)) return runOneTest(command);
    return listTests(command);
}

int ZorTestFramework::runOneTest(const QString& name) {
    if (!iniSimple(levelMask(m_kernel.getString(QStringLiteral("logLevel")))))
        failAndExit({QStringLiteral("ZorTestFramework::mainTest - FAILED !"), QStringLiteral("EXIT PROGRAM NOW")}, true);
    detail::logAt(COMMAND, 0, "executing test '$'", name);
    XStopwatch watch;
    watch.start();
    const int rc = TestContextAdder::getTestContext(name).exec(m_kernel);
    watch.stop();
    const QString frame(54, rc == 0 ? QLatin1Char('*') : QLatin1Char('~'));
    detail::logAt(COMMAND, 0, "$", frame);
    detail::logAt(COMMAND, 0, "$ '$', result:$, executed in $ sec", rc == 0 ? "***" : "~~~", name, rc, watch.asStringDeltaSecond());
    detail::logAt(COMMAND, 0, "$", frame);
    if (rc != 0) logError("EXIT_ZOR_ERROR $ - '$'", rc, exitZorErrorCodeToString(rc));
    TestContextAdder::deleteAll();
    stopLogger();
    return rc;
}

int ZorTestFramework::listTests(const QString& command) {
    if (!iniSimple(LOG_LEVEL_ALL)) {
        if (command.isEmpty()) failAndExit({QStringLiteral("test no arguments - ?"), QStringLiteral("EXIT PROGRAM NOW")}, true);
        failAndExit({QStringLiteral("ZorTestFramework::mainTest - FAILED !"), xformat("test '$' ?", command),
                     QStringLiteral("test no arguments - ?")},
                    false);
    }
    const bool all = command.isEmpty() || command == QLatin1String("all");
    TestContextAdder::showTests(COMMAND, command);
    if (!all) logError("test '$' not found", command);
    stopLogger();
    return all ? EXIT_ZOR_OK : EXIT_ZOR_ARGUMENT;
}

}  // namespace zor
