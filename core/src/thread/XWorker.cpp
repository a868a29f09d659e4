#include <zor/XWorker.h>

#include <zor/Logger.h>
#include <zor/ThreadTools.h>

namespace zor {

XAtomic<bool> XWorker::atomicDebugFlag{false};

XWorker::XWorker() {
    if (atomicDebugFlag.load()) logDebug("XWorker::XWorker");
}

XWorker::~XWorker() {
    if (atomicDebugFlag.load()) logDebug("XWorker::~XWorker");
}

int XWorker::work() {
    xSleep(1000);
    logDebug("XWork::work - overwrite me!");
    return 0;
}

}  // namespace zor
