#include <zor/SchedulerFileSystemAction.h>

#include <zor/Logger.h>

#include <QDebug>
#include <QDir>

namespace zor {

QString SchedulerFileSystemAction::periodFileName(SCHEDULE s, const XCalendarUTC& cal, const QString& dir,
                                                  const QString& file) {
    return dir + QLatin1Char('/') + file + QLatin1Char('_') + cal.asString(s) + QLatin1String(".txt");
}

AppenderFile* SchedulerFileSystemAction::createAppenderFile(SCHEDULE s, const QString& dir, const QString& file,
                                                            unsigned long long maxLen) {
    if (!QDir().mkpath(dir)) {
        qDebug() << "SchedulerFileSystemAction::createAppenderFile, mkdir failed, NIX";
        return nullptr;
    }
    XCalendarUTC cal;
    cal.fromNow();
    auto* appender = new AppenderFile(periodFileName(s, cal, dir, file), maxLen);
    if (!appender->open()) {
        qDebug() << "SchedulerFileSystemAction::createAppenderFile, cannot log to file:" << appender->fileName();
        delete appender;
        return nullptr;
    }
    return appender;
}

SchedulerFileSystemAction::SchedulerFileSystemAction(Logger* logger, AppenderFile* appender, const QString& dir,
                                                     const QString& file, unsigned long long maxLen)
    : m_logger(logger), m_appender(appender), m_dir(dir), m_file(file), m_maxLen(maxLen) {}

SchedulerFileSystemAction::~SchedulerFileSystemAction() = default;

void SchedulerFileSystemAction::schedule(SCHEDULE s, const XCalendarUTC& cal) {
    logDebug("SchedulerFileSystemAction::schedule, *** schedule:$", static_cast<unsigned int>(s));
    logDebug("SchedulerFileSystemAction::schedule, *** cal:$", cal.toString());
    // A step that runs late can find the period it would open already open: reopening it would
    // truncate what it holds.
    XCalendarUTC now;
    now.fromNow();
    if (m_appender != nullptr && periodFileName(s, now, m_dir, m_file) == m_appender->fileName()) return;
    AppenderFile* next = createAppenderFile(s, m_dir, m_file, m_maxLen);
    AppenderFile* previous = m_appender;
    if (previous == nullptr) {
        if (next != nullptr) m_logger->addAppender(next);
        m_appender = next;
        return;
    }
    if (next == nullptr) {
        // No new file: logging goes on without a file sink rather than into the old period's.
        if (m_logger->removeAppender(previous)) {
            previous->close();
            delete previous;
        }
        m_appender = nullptr;
        return;
    }
    if (!m_logger->replaceAppender(previous, next)) {
        // Somebody took the file sink out of the logger: file logging has ended, leave it so.
        delete next;
        return;
    }
    m_appender = next;
    // Out of the list: the logger thread no longer calls it.
    previous->close();
    delete previous;
}

}  // namespace zor
