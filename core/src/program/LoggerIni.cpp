// Logger::ini lives with the program framework: it reads the command line.
#include <zor/AppenderConsole.h>
#include <zor/AppenderFile.h>
#include <zor/CommandLine.h>
#include <zor/Logger.h>
#include <zor/SchedulerFileSystemAction.h>
#include <zor/XScheduler.h>
#include <zor/xformat.h>

#include <chrono>
#include <thread>

namespace zor {

bool Logger::iniFileAppender(const CommandLine& cmd) {
    const QString file = cmd.getString(QStringLiteral("logFile"), QString());
    const QString dir = cmd.getString(QStringLiteral("logDir"), QString());
    QString display = dir + QLatin1Char('/') + file;
    display.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const unsigned long long maxLen = cmd.getULong(QStringLiteral("logFileLen"), 0);
    Logger& logger = getLogger();
    if (!cmd.hasKey(QStringLiteral("logRotate"))) {
        AppenderFile* appender = AppenderFile::createAppenderFile(dir, file, maxLen);
        if (appender == nullptr) return true;  // logging goes on without a file
        logger.addAppender(appender);
        addHeaderString(xformat("Logger::iniFileAppender => '$'", display));
        return true;
    }
    const SCHEDULE s = XScheduler::fromString(cmd.getString(QStringLiteral("logRotate"), QString()));
    if (s == SCHEDULE_NONE) {
        logDebug("logRotate can be: second, minute, hour, day, month or year");
        return false;
    }
    AppenderFile* appender = SchedulerFileSystemAction::createAppenderFile(s, dir, file, maxLen);
    if (appender == nullptr) return true;
    logger.addAppender(appender);
    logger.getScheduler().setSchedule(s);
    logger.setSchedulerAction(new SchedulerFileSystemAction(&logger, appender, dir, file, maxLen));
    logger.getScheduler().start();
    return true;
}

bool Logger::ini(const CommandLine& cmd, QList<Appender*>* appenders, unsigned int logLevel) {
    if (isRunning()) {
        printToCout("Logger::ini, already called");
        return true;
    }
    // "--logLevel" overrides the mask the program asked for.
    if (cmd.hasKey(QStringLiteral("logLevel"))) logLevel = static_cast<unsigned int>(cmd.getULong(QStringLiteral("logLevel"), logLevel));
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
