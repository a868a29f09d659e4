#pragma once
/// \zclass{AppenderConsole,log} Writes one line per message to standard output, in UTF-8:
/// \code [000007] [INFO#] [14:02:33,120] [004711] text \endcode
/// (number, level tag, time, thread; six zeros for the main thread), preceded by the message's
/// indentation and, for a message with an attachment, "{mem:1}" or "{mem:0}".
#include <zor/Appender.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>

namespace zor {

class ZOR_EXPORT AppenderConsole : public Appender {
public:
    /// The time field of the trailer: 0 "%M:%S,mmm", 1 "%H:%M:%S,mmm", 2 "%M:%S,uuuuuu",
    /// 3 "%H:%M:%S,uuuuuu", anything else empty.
    static std::atomic<unsigned int> atomicTimeFormat;

    explicit AppenderConsole(bool includeTrailler = true);
    ~AppenderConsole() override;

    void append(LogMessage* msg) override;
    void flush() override;
    bool isAppenderConsole() const override { return true; }
    bool isIncludeTrailler() const { return m_includeTrailler.load(); }
    void setIncludeTrailler(bool on) { m_includeTrailler.store(on); }

    /// The line's text without the line end (what append writes, attachment marker included).
    QString formatLine(LogMessage* msg);

    static QString trailerFromLogMessage(LogMessage* msg);
    /// "<000000> <14:02:33,120> <004711> ": a private counter, now, and the calling thread.
    static QString trailerSimple();

private:
    std::atomic<bool> m_includeTrailler;
};

}  // namespace zor
