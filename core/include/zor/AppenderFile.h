#pragma once
/// \zclass{AppenderFile,log} The file sink of the logger. One line per message, in Latin-1:
/// \code [000042] [ERROR] [14:02:33,120456] [4711] text \endcode
/// (number, level tag, local time with microseconds, the creating thread's id unpadded); the
/// indentation and attachments are not written. With a size limit the sink stops for good once the
/// file has reached it: the check comes before each line, so the line that finds the file at or past
/// the limit and every later one are dropped ("AppenderFile::append, file is full" on Qt's debug
/// output for each later one).
///
/// Lines are gathered while the logger thread works through what the queue holds and go to the
/// file in one write when it is done (flush()), before the thread waits for more: a delivered line
/// never stays only in memory while the logger is idle, and a killed process loses nothing that was
/// delivered before it went idle.
///
/// Thread-safety: append and flush run on the logger thread only; close may be called once the
/// appender is out of the logger's list. The logger does not own the appender.
#include <zor/Appender.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QFile>
#include <atomic>

namespace zor {

class ZOR_EXPORT AppenderFile : public Appender {
public:
    /// Makes dir (with its parents) when missing and opens dir/file write-only (truncating an
    /// existing file). Null, with a text on the console or Qt's debug output, when either fails.
    static AppenderFile* createAppenderFile(const QString& dir, const QString& file, unsigned long long maxLen);

    AppenderFile(const QString& path, unsigned long long maxLen);
    ~AppenderFile() override;

    void append(LogMessage* msg) override;
    void flush() override;
    bool isAppenderFile() const override { return true; }

    unsigned long long getMaxLen() const { return m_maxLen; }
    bool isFull() const { return m_full.load(); }
    /// Writes what is gathered and closes the file.
    void close();
    QString fileName() const { return m_file.fileName(); }

    /// The line for msg without the line end.
    static QString formatLine(LogMessage* msg);

protected:
    void setFull(bool on) { m_full.store(on); }

private:
    friend class SchedulerFileSystemAction;
    bool open();

    QFile m_file;
    std::atomic<bool> m_full{false};
    unsigned long long m_maxLen;
    unsigned long long m_size = 0;  // bytes written plus bytes gathered
    QByteArray m_pending;           // lines not yet written
    unsigned long long m_lastSecond = ~0ull;  // the second whose "%H:%M:%S" is m_lastSecondText
    QByteArray m_lastSecondText;
};

}  // namespace zor
