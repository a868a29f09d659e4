#include <zor/AbstractReader.h>

namespace zor {

AbstractReader::~AbstractReader() = default;

}  // namespace zor
