#pragma once
// A test appender that keeps what the logger delivers: text, level word, number and thread. It
// takes itself out of the logger when it goes, so a logger thread still delivering (Logger::quit
// gives up after 1200 ms, which a loaded machine can exceed) never calls it once it is gone.
#include <zor/Appender.h>
#include <zor/LogMessage.h>

#include <QString>
#include <QStringList>
#include <mutex>
#include <string>
#include <vector>

namespace zortest {

struct Captured {
    QString text;
    unsigned int level = 0;
    unsigned int number = 0;
    unsigned int threadId = 0;
    unsigned int space = 0;  // the indentation the message was logged with
    bool mainThread = false;
    bool hadAttachment = false;
};

class CaptureAppender : public zor::Appender {
public:
    CaptureAppender() : zor::Appender(QStringLiteral("capture")) {}
    ~CaptureAppender() override;
    void append(zor::LogMessage* msg) override;

    std::vector<Captured> messages() const;
    QStringList texts() const;
    bool containsText(const QString& text) const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<Captured> m_messages;
};

// Starts a fresh logger with the given appender (and the mask) and waits until it runs.
void startLoggerWith(zor::Appender* appender, unsigned int mask = 0x1FFE);
// Waits until the logger has delivered everything queued so far.
void drainLogger();
// Logger::quit, then waits until the logger thread has delivered everything logged before it and
// ended. Quit itself gives up after 1200 ms; a test that reads what was delivered needs it all.
void quitLogger();

// The usual log set-up of a test: a fresh logger delivering to a capturing appender for the
// test's scope. Every read drains the logger first, so it sees all that was logged before it; the
// logger is quit when the capture goes out of scope.
//   zortest::LogCapture log;
//   doSomething();
//   EXPECT_TRUE(log.containsText("Thing::do, done"));
class LogCapture {
public:
    explicit LogCapture(unsigned int mask = 0x1FFE);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void drain() { drainLogger(); }
    std::vector<Captured> messages() const;
    QStringList texts() const;
    bool containsText(const QString& text) const;
    std::size_t size() const;
    void clear();
    // The texts of the last n messages joined by '|', for readable failures.
    std::string lastLines(int n) const;
    // The texts that begin with prefix, in delivery order.
    QStringList linesStartingWith(const QString& prefix) const;
    CaptureAppender& appender() { return m_appender; }

private:
    CaptureAppender m_appender;
};

}  // namespace zortest
