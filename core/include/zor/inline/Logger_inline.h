#pragma once
/// \zfile{log} The level helpers: logDebug("Class::method, $ items", n) and friends. Each builds its text with
/// the '$' rule and hands it to the logger. When the logger is not running, or the level does not
/// pass the mask, nothing is built at all.
#include <zor/FatalChecks.h>
#include <zor/LogLevel.h>
#include <zor/LogMessageString.h>
#include <zor/xformat.h>

#include <new>

namespace zor {

class Logger;

namespace detail {

template <typename... Args>
inline void logAt(unsigned int level, unsigned int space, const char* format, const Args&... args) {
    if (!Logger::acceptsLevel(level)) return;
    auto* msg = new (std::nothrow) LogMessageString(xformat(format, args...));
    if (msg == nullptr) nullPointerHandling("libSrc/core/include/zor/inline/Logger_inline", 88, QStringLiteral("msg == NULL"));
    msg->setLogLevel(level);
    msg->setSpace(space);
    Logger::getLogger().logMessage(msg);
}

}  // namespace detail

template <typename... Args>
inline void logDebug(const char* format, const Args&... args) {
    detail::logAt(DEBUG, 0, format, args...);
}
template <typename... Args>
inline void logDebugSpace(unsigned int space, const char* format, const Args&... args) {
    detail::logAt(DEBUG, space, format, args...);
}
template <typename... Args>
inline void logInfo(const char* format, const Args&... args) {
    detail::logAt(INFO, 0, format, args...);
}
template <typename... Args>
inline void logWarning(const char* format, const Args&... args) {
    detail::logAt(WARNING, 0, format, args...);
}
template <typename... Args>
inline void logError(const char* format, const Args&... args) {
    detail::logAt(XERROR, 0, format, args...);
}
template <typename... Args>
inline void logTest(const char* format, const Args&... args) {
    detail::logAt(TEST, 0, format, args...);
}
template <typename... Args>
inline void logDestruct(const char* format, const Args&... args) {
    detail::logAt(DESTRUCT, 0, format, args...);
}

}  // namespace zor
