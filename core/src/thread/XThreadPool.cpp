#include <zor/XThreadPool.h>

#include <zor/FatalChecks.h>

namespace zor {

XThreadPool::XThreadPool(QObject* parent) : QThreadPool(parent) {}

XThreadPool::~XThreadPool() = default;

XFunctionRunner* XThreadPool::start(std::function<void()> f) {
    auto* runner = new XFunctionRunner(std::move(f));
    QThreadPool::start(runner);
    return runner;
}

XFunctionRunner* XThreadPool::start_function_global(std::function<void()> f) {
    QThreadPool* daPool = QThreadPool::globalInstance();
    if (daPool == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/XThreadPool", 18, QStringLiteral("daPool == NULL"));
    auto* runner = new XFunctionRunner(std::move(f));
    daPool->start(runner);
    return runner;
}

}  // namespace zor
