#pragma once
/// \zclass{AppenderLimitMemory,log} A bounded log in memory. It keeps copies of the first keepFirst messages
/// and a sliding window of the most recent ones, capacity in all; error and fatal messages are also
/// kept, without bound, in a second list. The string forms mark a gap in the numbering with "..".
///
/// Thread-safety: append runs on the logger thread; read the lists once the logger has delivered
/// (Logger::waitQueueEmpty or quit). Owns its copies.
#include <zor/Appender.h>
#include <zor/zor_export.h>

#include <QList>
#include <QStringList>

namespace zor {

class ZOR_EXPORT AppenderLimitMemory : public Appender {
public:
    AppenderLimitMemory();  ///< 10, 100, 10
    AppenderLimitMemory(unsigned int keepFirst, unsigned int capacity, unsigned int errorCapacity);
    ~AppenderLimitMemory() override;

    void append(LogMessage* msg) override;

    const QList<LogMessage*>& getLogMessages() const { return m_messages; }
    const QList<LogMessage*>& getLogErrorMessages() const { return m_errorMessages; }
    /// Append one line per message (trailer, indentation, text); ".." before a gap in the numbers.
    void getLogMessagesAsStrings(QStringList& lines) const;
    void getLogErrorMessagesAsStrings(QStringList& lines) const;

    unsigned int getKeepFirst() const { return m_keepFirst; }
    unsigned int getCapacity() const { return m_capacity; }
    unsigned int getErrorCapacity() const { return m_errorCapacity; }

private:
    unsigned int m_keepFirst;
    unsigned int m_capacity;
    unsigned int m_errorCapacity;  // kept for callers; the error list itself is not bounded
    QList<LogMessage*> m_messages;
    QList<LogMessage*> m_errorMessages;
};

}  // namespace zor
