#include <zor/LogFilter.h>

namespace zor {

LogFilter::~LogFilter() = default;

QString LogFilter::toString() const { return QStringLiteral("LogFilter"); }

}  // namespace zor
