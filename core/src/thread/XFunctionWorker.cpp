#include <zor/XFunctionWorker.h>

#include <zor/Logger.h>

namespace zor {

XFunctionWorker::XFunctionWorker() : WorkerThread("XFunctionWorker") {}

XFunctionWorker::~XFunctionWorker() { endAndWait(); }

void XFunctionWorker::setWorker(std::function<int()> f) {
    std::lock_guard<std::mutex> lock(mutex);
    function = std::move(f);
    wake();  // wakes a loop that waits for work
}

std::function<int()> XFunctionWorker::worker() {
    std::lock_guard<std::mutex> lock(mutex);
    return function;
}

bool XFunctionWorker::isWorking() {
    std::lock_guard<std::mutex> lock(mutex);
    return running.load() && static_cast<bool>(function);
}

bool XFunctionWorker::workOnce() {
    std::function<int()> f;
    {
        std::lock_guard<std::mutex> lock(mutex);
        f = function;
    }
    if (!f) return false;
    (void)f();  // called outside the lock: setWorker may replace the function meanwhile
    if (debug.load()) logDebug("XFunctionWorker::run, after 'work'");
    return true;
}

}  // namespace zor
