#include <zor/KernelEvents.h>

namespace zor {

std::atomic<bool> KernelEvents::atomicFlagDebug{false};

bool KernelEvents::isDebug() { return atomicFlagDebug.load(); }
void KernelEvents::setDebug(bool on) { atomicFlagDebug.store(on); }

KernelEvents::~KernelEvents() = default;

bool KernelEvents::execute() {
    if (m_done) return false;
    m_done = true;
    runMethod();
    return true;
}

}  // namespace zor
