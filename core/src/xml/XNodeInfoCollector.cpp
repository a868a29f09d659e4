#include <zor/XNodeInfoCollector.h>

namespace zor {

XNodeInfoCollector::~XNodeInfoCollector() = default;

}  // namespace zor
