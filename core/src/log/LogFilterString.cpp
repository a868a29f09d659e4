#include <zor/LogFilterString.h>

#include <zor/LogMessage.h>
#include <zor/xformat.h>

namespace zor {

LogFilterString::LogFilterString(const QString& filter, bool ignoreCase, bool negated)
    : LogFilter(negated), filter(filter), ignoreCase(ignoreCase), upperFilter(filter.toUpper()) {}

void LogFilterString::setStringFilter(const QString& text) {
    filter = text;
    upperFilter = text.toUpper();
}

void LogFilterString::setIgnoreCase(bool on) { ignoreCase = on; }

bool LogFilterString::matchLogMessage(const LogMessage* msg) const {
    if (msg == nullptr) return false;
    // toString() builds the text; it does not change the message.
    const QString text = const_cast<LogMessage*>(msg)->toString();
    const bool contains = ignoreCase ? text.toUpper().contains(upperFilter) : text.contains(filter);
    return negated ? !contains : contains;
}

QString LogFilterString::toString() const { return xformat("isIgnoreCase:$, filter '$'", ignoreCase, filter); }

}  // namespace zor
