#include <zor/XEventListener.h>

namespace zor {
AbstractXEventListener::~AbstractXEventListener() = default;
}
