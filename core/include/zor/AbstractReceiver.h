#pragma once
/// \zclass{AbstractReceiver,net} A source of bytes that ReadStream buffers: a socket or a file.
/// receive() gives the count read, 0 at the end, -1 on error. Implementations say their own
/// thread-safety; the interface holds no state.
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT AbstractReceiver {
public:
    virtual ~AbstractReceiver();
    virtual int receive(void* buffer, int length, int flags) = 0;
    virtual int closeReceiver() = 0;
};

}  // namespace zor
