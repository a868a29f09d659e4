#include <zor/KernelEvents.h>

#include <zor/MainThread.h>

#include <mutex>

namespace zor {

std::atomic<bool> KernelEvents::atomicFlagDebug{false};

bool KernelEvents::isDebug() { return atomicFlagDebug.load(); }
void KernelEvents::setDebug(bool on) { atomicFlagDebug.store(on); }

KernelEvents::~KernelEvents() = default;

KernelEvents* KernelEvents::asKernelEvent(QEvent* e) {
    return is_kernel_event(e) ? dynamic_cast<KernelEvents*>(e) : nullptr;
}

bool KernelEvents::execute() {
    // The poster built this event under the runner mutex: taking it here orders the hand-over
    // for thread checkers too, whoever delivers the event (the receiver or KernelTerminal::notify).
    { std::lock_guard<std::mutex> ordered(qt::mutexRunner()); }
    if (m_done) return false;
    m_done = true;
    runMethod();
    return true;
}

}  // namespace zor
