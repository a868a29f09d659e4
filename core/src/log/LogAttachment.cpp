#include <zor/LogAttachment.h>

namespace zor {

LogAttachment::~LogAttachment() = default;

}  // namespace zor
