#include <zor/LogMessage.h>

#include <zor/FatalChecks.h>
#include <zor/LogAttachment.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/ZorLibraries.h>

namespace zor {

LogMessage::LogMessage(unsigned int flags)
    : m_threadId(getCurrentThreadID()), m_time(true), m_flags(flags) {
    m_mainThread = m_threadId == Logger::getThreadIDMain();
}

LogMessage::LogMessage(bool) {}

LogMessage::LogMessage(const LogMessage& other)
    : m_number(other.m_number),
      m_threadId(other.m_threadId),
      m_time(other.m_time),
      m_space(other.m_space),
      m_mainThread(other.m_mainThread),
      m_attachment(other.m_attachment ? other.m_attachment->clone() : nullptr),
      m_flags(other.m_flags.value()) {}

LogMessage::LogMessage(LogMessage&& other) noexcept
    : m_number(other.m_number),
      m_threadId(other.m_threadId),
      m_time(other.m_time),
      m_space(other.m_space),
      m_mainThread(other.m_mainThread),
      m_attachment(other.m_attachment),
      m_flags(other.m_flags.value()) {
    other.m_attachment = nullptr;
}

LogMessage::~LogMessage() { delete m_attachment; }

unsigned long long LogMessage::getSize() const {
    unsigned long long size = 32;
    if (m_attachment != nullptr) size += static_cast<unsigned long long>(m_attachment->getSize());
    return size;
}

void LogMessage::assign(const LogMessage* lm) {
    if (lm == nullptr) nullPointerHandling("libSrc/core/src/tools/log/message/LogMessage", 44, QStringLiteral("lm == NULL"));
    if (lm == this) return;
    m_number = lm->m_number;
    m_threadId = lm->m_threadId;
    m_time = lm->m_time;
    m_flags = lm->m_flags.value();
    m_mainThread = lm->m_mainThread;
    m_space = lm->m_space;
    delete m_attachment;
    m_attachment = lm->m_attachment;
    lm->m_attachment = nullptr;
}

void LogMessage::setLogLevel(unsigned int level) { m_flags = level | CORE_LIB_LEVEL_BITS; }

void LogMessage::attach(LogAttachment* a) {
    if (a == m_attachment) return;
    delete m_attachment;
    m_attachment = a;
}

LogAttachment* LogMessage::detach() {
    LogAttachment* a = m_attachment;
    m_attachment = nullptr;
    return a;
}

}  // namespace zor
