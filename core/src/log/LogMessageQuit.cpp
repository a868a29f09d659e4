#include <zor/LogMessageQuit.h>

#include <zor/LogLevel.h>

namespace zor {

LogMessageQuit::LogMessageQuit() : LogMessage(DEBUG) {}

LogMessageQuit::~LogMessageQuit() = default;

LogMessage* LogMessageQuit::createCopy() const {
    auto* copy = new LogMessageQuit;
    copy->assign(this);
    return copy;
}

}  // namespace zor
