// Logger::ini lives with the program framework: it reads the command line, and the file sinks
// it sets up sit above the logger core.
#include <zor/AppenderConsole.h>
#include <zor/CommandLine.h>
#include <zor/Logger.h>

#include <chrono>
#include <thread>

namespace zor {

namespace {

// File logging ("--logFile" with "--logDir") needs the file appender and its rotation, which
// this build does not contain yet: the set-up fails, so ini reports failure as it must.
bool iniFileAppender(const CommandLine&) {
    Logger::printToCout("Logger::iniFileAppender, file logging is not available in this build");
    return false;
}

}  // namespace

bool Logger::ini(const CommandLine& cmd, QList<Appender*>* appenders, unsigned int logLevel) {
    if (isRunning()) {
        printToCout("Logger::ini, already called");
        return true;
    }
    Logger& logger = replaceInstance(logLevel);
    if (appenders != nullptr) {
        for (Appender* a : *appenders) logger.addAppender(a);
    } else if (cmd.isBool(QStringLiteral("logConsole"), true)) {
        // Owned by the process: appenders outlive every logger that delivers to them.
        logger.addAppender(new AppenderConsole(true));
    }
    if (cmd.hasKey(QStringLiteral("logFile")) && cmd.hasKey(QStringLiteral("logDir"))) {
        if (!iniFileAppender(cmd)) return false;
    }
    logger.startLogger();
    while (!isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    setIncludeTraillerConsole(cmd.isBool(QStringLiteral("logTrailler"), true));
    setReady(true);
    return true;
}

}  // namespace zor
