#include <zor/inline/WorkerThread.h>

#include <zor/Logger.h>

#include <climits>

namespace zor {
namespace detail {

void WorkerThread::startLoop() {
    if (QThread::isRunning()) return;
    running.store(true);
    bodyDone.store(false);
    QThread::start(QThread::InheritPriority);
}

void WorkerThread::endLoop() {
    running.store(false);
    wake();
}

void WorkerThread::endAndWait() {
    endLoop();
    waitBody(ULONG_MAX);
}

bool WorkerThread::waitBody(unsigned long ms) {
    if (!QThread::wait(ms)) return false;
    while (!bodyDone.load(std::memory_order_acquire)) QThread::yieldCurrentThread();
    return true;
}

void WorkerThread::run() {
    if (debug.load()) logDebug("$::run", name);
    while (running.load()) {
        if (workOnce()) continue;
        // Waiting for the bit (tested under the watcher's mutex) rather than for a change of
        // value: work given between workOnce() finding none and this wait has already set it,
        // and must not be slept through.
        watcher.wait_until_bit_is_set(1);
        if (debug.load()) logDebug("$::run, after state change", name);
        watcher.set_flags(0);
    }
    if (debug.load()) logDebug("$::~run", name);
    bodyDone.store(true, std::memory_order_release);
}

}  // namespace detail
}  // namespace zor
