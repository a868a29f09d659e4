#include "platform/Platform.h"

#include <cstdlib>

namespace zor {
namespace platform {

namespace {
// Any non-null value: the C heap needs no handle, callers only test it.
char heapToken;
}  // namespace

void* processHeap() { return &heapToken; }

void* heapAllocate(void* heap, std::size_t sz) {
    if (heap == nullptr) return nullptr;
    // malloc(0) may give null or a unique pointer; ask for one byte so that 0 is a real block.
    return std::malloc(sz == 0 ? 1 : sz);
}

bool heapFree(void* heap, void* p) {
    if (heap == nullptr || p == nullptr) return false;
    std::free(p);
    return true;
}

}  // namespace platform
}  // namespace zor
