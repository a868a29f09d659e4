#include <zor/Pose3.h>
#include <zor/xformat.h>

namespace zor {

QString Pose3::toString() const { return xformat("posMemory:$, orn:$", posMemory.toString(), orn.toString()); }

}  // namespace zor
