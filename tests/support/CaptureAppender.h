#pragma once
// A test appender that keeps what the logger delivers: text, level word, number and thread.
#include <zor/Appender.h>
#include <zor/LogMessage.h>

#include <QString>
#include <QStringList>
#include <mutex>
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

}  // namespace zortest
