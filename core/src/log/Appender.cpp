#include <zor/Appender.h>

namespace zor {
Appender::~Appender() = default;
}
