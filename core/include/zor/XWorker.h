#pragma once
/// \zclass{XWorker,thread} A piece of work that an XThreadWorker calls again and again while it is set. work()
/// should block or sleep on its own; its result is not used by the worker thread.
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XWorker {
public:
    /// Switches the construction and destruction log lines on.
    static XAtomic<bool> atomicDebugFlag;

    XWorker();
    XWorker(const XWorker&) = delete;
    XWorker& operator=(const XWorker&) = delete;
    virtual ~XWorker();
    virtual int work();  ///< default: sleeps 1000 ms and logs that it should be overridden
};

}  // namespace zor
