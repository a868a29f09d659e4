#pragma once
/// \zclass{MemoryAllocator,mem} Raw blocks from the process heap, with a process-wide count of the bytes
/// handed out (a plain counter: not safe against concurrent use).
#include <zor/zor_export.h>

#include <cstddef>

namespace zor {

class ZOR_EXPORT MemoryAllocator {
public:
    MemoryAllocator() = delete;

    /// sz bytes, or null (with an error line); the count grows by sz on every call.
    static void* getMemory(std::size_t sz);
    /// Returns a block of sz bytes from getMemory to the heap; the count shrinks by sz.
    static bool freeMemory(void* p, std::size_t sz);
    static unsigned long long allocatedMemory();

private:
    static void* heapHandle();
    static unsigned long long allocated;
    static void* heap;
};

}  // namespace zor
