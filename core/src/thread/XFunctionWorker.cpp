#include <zor/XFunctionWorker.h>

#include <zor/Logger.h>

#include <climits>

namespace zor {

bool XFunctionWorker::waitBody(unsigned long ms) {
    if (!QThread::wait(ms)) return false;
    while (!bodyDone.load(std::memory_order_acquire)) QThread::yieldCurrentThread();
    return true;
}

XFunctionWorker::XFunctionWorker() = default;

XFunctionWorker::~XFunctionWorker() {
    stopThread();
    waitBody(ULONG_MAX);
}

void XFunctionWorker::setWorker(std::function<int()> f) {
    std::lock_guard<std::mutex> lock(mutex);
    function = std::move(f);
    watcher.set_flags(1);  // wakes a loop that waits for work
}

std::function<int()> XFunctionWorker::worker() {
    std::lock_guard<std::mutex> lock(mutex);
    return function;
}

bool XFunctionWorker::isWorking() {
    std::lock_guard<std::mutex> lock(mutex);
    return running.load() && static_cast<bool>(function);
}

void XFunctionWorker::startThreadInitial() {
    if (QThread::isRunning()) return;
    running.store(true);
    bodyDone.store(false);
    QThread::start(QThread::InheritPriority);
}

void XFunctionWorker::stopThread() {
    running.store(false);
    watcher.set_flags(1);
}

bool XFunctionWorker::waitFinished(unsigned long ms) { return waitBody(ms); }

void XFunctionWorker::run() {
    if (debug.load()) logDebug("XFunctionWorker::run");
    while (running.load()) {
        std::function<int()> f;
        {
            std::lock_guard<std::mutex> lock(mutex);
            f = function;
        }
        if (f) {
            (void)f();
            if (debug.load()) logDebug("XFunctionWorker::run, after 'work'");
        } else {
            // Waiting for the bit (tested under the watcher's mutex) rather than for a change of
            // value: a setWorker between the copy above and this wait has already set it, and
            // must not be slept through.
            watcher.wait_until_bit_is_set(1);
            if (debug.load()) logDebug("XFunctionWorker::run, after state change");
            watcher.set_flags(0);
        }
    }
    if (debug.load()) logDebug("XFunctionWorker::~run");
    bodyDone.store(true, std::memory_order_release);
}

}  // namespace zor
