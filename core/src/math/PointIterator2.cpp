#include <zor/PointIterator2.h>

namespace zor {

PointIterator2::~PointIterator2() = default;

}  // namespace zor
