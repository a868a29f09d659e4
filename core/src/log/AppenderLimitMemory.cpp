#include <zor/AppenderLimitMemory.h>

#include <zor/AppenderConsole.h>
#include <zor/LogLevel.h>
#include <zor/LogMessage.h>

namespace zor {

namespace {
QString lineOf(LogMessage* msg) {
    return AppenderConsole::trailerFromLogMessage(msg) + QString(static_cast<int>(msg->getSpace()), QLatin1Char(' ')) +
           msg->toString();
}
}  // namespace

AppenderLimitMemory::AppenderLimitMemory() : AppenderLimitMemory(10, 100, 10) {}

AppenderLimitMemory::AppenderLimitMemory(unsigned int keepFirst, unsigned int capacity, unsigned int errorCapacity)
    : Appender(QStringLiteral("limitMemory")), m_keepFirst(keepFirst), m_capacity(capacity), m_errorCapacity(errorCapacity) {}

AppenderLimitMemory::~AppenderLimitMemory() {
    qDeleteAll(m_messages);
    qDeleteAll(m_errorMessages);
}

void AppenderLimitMemory::append(LogMessage* msg) {
    if (static_cast<unsigned int>(m_messages.size()) >= m_capacity && m_keepFirst < static_cast<unsigned int>(m_messages.size())) {
        delete m_messages.takeAt(static_cast<int>(m_keepFirst));
    }
    m_messages.append(msg->createCopy());
    if ((msg->getLogLevel() & (XERROR | FATAL)) != 0) m_errorMessages.append(msg->createCopy());
}

void AppenderLimitMemory::getLogMessagesAsStrings(QStringList& lines) const {
    unsigned int previous = 0;
    for (LogMessage* msg : m_messages) {
        if (msg->getNumber() > previous + 1) lines << QStringLiteral("..");
        previous = msg->getNumber();
        lines << lineOf(msg);
    }
}

void AppenderLimitMemory::getLogErrorMessagesAsStrings(QStringList& lines) const {
    for (LogMessage* msg : m_errorMessages) lines << lineOf(msg);
}

}  // namespace zor
