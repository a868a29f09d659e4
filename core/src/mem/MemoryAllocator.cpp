#include <zor/MemoryAllocator.h>

#include <zor/Logger.h>

#include "platform/Platform.h"

namespace zor {

unsigned long long MemoryAllocator::allocated = 0;
void* MemoryAllocator::heap = nullptr;

void* MemoryAllocator::heapHandle() {
    if (heap == nullptr) {
        heap = platform::processHeap();
        if (heap == nullptr) logError("WindowsMemHelper::getHeapHandle, Problems getting Process Heap");
    }
    return heap;
}

void* MemoryAllocator::getMemory(std::size_t sz) {
    allocated += sz;
    void* p = platform::heapAllocate(heapHandle(), sz);
    if (p == nullptr) logError("MemoryAllocator::getMemory, sz:$ Problems", static_cast<unsigned long long>(sz));
    return p;
}

bool MemoryAllocator::freeMemory(void* p, std::size_t sz) {
    if (!platform::heapFree(heapHandle(), p)) {
        logError("MemoryAllocator::freeMemory Problems");
        return false;
    }
    allocated -= sz;
    return true;
}

unsigned long long MemoryAllocator::allocatedMemory() { return allocated; }

}  // namespace zor
