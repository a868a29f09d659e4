#pragma once
/// \zclass{Appender,log} A sink of the logger. append() is called only on the logger thread, one message at a
/// time, while the appender is enabled. The logger does not own its appenders; after
/// Logger::removeAppender returns, the appender is no longer called and may be destroyed.
#include <zor/zor_export.h>

#include <QString>
#include <atomic>

namespace zor {

class LogMessage;

class ZOR_EXPORT Appender {
public:
    Appender() = default;
    explicit Appender(const QString& name) : m_name(name) {}
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    virtual void append(LogMessage* msg) = 0;
    /// Called on the logger thread when it has delivered what the queue held, before it waits for
    /// more: an appender that gathers output writes it out here.
    virtual void flush() {}
    virtual ~Appender();
    virtual bool isAppenderConsole() const { return false; }
    virtual bool isAppenderGUI() const { return false; }
    virtual bool isAppenderFile() const { return false; }

    bool isEnabled() const { return m_enabled.load(); }
    void setEnabled(bool on) { m_enabled.store(on); }
    const QString& getName() const { return m_name; }

protected:
    std::atomic<bool> m_enabled{true};
    QString m_name;
};

}  // namespace zor
