#include <zor/AbstractWriter.h>

namespace zor {

AbstractWriter::~AbstractWriter() = default;

}  // namespace zor
