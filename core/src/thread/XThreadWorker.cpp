#include <zor/XThreadWorker.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <climits>

#include <QObject>

namespace zor {

bool XThreadWorker::waitBody(unsigned long ms) {
    if (!QThread::wait(ms)) return false;
    while (!bodyDone.load(std::memory_order_acquire)) QThread::yieldCurrentThread();
    return true;
}

XThreadWorker::XThreadWorker() = default;

XThreadWorker::~XThreadWorker() {
    stopThread(0);
    waitBody(ULONG_MAX);
}

void XThreadWorker::setWorker(XWorker* w) {
    std::lock_guard<std::mutex> lock(mutex);
    m_worker = w;
    watcher.set_flags(1);  // wakes a loop that waits for work
}

XWorker* XThreadWorker::worker() {
    std::lock_guard<std::mutex> lock(mutex);
    return m_worker;
}

bool XThreadWorker::isWorking() {
    std::lock_guard<std::mutex> lock(mutex);
    return running.load() && m_worker != nullptr;
}

void XThreadWorker::startThreadInitial() {
    if (QThread::isRunning()) return;
    running.store(true);
    bodyDone.store(false);
    QThread::start(QThread::InheritPriority);
}

void XThreadWorker::stopThread(unsigned long ms) {
    running.store(false);
    watcher.set_flags(1);
    if (ms == 0) return;
    if (!waitBody(ms)) logWarning("XThreadWorker::stopThread, thread not really finished");
}

void XThreadWorker::moveQObject_to_this(QObject* object) {
    if (object == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/worker/XThreadWorker", 52, QStringLiteral("object == NULL"));
    object->moveToThread(this);
}

void XThreadWorker::run() {
    if (debug.load()) logDebug("XThreadWorker::run");
    while (running.load()) {
        XWorker* w;
        {
            std::lock_guard<std::mutex> lock(mutex);
            w = m_worker;
        }
        if (w != nullptr) {
            (void)w->work();
        } else {
            watcher.wait_until_bit_is_set(1);  // see XFunctionWorker::run
            if (debug.load()) logDebug("XThreadWorker::run, after state change");
            watcher.set_flags(0);
        }
    }
    if (debug.load()) logDebug("XThreadWorker::~run");
    bodyDone.store(true, std::memory_order_release);
}

}  // namespace zor
