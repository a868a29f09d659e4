#include <zor/XFunctionRunner.h>

namespace zor {

XFunctionRunner::XFunctionRunner(std::function<void()> f) : m_function(std::move(f)) { setAutoDelete(true); }

XFunctionRunner::~XFunctionRunner() = default;

void XFunctionRunner::run() { m_function(); }

}  // namespace zor
