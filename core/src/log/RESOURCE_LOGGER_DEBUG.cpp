#include <zor/RESOURCE_LOGGER_DEBUG.h>

#include <zor/Logger.h>

namespace zor {

RESOURCE_LOGGER_DEBUG::RESOURCE_LOGGER_DEBUG(const QString& context)
    : m_savedMask(Logger::getLogLevel()), m_context(context) {
    Logger::setLogLevel(LOG_LEVEL_ALL);
    if (!m_context.isEmpty()) logDebug("DEBUG-CONTEXT: <<< $ >>>", m_context);
}

RESOURCE_LOGGER_DEBUG::~RESOURCE_LOGGER_DEBUG() {
    if (!m_context.isEmpty()) logDebug("DEBUG-CONTEXT: <<< ~$ >>>", m_context);
    Logger::setLogLevel(m_savedMask);
}

}  // namespace zor
