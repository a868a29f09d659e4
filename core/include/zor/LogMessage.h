#pragma once
/// \zclass{LogMessage,log} One message of the logger. It records who made it (thread), when, its level word and
/// indentation, and owns an optional memory attachment. The logger gives it its number when it
/// accepts it. Subclasses provide the text (toString) and a copy.
#include <zor/AtomicBits.h>
#include <zor/ZorTime.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class LogAttachment;

class ZOR_EXPORT LogMessage {
public:
    explicit LogMessage(unsigned int flags);
    LogMessage(const LogMessage& other);  ///< copies the attachment too
    LogMessage(LogMessage&& other) noexcept;
    LogMessage& operator=(const LogMessage&) = delete;

    virtual LogMessage* createCopy() const = 0;
    virtual ~LogMessage();
    virtual unsigned long long getSize() const;  ///< 32 plus the attachment's bytes
    virtual bool isQuitMessage() const { return false; }
    virtual QString toString() = 0;

    /// Copies number, thread, time, flags, main-thread flag and space; moves the attachment
    /// (the source loses it).
    void assign(const LogMessage* lm);

    unsigned int getLogLevel() const { return m_flags.value(); }
    void setLogLevel(unsigned int level);  ///< stores level | 0x640000
    unsigned int getSpace() const { return m_space; }
    void setSpace(unsigned int space) { m_space = space; }
    unsigned int getNumber() const { return m_number; }
    /// The logger numbers what it queues; a message replayed into an appender keeps its number.
    void setNumber(unsigned int number) { m_number = number; }
    unsigned int getThreadId() const { return m_threadId; }
    const ZorTime& getTime() const { return m_time; }
    bool isMainThreadMessage() const { return m_mainThread; }

    void attach(LogAttachment* a);  ///< takes ownership; a previous attachment is destroyed
    LogAttachment* detach();        ///< gives up ownership
    LogAttachment* getAttachment() const { return m_attachment; }
    bool hasAttachment() const { return m_attachment != nullptr; }

    bool isFatal() const { return (getLogLevel() & 0x2u) != 0; }
    bool isError() const { return (getLogLevel() & 0x4u) != 0; }
    bool isWarning() const { return (getLogLevel() & 0x8u) != 0; }
    bool isInfo() const { return (getLogLevel() & 0x10u) != 0; }
    bool isDebug() const { return (getLogLevel() & 0x20u) != 0; }
    bool isTest() const { return (getLogLevel() & 0x40u) != 0; }
    bool isCommand() const { return (getLogLevel() & 0x80u) != 0; }
    bool isRequest() const { return (getLogLevel() & 0x100u) != 0; }
    bool isResponse() const { return (getLogLevel() & 0x200u) != 0; }
    bool isEvent() const { return (getLogLevel() & 0x400u) != 0; }
    bool isState() const { return (getLogLevel() & 0x800u) != 0; }
    bool isDestruct() const { return (getLogLevel() & 0x1000u) != 0; }

protected:
    explicit LogMessage(bool);  ///< an empty message: no time, no thread

private:
    friend class Logger;
    unsigned int m_number = 0;
    unsigned int m_threadId = 0;
    ZorTime m_time;
    unsigned int m_space = 0;
    bool m_mainThread = false;
    mutable LogAttachment* m_attachment = nullptr;  // owned; assign() moves it out of a const source
    AtomicBits m_flags;
};

}  // namespace zor
