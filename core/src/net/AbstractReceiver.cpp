#include <zor/AbstractReceiver.h>

namespace zor {

AbstractReceiver::~AbstractReceiver() = default;

}  // namespace zor
