#include "support/CaptureAppender.h"

#include <zor/CommandLine.h>
#include <zor/Logger.h>

#include "support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zortest {

// removeAppender waits for a delivery in progress: once it returns, this appender is not called.
CaptureAppender::~CaptureAppender() { zor::Logger::getLogger().removeAppender(this); }

void CaptureAppender::append(zor::LogMessage* msg) {
    Captured c;
    c.text = msg->toString();
    c.level = msg->getLogLevel();
    c.number = msg->getNumber();
    c.threadId = msg->getThreadId();
    c.space = msg->getSpace();
    c.mainThread = msg->isMainThreadMessage();
    c.hadAttachment = msg->hasAttachment();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back(std::move(c));
}

std::vector<Captured> CaptureAppender::messages() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

QStringList CaptureAppender::texts() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList l;
    for (const auto& m : m_messages) l << m.text;
    return l;
}

bool CaptureAppender::containsText(const QString& text) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_messages)
        if (m.text == text) return true;
    return false;
}

std::size_t CaptureAppender::size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages.size();
}

void CaptureAppender::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
}

void startLoggerWith(zor::Appender* appender, unsigned int mask) {
    QList<zor::Appender*> list;
    list << appender;
    ASSERT_TRUE(zor::Logger::ini(zor::CommandLine(), &list, mask));
}

void drainLogger() { ASSERT_TRUE(zor::Logger::getLogger().waitQueueEmpty(kWaitBoundMs)); }

// After the quit message the queue counts as empty once the logger thread has ended.
void quitLogger() {
    zor::Logger::quit();
    ASSERT_TRUE(zor::Logger::getLogger().waitQueueEmpty(kWaitBoundMs));
}

LogCapture::LogCapture(unsigned int mask) { startLoggerWith(&m_appender, mask); }
// Quit delivers everything logged before it; the appender then is no longer called.
LogCapture::~LogCapture() { zor::Logger::quit(); }
std::vector<Captured> LogCapture::messages() const {
    drainLogger();
    return m_appender.messages();
}
QStringList LogCapture::texts() const {
    drainLogger();
    return m_appender.texts();
}
bool LogCapture::containsText(const QString& text) const {
    drainLogger();
    return m_appender.containsText(text);
}
std::size_t LogCapture::size() const {
    drainLogger();
    return m_appender.size();
}
std::string LogCapture::lastLines(int n) const {
    const QStringList l = texts();
    return l.mid(std::max(0, l.size() - n)).join(QLatin1Char('|')).toStdString();
}
QStringList LogCapture::linesStartingWith(const QString& prefix) const {
    QStringList out;
    for (const QString& t : texts())
        if (t.startsWith(prefix)) out << t;
    return out;
}
void LogCapture::clear() {
    drainLogger();
    m_appender.clear();
}

}  // namespace zortest
