#include <zor/XThreadPool.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XLightweightThread.h>

namespace zor {

XThreadPool::XThreadPool(QObject* parent) : QThreadPool(parent) {}

XThreadPool::~XThreadPool() = default;

XFunctionRunner* XThreadPool::start(std::function<void()> f) {
    if (!f) {
        logError("XThreadPool::start, empty function");
        return nullptr;
    }
    auto* runner = new XFunctionRunner(std::move(f));
    QThreadPool::start(runner);
    return runner;
}

XFunctionRunner* XThreadPool::start_function_global(std::function<void()> f) {
    QThreadPool* daPool = QThreadPool::globalInstance();
    if (daPool == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/XThreadPool", 18, QStringLiteral("daPool == NULL"));
    if (!f) {
        logError("XThreadPool::start_function_global, empty function");
        return nullptr;
    }
    auto* runner = new XFunctionRunner(std::move(f));
    daPool->start(runner);
    return runner;
}

XLightweightThread* XThreadPool::start_lwThread(XLightweightThread* t, bool autoDelete) {
    if (t == nullptr) {
        logError("XThreadPool::start_lwThread, lwThread == NULL");
        return nullptr;
    }
    t->setAutoDelete(autoDelete);
    t->markSubmitted();
    QThreadPool::start(t);
    return t;
}

XLightweightThread* XThreadPool::start_global(XLightweightThread* t, bool autoDelete) {
    if (t == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/XThreadPool", 37, QStringLiteral("lwThread == NULL"));
    QThreadPool* daPool = QThreadPool::globalInstance();
    if (daPool == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/XThreadPool", 45, QStringLiteral("daPool == NULL"));
    t->setAutoDelete(autoDelete);
    t->markSubmitted();
    daPool->start(t);
    return t;
}

}  // namespace zor
