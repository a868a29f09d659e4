#include <zor/LogMessageString.h>

#include <zor/LogLevel.h>

namespace zor {

LogMessageString::LogMessageString() : LogMessage(DEBUG) {}

LogMessageString::LogMessageString(const QString& text) : LogMessage(DEBUG), m_text(text) {}

LogMessageString::LogMessageString(QString&& text) : LogMessage(DEBUG), m_text(std::move(text)) {}

LogMessageString::LogMessageString(const LogMessageString& other) : LogMessage(other), m_text(other.m_text) {}

LogMessageString::LogMessageString(LogMessageString&& other) noexcept
    : LogMessage(std::move(other)), m_text(std::move(other.m_text)) {}

LogMessageString::~LogMessageString() = default;

LogMessage* LogMessageString::createCopy() const {
    auto* copy = new LogMessageString(m_text);
    copy->assign(this);
    return copy;
}

unsigned long long LogMessageString::getSize() const {
    return LogMessage::getSize() + 10 + 2ull * static_cast<unsigned long long>(m_text.size());
}

}  // namespace zor
