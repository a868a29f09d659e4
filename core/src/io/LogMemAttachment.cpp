#include <zor/LogMemAttachment.h>

#include <new>

namespace zor {

LogMemAttachment::~LogMemAttachment() = default;

LogAttachment* LogMemAttachment::clone() const { return new (std::nothrow) LogMemAttachment(*this); }

LogAttachment* LogAttachment::fromMem(XMemFile& mem, bool move) {
    if (move) return new (std::nothrow) LogMemAttachment(std::move(mem));
    return new (std::nothrow) LogMemAttachment(mem);
}

}  // namespace zor
