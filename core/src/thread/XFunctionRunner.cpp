#include <zor/XFunctionRunner.h>

#include <zor/Logger.h>

namespace zor {

XFunctionRunner::XFunctionRunner(std::function<void()> f) : m_function(std::move(f)) {
    setAutoDelete(true);
    m_ready.store(true, std::memory_order_release);
}

XFunctionRunner::~XFunctionRunner() = default;

void XFunctionRunner::run() {
    if (!m_ready.load(std::memory_order_acquire)) return;
    if (!m_function) {
        logError("XFunctionRunner::run, empty function");
        return;
    }
    m_function();
}

}  // namespace zor
