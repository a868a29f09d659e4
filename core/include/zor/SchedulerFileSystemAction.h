#pragma once
/// \zclass{SchedulerFileSystemAction,log} The rotation step of file logging. When the scheduler sees a new
/// period it opens `dir/file_<stamp>.txt` (for an hourly rotation logs/run_2022_10_05___22.txt) and
/// puts it in the logger's list in place of the current file sink, in one step under the logger's
/// appender lock: every delivered message lands in exactly one of the two files. The old sink is
/// written out, closed and destroyed.
///
/// Thread-safety: schedule runs on the scheduler thread. Owns the current file sink once it has
/// replaced the first one (which the logger's file set-up hands over at construction).
#include <zor/AppenderFile.h>
#include <zor/XSchedulerAction.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Logger;

class ZOR_EXPORT SchedulerFileSystemAction : public XSchedulerAction {
public:
    /// Makes dir with its parents and opens the file of the current period write-only; null, with
    /// a text on Qt's debug output, when either fails.
    static AppenderFile* createAppenderFile(SCHEDULE s, const QString& dir, const QString& file, unsigned long long maxLen);
    /// The file name of period s at cal: `dir/file_<stamp>.txt`.
    static QString periodFileName(SCHEDULE s, const XCalendarUTC& cal, const QString& dir, const QString& file);

    SchedulerFileSystemAction(Logger* logger, AppenderFile* appender, const QString& dir, const QString& file,
                              unsigned long long maxLen);
    ~SchedulerFileSystemAction() override;

    void schedule(SCHEDULE s, const XCalendarUTC& cal) override;
    AppenderFile* currentAppender() const { return m_appender; }

private:
    Logger* m_logger;          // not owned
    AppenderFile* m_appender;  // the sink in the logger's list
    QString m_dir;
    QString m_file;
    unsigned long long m_maxLen;
};

}  // namespace zor
